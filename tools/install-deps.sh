#!/usr/bin/env bash
# Installs the Debian 12 packages Trabex needs to build, test and run; skips apt when all are present.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n
  libcurl4-openssl-dev libssl-dev openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  libeigen3-dev
  xvfb xauth xdotool x11-apps poppler-utils
  fonts-liberation fonts-dejavu-core
  python3
  dpkg-dev file shared-mime-info
  locales
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
