#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not present yet;
# the package lists are refreshed only when something is missing.
#   bash scripts/install-packages.sh TAG PACKAGE...   (TAG prefixes the messages)
set -euo pipefail
tag=$1; shift
if [ "$(id -u)" -eq 0 ]; then SUDO=(); else SUDO=(sudo); fi
missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "$tag: installing ${missing[*]}"
  "${SUDO[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${SUDO[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
