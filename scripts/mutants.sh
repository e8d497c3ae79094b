#!/usr/bin/env bash
# Applies each deliberate fault of scripts/mutants/*.patch in turn, builds, runs the suite and
# takes the fault out again. A fault the suite does not notice "survives"; the script fails
# when any does.
#   scripts/mutants.sh [BUILD_FOLDER [PATCH...]]   (default build/, every patch)
# The build folder must be configured already (./test.sh does it). Each run of the suite stops
# at its first failing test.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
patches=("$@")
[ ${#patches[@]} -gt 0 ] || patches=(scripts/mutants/*.patch)
export QT_QPA_PLATFORM=offscreen

applied=""
restore() {
  if [ -n "$applied" ]; then
    git apply -R "$applied"
    applied=""
  fi
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

if ! git diff --quiet -- src tools; then
  echo "mutants: src/ or tools/ has uncommitted changes; commit or stash them first" >&2
  exit 2
fi
survived=()
for patch in "${patches[@]}"; do
  name=$(basename "$patch" .patch)
  if ! git apply "$patch"; then
    echo "$name: DOES NOT APPLY"
    survived+=("$name (does not apply)")
    continue
  fi
  applied=$patch
  start=$SECONDS
  if ! cmake --build "$build" -j2 >"$build/mutant-$name.log" 2>&1; then
    verdict="DOES NOT BUILD"
    survived+=("$name (does not build)")
  elif (cd "$build" && ctest -j2 --timeout 600 --stop-on-failure) >>"$build/mutant-$name.log" 2>&1; then
    verdict="SURVIVED"
    survived+=("$name")
  else
    killer=$(grep -m1 -oE '[0-9]+ - [^ ]+ \([A-Za-z ]+\)' "$build/mutant-$name.log")
    verdict="killed by ${killer#* - }"
  fi
  restore
  echo "$name: $verdict ($((SECONDS - start)) s)"
done
# Leave the build matching the tree.
cmake --build "$build" -j2 >/dev/null 2>&1
echo "mutants: ${#patches[@]} applied, ${#survived[@]} survived${survived:+: ${survived[*]}}"
[ ${#survived[@]} -eq 0 ]
