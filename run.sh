#!/usr/bin/env bash
# Installs what is missing, builds Vardane (Release, in build/) and aligns
# the example pair of hemoglobin beta chains with the batch tool.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

echo "== vardane-align: human against mouse hemoglobin beta, logarithmic gap cost =="
build/vardane-align -C examples/hbb.cost examples/hbb_human.fa examples/hbb_mouse.fa
