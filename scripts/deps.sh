#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-serialport-dev libqt6sql6-sqlite libqt6sql6-mysql libsqlite3-dev
  zlib1g-dev
  fonts-liberation2
  libgtest-dev
  mariadb-server mariadb-client
  clang libclang-rt-dev
  lintian desktop-file-utils man-db
  strace
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
