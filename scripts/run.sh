#!/usr/bin/env bash
# Installs what is needed, builds Tolvane and starts it from the portable folder dist/, outside
# the build tree: the key files and tolvane.ini lie beside the executable there, so a rebuild or
# removing build/ never takes them along.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j"$(nproc)"
cmake --install build/default --prefix dist --component portable >/dev/null

# Key files and settings of earlier versions, which ran inside the build tree, move along once.
for f in build/default/bin/*.key build/default/bin/tolvane.ini "build/default/bin/Deleted Keyfiles"; do
  [ -e "$f" ] || continue
  [ -e "dist/$(basename "$f")" ] || cp -rp "$f" dist/
done

exec dist/tolvane "$@"
