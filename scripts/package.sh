#!/usr/bin/env bash
# Installs what is missing, builds and makes the Debian package of the build folder:
# build/selvenor_VERSION_ARCH.deb (README, "Installing on a site").
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
"$root/scripts/build.sh"
cd "$build"
cpack -G DEB
ls "$build"/selvenor_*.deb
