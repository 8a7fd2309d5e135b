#!/usr/bin/env bash
# Installs the Debian packages the build needs, but only those that are missing.
# Usage: scripts/deps.sh [extra package ...]
set -euo pipefail
pkgs=(qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql libzint-dev libjpeg-dev fonts-dejavu-core
      cmake ninja-build g++ libgtest-dev ccache "$@")
missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
