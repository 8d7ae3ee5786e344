#!/usr/bin/env bash
# Installs what is needed, builds Tolvane and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
exec build/default/bin/tolvane "$@"
