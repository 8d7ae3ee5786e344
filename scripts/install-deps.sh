#!/usr/bin/env bash
# Installs every Debian package that building, testing and trying Tolvane need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin
  qt6-l10n-tools qt6-translations-l10n
  libssl-dev openssl libarchive-dev libarchive-tools libsimpleini-dev
  libgl-dev libxkbcommon-dev
  zip unzip p7zip-full python3 strace
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  dpkg-dev desktop-file-utils shared-mime-info
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
