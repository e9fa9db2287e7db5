#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite:
# the tests, the tests again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then each fuzz target for a short bounded time, and finally builds the Debian
# package and checks what it installs.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
vqled_install_missing
jobs=$(nproc)

echo "== build and test"
vqled_configure_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

echo "== sanitizers and fuzz targets"
vqled_configure_build build-asan -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVQLED_SANITIZE=ON -DVQLED_FUZZ=ON -DVQLED_GUI=OFF -DVQLED_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600

fuzz_seconds=${VQLED_FUZZ_SECONDS:-20}
for f in build-asan/bin/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=build-asan/corpus/$name
  mkdir -p "$corpus"
  seeds=fuzz/seeds/${name#fuzz_}
  echo "== $name for ${fuzz_seconds}s"
  dirs=("$corpus")
  [ -d "$seeds" ] && dirs+=("$seeds")
  log=build-asan/$name.log
  if ! "$f" -max_total_time="$fuzz_seconds" -rss_limit_mb=4096 "${dirs[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$name found a fault (the input is in the current directory)"
    exit 1
  fi
  tail -n 1 "$log"
done
echo "== the Debian package"
scripts/package_test.sh

echo "== all tests passed"
