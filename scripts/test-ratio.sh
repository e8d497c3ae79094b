#!/usr/bin/env bash
# Non-blank lines of the tests (support included) over non-blank lines of the program
# (src/ and tools/), C++ sources and headers only; benchmarks, fuzz targets and CMake files
# are counted on neither side.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | grep -E '\.(cpp|h)$' | xargs cat | grep -cv '^\s*$'; }
tests=$(count tests)
program=$(count src tools)
echo "tests $tests / program $program = $(echo "scale=3; $tests / $program" | bc)"
