#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

preset="${TOLVANE_PRESET:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
