#!/usr/bin/env bash
# Installs what is missing, builds a Release build of the program and its listing runner
# (not the tests and benchmarks) and starts Vorlan.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh --with-xvfb
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target Vorlan listing
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Vorlan under xvfb-run (a virtual display)."
  exec xvfb-run -a build/bin/Vorlan
fi
exec build/bin/Vorlan
