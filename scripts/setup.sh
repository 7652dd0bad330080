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
  xserver-xorg-core xserver-xorg-video-dummy
  clang libclang-rt-14-dev
)

bash "$(dirname "$0")/install-packages.sh" setup "${packages[@]}"
echo "setup: all packages present"
