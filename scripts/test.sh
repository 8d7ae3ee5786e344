#!/usr/bin/env bash
# Installs what is needed, builds everything and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# Every modal prompt goes through the Dialogs interface; direct calls would escape the tests.
if grep -rn -E 'QMessageBox::(information|warning|critical|question)|QMessageBox[[:space:]]+[a-zA-Z_]+[({]|QFileDialog::get|QInputDialog::get' src \
     | grep -v -E '^src/platform/QtDialogs\.'; then
  echo "error: message boxes and file dialogs belong in src/platform/QtDialogs only" >&2
  exit 1
fi

preset="${TOLVANE_PRESET:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset" -j"$(nproc)"
ctest --preset "$preset" -j"$(nproc)"
