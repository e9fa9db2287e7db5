#!/usr/bin/env bash
# Runs the libFuzzer targets one after another, each for SECONDS, in the
# sanitizer build (build-asan, configured as test.sh configures it when it is
# not there yet). Each target keeps its corpus in build-asan/corpus/<target>
# between runs, starts from fuzz/seeds/<name> and uses fuzz/<name>.dict and
# the flags in fuzz/<name>.options where they exist. After each run the
# executions, the rate and the coverage are printed; a target that finds a
# fault stops the script with its log and the file that holds the input.
#
# Usage: scripts/fuzz.sh SECONDS [NAME...]   (NAME as in fuzz/NAME.cpp; all by default)
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: scripts/fuzz.sh SECONDS [NAME...]"
seconds=${1:-}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "scripts/fuzz.sh: SECONDS must be a whole number above 0, not '$seconds'" >&2
  echo "$usage" >&2
  exit 2
fi
shift
build=build-asan
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for src in fuzz/*.cpp; do names+=("$(basename "$src" .cpp)"); done
fi
for name in "${names[@]}"; do
  if [ ! -f "fuzz/$name.cpp" ]; then
    echo "scripts/fuzz.sh: no fuzz target fuzz/$name.cpp" >&2
    exit 2
  fi
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DVQLED_SANITIZE=ON -DVQLED_FUZZ=ON -DVQLED_GUI=OFF -DVQLED_BENCH=OFF
fi
cmake --build "$build" --target "${names[@]/#/fuzz_}"

for name in "${names[@]}"; do
  target=fuzz_$name
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  dirs=("$corpus")
  [ -d "fuzz/seeds/$name" ] && dirs+=("fuzz/seeds/$name")
  options=(-max_total_time="$seconds" -rss_limit_mb=4096 -print_final_stats=1
    -artifact_prefix="$build/$target-")
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  # fuzz/NAME.options: further libFuzzer flags of the target, one a line.
  if [ -f "fuzz/$name.options" ]; then
    while IFS= read -r flag; do
      [ -n "$flag" ] && options+=("$flag")
    done < <(grep -v '^#' "fuzz/$name.options")
  fi
  log=$build/$target.log
  echo "== $target for ${seconds}s"
  if ! "$build/bin/$target" "${options[@]}" "${dirs[@]}" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target found a fault; the input is in $(ls -t "$build/$target"-* 2>/dev/null | head -n 1)"
    exit 1
  fi
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  echo "$target: $execs executions, $rate exec/s; $done_line"
done
