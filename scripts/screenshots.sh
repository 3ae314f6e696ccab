#!/usr/bin/env bash
# Photographs the program's windows into docs/screenshots/ (PNG): starts the demo terminal and
# the program's windows on a throw-away data folder under Xvfb, operates them (see
# tests/screens/ScreenTour.cpp) and captures each window by its own X window id with xwd.
# Installs what it needs (Xvfb, xwd, netpbm) when missing. When a MariaDB server is installed it
# starts one of its own (scripts/services.sh) with a personnel table of demo members, so the
# membership sheet shows its list with dates; without one that sheet is photographed empty.
#
#   bash scripts/screenshots.sh [OUT_DIR]     (default docs/screenshots)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SELVENOR_BUILD_DIR:-$root/build}
out=${1:-$root/docs/screenshots}

"$root/scripts/deps.sh"
tools=(xvfb x11-apps netpbm)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target selvenor-screen-tour selvenor-cli selvenor-sim
bin="$build/bin"

work=$(mktemp -d "${TMPDIR:-/tmp}/selvenor-screens.XXXXXX")
sim_pid= xvfb_pid=
export SELVENOR_SERVICES_STATE="$work/services.env"
cleanup() {
  for pid in $sim_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -f "$SELVENOR_SERVICES_STATE" ] && "$root/scripts/services.sh" stop >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

data="$work/data"
mkdir -p "$data" "$work/xwd"
"$bin/selvenor-cli" --data-dir "$data" init >/dev/null
cp "$root/sim/demo/demo-state.json" "$data/demo-terminal.json"
"$bin/selvenor-sim" --state "$data/demo-terminal.json" --listen 127.0.0.1:0 2>"$work/sim.log" &
sim_pid=$!
port=
for _ in $(seq 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log")
  [ -n "$port" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$port" ] || { echo "the demo terminal did not start:" >&2; cat "$work/sim.log" >&2; exit 1; }
"$bin/selvenor-cli" --data-dir "$data" add-terminal Demo --number 1 --tcp "127.0.0.1:$port" >/dev/null

# The attendance program's members, for the membership sheet.
tour_options=()
if services=$("$root/scripts/services.sh" start 2>"$work/services.log"); then
  eval "$services"
  client=$(command -v mariadb || command -v mysql)
  "$client" --no-defaults --socket="$SELVENOR_MYSQL_SOCKET" -uroot "$SELVENOR_MYSQL_DATABASE" <<'SQL'
CREATE TABLE personel (id INT AUTO_INCREMENT PRIMARY KEY, kartno VARCHAR(20), ad VARCHAR(50),
  soyad VARCHAR(50), durum VARCHAR(10), personelturu VARCHAR(20), uyebaslamatarihi DATE NULL,
  uyebitistarihi DATE NULL) CHARACTER SET latin5 COLLATE latin5_turkish_ci;
INSERT INTO personel (kartno, ad, soyad, durum, personelturu, uyebaslamatarihi, uyebitistarihi)
VALUES ('01001', 'Ayşe', 'Yılmaz', 'Aktif', 'uye', '2024-03-05', '2025-03-04'),
       ('01002', 'Mehmet', 'Öztürk', 'Aktif', 'uye', '2024-09-01', '2025-08-31'),
       ('01003', 'Şükrü', 'Çelik', 'Pasif', 'uye', '2023-01-09', '2024-01-08'),
       ('01004', 'Gülşen', 'Doğan', 'Aktif', 'uye', '2025-02-14', NULL),
       ('01005', 'İsmail', 'Güneş', 'Aktif', 'personel', NULL, NULL);
SQL
  printf '[Options]\r\nveriDosya2=0\r\n[Login]\r\nServer=%s\r\nDatabase=%s\r\n[MySql]\r\nUser=%s\r\nPassword=%s\r\nPort=%s\r\n' \
    "$SELVENOR_MYSQL_HOST" "$SELVENOR_MYSQL_DATABASE" "$SELVENOR_MYSQL_USER" \
    "$SELVENOR_MYSQL_PASSWORD" "$SELVENOR_MYSQL_PORT" >"$data/Settings.ini"
  tour_options+=(--members)
else
  echo "no MariaDB server: the membership sheet stays empty" >&2
  cat "$work/services.log" >&2
fi

# A display of its own; Xvfb writes the number it took.
Xvfb -displayfd 3 -screen 0 1280x900x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

DISPLAY=$display QT_QPA_PLATFORM=xcb "$bin/selvenor-screen-tour" --data-dir "$data" "${tour_options[@]}" "$work/xwd"

mkdir -p "$out"
for picture in "$work"/xwd/*.xwd; do
  name=$(basename "$picture" .xwd)
  xwdtopnm "$picture" 2>/dev/null | pnmtopng >"$out/$name.png" 2>/dev/null
  echo "$out/$name.png"
done
