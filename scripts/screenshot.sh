#!/usr/bin/env bash
# Starts the editor on a virtual X display in a scratch directory (so no
# Config.ini or tempRGB.bin of the user is touched) and writes a picture of
# its window to docs/screenshot.png; then runs vqled-pictures, which takes the
# user guide's pictures (docs/<scene>.png) and writes docs/example.Aled.
#   scripts/screenshot.sh [OUTPUT.png]      VQLED_BIN=path/to/vqled to pick a build,
#                                           VQLED_PICTURES_BIN=path/to/vqled-pictures
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$(realpath -m "${VQLED_BIN:-$root/build/bin/vqled}")"
pictures="$(realpath -m "${VQLED_PICTURES_BIN:-$(dirname "$bin")/vqled-pictures}")"
out="$(realpath -m "${1:-$root/docs/screenshot.png}")"

if [[ ! -x "$bin" ]]; then
  echo "screenshot: no editor at $bin (build it first, or set VQLED_BIN)" >&2
  exit 1
fi
missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v import >/dev/null || missing+=(imagemagick)
[[ -n "$(fc-list :lang=zh-cn family)" ]] || missing+=(fonts-wqy-microhei)
if ((${#missing[@]})); then
  apt-get update -qq && apt-get install -y -qq "${missing[@]}" >/dev/null
fi

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$(dirname "$out")"
# A model with area tabs and several controllers shows most of the window.
printf '[Config]\nHYTYPE=5\nNUM=1\n' >"$scratch/Config.ini"

cd "$scratch"
# The screen is the window's size: without a window manager the window sits
# at the top left and fills it.
xvfb-run -a -s "-screen 0 943x669x24" bash -c '
  "$1" & pid=$!
  sleep 3
  import -window root "$2"
  kill -TERM "$pid"
  wait "$pid"
' screenshot "$bin" "$out"
echo "screenshot: wrote $out"

# The user guide's pictures: vqled-pictures stages each scene in a scratch
# directory of its own and writes docs/<scene>.png and docs/example.Aled.
if [[ ! -x "$pictures" ]]; then
  echo "screenshot: no picture program at $pictures (build vqled-pictures, or set VQLED_PICTURES_BIN)" >&2
  exit 1
fi
xvfb-run -a -s "-screen 0 943x669x24" "$pictures" "$root/docs"
