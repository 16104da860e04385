#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run.
set -euo pipefail
packages=(build-essential cmake ccache clang libclang-rt-14-dev qt6-base-dev libgl-dev
          libvulkan-dev libgtest-dev fonts-ipafont-gothic fonts-ipafont-mincho
          qt6-translations-l10n desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
