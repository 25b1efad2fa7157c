#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer build, and
# runs every test in both (window tests under a virtual X server).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVARDANE_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"

# A virtual X server for the drawing tests.
display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  xdpyinfo -display "$display" >/dev/null 2>&1 && break
  sleep 0.1
done
export VARDANE_TEST_DISPLAY="$display"

status=0
echo "== normal build =="
(cd build && ctest --output-on-failure -j "$jobs") || status=1
echo "== sanitizer build =="
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j "$jobs") || status=1
exit $status
