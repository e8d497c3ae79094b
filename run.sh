#!/usr/bin/env bash
# Installs what is missing, builds a Release build of the program and its listing runner
# (not the tests and benchmarks) and starts Vorlan with the given arguments.
set -euo pipefail
cd "$(dirname "$0")"
# What the steps before the start print goes to stderr: stdout is the program's (the report of
# --check).
exec 3>&1 1>&2
./scripts/install-deps.sh --with-xvfb
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target Vorlan listing
# Options (--check, --help, --version) run without a window and need no display.
if [[ "${1:-}" != --* ]] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Vorlan under xvfb-run (a virtual display)."
  exec xvfb-run -a build/bin/Vorlan "$@" 1>&3 3>&-
fi
exec build/bin/Vorlan "$@" 1>&3 3>&-
