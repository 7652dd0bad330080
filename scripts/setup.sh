#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: packages already present are left alone and the package lists
# are refreshed only when something is missing.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg-dev libgif-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libsdl2-dev libsdl2-mixer-dev libjack-jackd2-dev libgtk-3-dev libx11-dev libxtst-dev
  xvfb xauth x11-apps x11-utils imagemagick
)

if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  "${SUDO[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
echo "setup: all packages present"
