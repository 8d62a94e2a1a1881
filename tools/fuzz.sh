#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/fuzz and runs each for SECONDS,
# starting from the seed corpus of real files in tests/store/fuzz/corpus.
#   tools/fuzz.sh SECONDS [target...]    targets: datafile settings ics (default all three)
# Exits non-zero when a target finds a crash, a leak, a timeout or a broken
# property; the input that did it is kept in build/fuzz/artifacts/<target>/.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  sed -n '2,8p' "$0" >&2
  exit 2
fi
seconds=$1
shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(datafile settings ics)

build=$here/build/fuzz
seeds=$here/tests/store/fuzz/corpus
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S "$here" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DREMINDO_FUZZ=ON -DREMINDO_SANITIZE=ON -DREMINDO_GUI=OFF -DREMINDO_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"

# The targets run side by side, each for SECONDS, so that the run takes
# SECONDS however many there are; each one's output follows in turn.
run_target() { # run_target TARGET: its output in build/fuzz/TARGET.log
  local t=$1 work=$build/corpus/$1 artifacts=$build/artifacts/$1
  mkdir -p "$work" "$artifacts"
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/fuzz_$t" "$work" "$seeds/$t" \
      -dict="$seeds/$t.dict" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 >"$build/$t.log" 2>&1
}
declare -A pid
for t in "${targets[@]}"; do
  run_target "$t" &
  pid[$t]=$!
done
failed=0
for t in "${targets[@]}"; do
  rc=0
  wait "${pid[$t]}" || rc=$?
  echo "== fuzz_$t for ${seconds}s"
  cat "$build/$t.log"
  if [ $rc -ne 0 ]; then
    echo "== fuzz_$t FAILED (exit $rc); inputs in $build/artifacts/$t" >&2
    failed=1
  fi
done
exit $failed
