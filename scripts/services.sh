#!/usr/bin/env bash
# Starts and stops the services the tests need: a MariaDB server of its own, on loopback, in a
# temporary folder.
#
#   eval "$(scripts/services.sh start)"   # prints the export lines the tests read
#   scripts/services.sh stop
#
# The tests read SELVENOR_MYSQL_HOST, _PORT, _USER, _PASSWORD and _DATABASE and skip their
# MariaDB cases when these are missing.
set -euo pipefail

state_file=${SELVENOR_SERVICES_STATE:-${TMPDIR:-/tmp}/selvenor-services-$(id -u).env}

log() { echo "services.sh: $*" >&2; }

free_port() {
  python3 - <<'PY'
import socket
s = socket.socket()
s.bind(("127.0.0.1", 0))
print(s.getsockname()[1])
s.close()
PY
}

find_program() {
  for p in "$@"; do
    if command -v "$p" >/dev/null 2>&1; then command -v "$p"; return 0; fi
    for d in /usr/sbin /usr/bin /usr/local/sbin /usr/local/bin; do
      [ -x "$d/$p" ] && { echo "$d/$p"; return 0; }
    done
  done
  return 1
}

start() {
  if [ -f "$state_file" ]; then
    # A server of an earlier run is reused only while it still runs; a file left behind by a
    # run that was killed is cleared, so the tests never point at a dead server.
    local old_pid old_dir
    old_pid=$(sed -n 's/^export SELVENOR_SERVICES_PID=//p' "$state_file")
    old_dir=$(sed -n 's/^export SELVENOR_SERVICES_DIR=//p' "$state_file")
    if [ -n "$old_pid" ] && kill -0 "$old_pid" 2>/dev/null; then
      log "already started ($state_file)"
      cat "$state_file"
      return 0
    fi
    log "clearing the state of a server that no longer runs ($state_file)"
    [ -n "$old_dir" ] && rm -rf "$old_dir"
    rm -f "$state_file"
  fi
  local server install client
  server=$(find_program mariadbd mysqld) || { log "no MariaDB server installed"; return 1; }
  install=$(find_program mariadb-install-db mysql_install_db) || { log "no mariadb-install-db"; return 1; }
  client=$(find_program mariadb mysql) || { log "no MariaDB client"; return 1; }

  local dir port socket user
  dir=$(mktemp -d "${TMPDIR:-/tmp}/selvenor-mariadb.XXXXXX")
  port=$(free_port)
  socket="$dir/mysqld.sock"
  user=$(id -un)

  "$install" --no-defaults --datadir="$dir/data" --user="$user" --auth-root-authentication-method=normal \
    --skip-test-db >"$dir/install.log" 2>&1 || { log "mariadb-install-db failed:"; cat "$dir/install.log" >&2; return 1; }

  "$server" --no-defaults --datadir="$dir/data" --user="$user" --bind-address=127.0.0.1 \
    --port="$port" --socket="$socket" --pid-file="$dir/mysqld.pid" --skip-name-resolve \
    --skip-log-bin --innodb-buffer-pool-size=32M --log-error="$dir/error.log" \
    </dev/null >"$dir/server.out" 2>&1 &
  local pid=$!

  local i
  for i in $(seq 1 120); do
    if "$client" --no-defaults --socket="$socket" -uroot -e 'SELECT 1' >/dev/null 2>&1; then break; fi
    if ! kill -0 "$pid" 2>/dev/null; then log "server ended:"; cat "$dir/error.log" >&2; return 1; fi
    sleep 0.5
  done
  if ! "$client" --no-defaults --socket="$socket" -uroot -e 'SELECT 1' >/dev/null 2>&1; then
    log "server does not answer"; kill "$pid" 2>/dev/null || true; return 1
  fi

  local password="selvenor-test"
  "$client" --no-defaults --socket="$socket" -uroot <<SQL
CREATE DATABASE pdks_test CHARACTER SET latin5 COLLATE latin5_turkish_ci;
CREATE USER 'selvenor'@'127.0.0.1' IDENTIFIED BY '$password';
CREATE USER 'selvenor'@'localhost' IDENTIFIED BY '$password';
GRANT ALL PRIVILEGES ON *.* TO 'selvenor'@'127.0.0.1' WITH GRANT OPTION;
GRANT ALL PRIVILEGES ON *.* TO 'selvenor'@'localhost' WITH GRANT OPTION;
FLUSH PRIVILEGES;
SQL

  cat >"$state_file" <<ENV
export SELVENOR_MYSQL_HOST=127.0.0.1
export SELVENOR_MYSQL_PORT=$port
export SELVENOR_MYSQL_USER=selvenor
export SELVENOR_MYSQL_PASSWORD=$password
export SELVENOR_MYSQL_DATABASE=pdks_test
export SELVENOR_MYSQL_SOCKET=$socket
export SELVENOR_SERVICES_DIR=$dir
export SELVENOR_SERVICES_PID=$pid
ENV
  log "MariaDB on 127.0.0.1:$port (folder $dir)"
  cat "$state_file"
}

stop() {
  if [ ! -f "$state_file" ]; then
    log "nothing started"
    return 0
  fi
  # shellcheck disable=SC1090
  . "$state_file"
  if kill -0 "$SELVENOR_SERVICES_PID" 2>/dev/null; then
    kill "$SELVENOR_SERVICES_PID"
    local i
    for i in $(seq 1 60); do
      kill -0 "$SELVENOR_SERVICES_PID" 2>/dev/null || break
      sleep 0.5
    done
  fi
  rm -rf "$SELVENOR_SERVICES_DIR"
  rm -f "$state_file"
  log "stopped"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
