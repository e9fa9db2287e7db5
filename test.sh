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

# A short run of each fuzz target; scripts/fuzz.sh SECONDS runs them longer.
scripts/fuzz.sh "${VQLED_FUZZ_SECONDS:-20}"
echo "== the Debian package"
scripts/package_test.sh

echo "== all tests passed"
