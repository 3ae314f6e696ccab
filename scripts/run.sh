#!/usr/bin/env bash
# Installs what is missing, builds, prepares the data folder beside the executable and starts
# the program on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
"$root/scripts/build.sh" -DSELVENOR_BUILD_TESTS=OFF -DSELVENOR_BUILD_BENCH=OFF

bin="$build/bin"
data=${SELVENOR_DATA_DIR:-$bin}
"$bin/selvenor-cli" --data-dir "$data" init

exec "$bin/selvenor" --data-dir "$data" "$@"
