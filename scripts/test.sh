#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
"$root/scripts/build.sh"

if [ -x "$root/scripts/services.sh" ]; then
  # services.sh start prints the environment the tests read (export lines).
  eval "$("$root/scripts/services.sh" start)"
  trap '"$root/scripts/services.sh" stop' EXIT
fi

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
