#!/usr/bin/env bash
# Builds the Debian package and checks what it installs: the control fields
# and dependencies, the files under /usr, the programs run from an extracted
# root (--help, --version, info on pattern files), the udev rule, the menu
# entry, the AppStream metadata and the manual pages. Exits non-zero on the
# first fault.
# Usage: scripts/package_test.sh [BUILD_DIR]   (default build-package, reused)
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
vqled_install_missing dpkg-dev desktop-file-utils appstream groff-base

build=${1:-build-package}
app_id=org.vqled.vqled
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root

fail() {
  echo "package_test: FAIL: $*" >&2
  exit 1
}

# Runs a command that must succeed and prints its standard output.
run() {
  "$@" 2>"$scratch/stderr" || fail "'$*' exited $?: $(cat "$scratch/stderr")"
}

expect_line() {  # TEXT NEEDLE WHAT
  grep -qxF -- "$2" <<<"$1" || fail "$3: no line '$2' in:"$'\n'"$1"
}

echo "== build the programs and the package in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVQLED_GUI=ON -DVQLED_BENCH=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" --target vqled vqled-cli vqled-sim man_pages
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || fail "no project version in $build/CMakeCache.txt"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB -B packages >/dev/null) || fail "cpack -G DEB"
deb=$(ls "$build"/packages/vqled_*.deb)
echo "built $deb"

echo "== control fields"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vqled ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = electronics ] || fail "Section is '$(field Section)'"
[ "$(field Maintainer)" = "vqled developers <vqled@localhost>" ] ||
  fail "Maintainer is '$(field Maintainer)'"
depends=$(field Depends)
echo "Depends: $depends"
dep_names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/[ (|].*//')
for lib in libc6 libstdc++6 libgcc-s1 libqt6core6 libqt6gui6 libqt6widgets6 libudev1; do
  grep -qxF "$lib" <<<"$dep_names" || fail "Depends lacks $lib"
done
# The Chinese captions need a font with Chinese glyphs on a fresh desktop.
grep -qE '(^|, )fonts-wqy-microhei \| fonts-noto-cjk(,|$)' <<<"$depends" ||
  fail "Depends lacks a Chinese font (fonts-wqy-microhei | fonts-noto-cjk)"
# Every dependency is a package this Debian knows under that name.
for dep in $dep_names; do
  apt-cache show "$dep" >/dev/null 2>&1 || dpkg-query -W "$dep" >/dev/null 2>&1 ||
    fail "dependency $dep is no known package"
done

echo "== files under /usr"
dpkg-deb -x "$deb" "$root"
for path in usr/bin/vqled usr/bin/vqled-cli usr/bin/vqled-sim \
  "usr/share/applications/$app_id.desktop" \
  "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
  "usr/share/metainfo/$app_id.metainfo.xml" \
  usr/share/man/man1/vqled.1.gz usr/share/man/man1/vqled-cli.1.gz \
  usr/share/man/man1/vqled-sim.1.gz usr/share/doc/vqled/copyright \
  usr/lib/udev/rules.d/60-vqled.rules; do
  [ -f "$root/$path" ] || fail "the package has no /$path"
done
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -vE '^\./(usr/?|usr/(bin|share)(/.*)?|usr/lib/?|usr/lib/udev(/rules\.d(/.*)?)?/?)?$' || true)
[ -z "$outside" ] || fail "files outside /usr/bin, /usr/share and /usr/lib/udev/rules.d:"$'\n'"$outside"

echo "== udev rule"
# Each usual adapter of the controllers: a tty rule matching its vendor and
# product that gives the seat's user the port and keeps ModemManager off it.
rule=$root/usr/lib/udev/rules.d/60-vqled.rules
for id in 1a86:7523 10c4:ea60 0403:6001 067b:2303; do
  line=$(grep -E "ATTRS\{idVendor\}==\"${id%:*}\", ATTRS\{idProduct\}==\"${id#*:}\"" "$rule" || true)
  [ -n "$line" ] || fail "the udev rule has no line for $id"
  for want in 'SUBSYSTEM=="tty"' 'TAG+="uaccess"' 'ENV{ID_MM_DEVICE_IGNORE}="1"'; do
    grep -qF -- "$want" <<<"$line" || fail "the udev rule for $id lacks $want: $line"
  done
done

echo "== the programs"
bin=$root/usr/bin
help=$(run "$bin/vqled-cli" --help)
for command in info export image send settings clock end-date controller-type ports; do
  grep -qE "^  $command " <<<"$help" || fail "vqled-cli --help lists no '$command'"
done
# The editor answers --version without a display.
for program in vqled vqled-cli vqled-sim; do
  shown=$(run env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin/$program" --version)
  [ "$shown" = "$program $version" ] || fail "$program --version shows '$shown'"
done

# Pattern files written byte by byte: an all-area file whose area 0 has
# 3 channels and 2 frames before 19 empty 30-byte images, a resume file of
# 20 empty images (600 bytes), and that resume file one byte short.
files=$scratch/files
mkdir -p "$files/short"
{
  printf '\x00\x03\x00\x02'                                   # channels 3, frames 2
  printf '\x00\x64\x00\x00\x01\x01\x01\xf4\x00\x00\x02\x02\x00\x00\x00'  # 100 ms, 1 s, 500 ms, 2 min, 0 ms
  printf '\x01\x00\x00\x05\x01\x00'                           # enabled, loop mode 0, loop count 5, end mode 1, type 0
  head -c 5 /dev/zero                                         # bytes 25..29
  printf '\x00\x00\x00\xff\x00\x80\x00\xc8\x01\x00\xff\x00'   # two frames: time, type, 3 cells
  head -c 570 /dev/zero
} >"$files/show.Aled"
head -c 600 /dev/zero >"$files/tempRGB.bin"
head -c 599 /dev/zero >"$files/short/tempRGB.bin"

info=$(run "$bin/vqled-cli" info "$files/show.Aled")
expect_line "$info" "$files/show.Aled: all-area file, 20 area images" "info on show.Aled"
expect_line "$info" "area 0: channels 3, frames 2, times 100 ms 1 s 500 ms 2 min 0 ms, enabled 1, loop mode 0, loop count 5, end mode 1" "info on show.Aled"
expect_line "$info" "area 19: channels 0, frames 0, times 0 ms 0 ms 0 ms 0 ms 0 ms, enabled 0, loop mode 0, loop count 0, end mode 0" "info on show.Aled"

info=$(run "$bin/vqled-cli" info "$files/tempRGB.bin")
expect_line "$info" "$files/tempRGB.bin: resume file, 20 area images" "info on a 600-byte resume file"

status=0
"$bin/vqled-cli" info "$files/short/tempRGB.bin" >"$scratch/stdout" 2>"$scratch/stderr" || status=$?
[ "$status" -eq 2 ] || fail "info on a 599-byte resume file exited $status, not 2"
grep -qF "$files/short/tempRGB.bin" "$scratch/stderr" ||
  fail "the refusal of a 599-byte resume file names no file: $(cat "$scratch/stderr")"

echo "== menu entry and AppStream metadata"
desktop=$root/usr/share/applications/$app_id.desktop
run desktop-file-validate "$desktop" >/dev/null
exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$bin/$exec_program" ] || fail "the menu entry starts '$exec_program', which the package lacks"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
  fail "the menu entry's icon '$icon' is not in the package"
# The metainfo, and the menu entry and icon it names, as a software centre sees them.
run appstreamcli validate-tree --no-net "$root" >/dev/null

echo "== manual pages"
for program in vqled vqled-cli vqled-sim; do
  page=$root/usr/share/man/man1/$program.1.gz
  shown=$(zcat "$page" | groff -man -Tutf8 -P-cbou -ww 2>"$scratch/stderr") || fail "groff on $page"
  [ ! -s "$scratch/stderr" ] || fail "$page renders with warnings: $(cat "$scratch/stderr")"
  grep -q "^NAME" <<<"$shown" || fail "$page has no NAME section"
  grep -qF "vqled $version" <<<"$shown" || fail "$page does not show version $version"
done

echo "== package test passed: $deb"
