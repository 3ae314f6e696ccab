#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
"$root/scripts/build.sh"

# The services of this build folder only: another checkout's test run keeps its own server.
export SELVENOR_SERVICES_STATE="$build/services.env"
# services.sh start prints the environment the tests read (export lines); a server that cannot
# start fails the run here rather than leaving the database tests skipped.
service_env=$("$root/scripts/services.sh" start)
trap '"$root/scripts/services.sh" stop' EXIT
eval "$service_env"

cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
