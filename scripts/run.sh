#!/usr/bin/env bash
# Installs what is missing, builds, prepares the data folder beside the executable, starts the
# demo terminal and then the program on it. The demo terminal (selvenor-sim playing
# sim/demo/demo-state.json on 127.0.0.1, registered as "Demo") stops when the program ends.
# SELVENOR_DEMO_PORT picks its port (default 4370); SELVENOR_NO_DEMO=1 leaves it out.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}

"$root/scripts/deps.sh"
"$root/scripts/build.sh" -DSELVENOR_BUILD_TESTS=OFF -DSELVENOR_BUILD_BENCH=OFF

bin="$build/bin"
data=${SELVENOR_DATA_DIR:-$bin}
"$bin/selvenor-cli" --data-dir "$data" init

sim_pid=
stop_demo() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=
  fi
}
trap stop_demo EXIT
trap 'exit 130' INT TERM

# Starts the simulator on the data folder's copy of the demo state (the simulator rewrites its
# state file, so the bundled one stays as shipped) and waits until it listens.
start_demo() {
  local port=${SELVENOR_DEMO_PORT:-4370}
  local state="$data/demo-terminal.json" log="$data/demo-terminal.log"
  [ -f "$state" ] || cp "$root/sim/demo/demo-state.json" "$state"
  "$bin/selvenor-sim" --state "$state" --listen "127.0.0.1:$port" 2>"$log" &
  sim_pid=$!
  for _ in $(seq 50); do
    if grep -q "listening on" "$log"; then
      if ! "$bin/selvenor-cli" --data-dir "$data" terminals | cut -f1 | grep -qxF Demo; then
        "$bin/selvenor-cli" --data-dir "$data" add-terminal Demo --number 1 \
          --tcp "127.0.0.1:$port" >/dev/null
      fi
      echo "Demo terminali 127.0.0.1:$port üzerinde çalışıyor (günlük: $log)"
      return 0
    fi
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "Demo terminali başlatılamadı (günlük: $log); program onsuz açılıyor" >&2
  stop_demo
}

[ "${SELVENOR_NO_DEMO:-0}" = 1 ] || start_demo

"$bin/selvenor" --data-dir "$data" "$@"
