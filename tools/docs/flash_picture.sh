#!/bin/sh
# Renders docs/flash.png from a real run of `vqled-cli flash` against four
# built-in virtual controllers: the lines it writes per unit, then the
# summary table.
#   tools/docs/flash_picture.sh [BUILD_DIR]      (default: build)
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
{
  echo "\$ vqled-cli flash docs/example.Aled --model VQ-M13 --all --virtual 4"
  # stderr is no terminal here: one line per unit each time its area or
  # result changes, as a CI log shows it.
  "$build/bin/vqled-cli" flash "$root/docs/example.Aled" --model VQ-M13 --all --virtual 4 2>&1 |
    sed -e "s|$root/||"
} > "$scratch/out.txt" || true
# One label a line, stacked: label: reads % as an escape, so each is doubled.
set --
while IFS= read -r line; do
  set -- "$@" "label:$(printf '%s' "$line" | sed -e 's/%/%%/g')"
done < "$scratch/out.txt"
convert -background '#1e1e1e' -fill '#d8d8d8' -font DejaVu-Sans-Mono -pointsize 14 "$@" \
  -gravity west -append -bordercolor '#1e1e1e' -border 16 "$root/docs/flash.png"
echo "wrote $root/docs/flash.png"
