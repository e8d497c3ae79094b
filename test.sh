#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
#   ./test.sh             Release build in build/, then ctest
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer build in build-sanitize/
#   ./test.sh --stress N  the Release suite N times (default 10) while busy loops keep every
#                         core loaded; reports each run and fails unless all pass
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=build
flags=(-DCMAKE_BUILD_TYPE=Release)
stress_runs=0
case "${1:-}" in
  --sanitize)
    build=build-sanitize
    flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLAN_SANITIZE=ON)
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --stress)
    stress_runs="${2:-10}"
    ;;
esac
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
cd "$build"
if [ "$stress_runs" -eq 0 ]; then
  exec ctest --output-on-failure -j"$(nproc)" --timeout 600
fi

busy=()
for _ in $(seq "$(nproc)"); do
  (while :; do :; done) &
  busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null' EXIT
passed=0
for run in $(seq "$stress_runs"); do
  start=$SECONDS
  if ctest --output-on-failure -j"$(nproc)" --timeout 600 >"stress-$run.log" 2>&1; then
    passed=$((passed + 1))
    echo "stress run $run of $stress_runs: passed in $((SECONDS - start)) s"
  else
    echo "stress run $run of $stress_runs: FAILED in $((SECONDS - start)) s ($build/stress-$run.log):"
    grep -E '\*\*\*|Subprocess aborted' "stress-$run.log" || true
  fi
done
echo "stress: $passed of $stress_runs runs passed with $(nproc) busy loops"
[ "$passed" -eq "$stress_runs" ]
