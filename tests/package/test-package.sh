#!/usr/bin/env bash
# The Debian package: made by cpack from the build folder, unpacked into a scratch root (never
# installed on this machine). Its three programs start there on the system's libraries, its
# units, manual pages and desktop entry pass their checkers where these are installed, its
# maintainer scripts set the site up in order, and lintian finds no error in it.
#   test-package.sh BUILD_FOLDER VERSION SITE_DATA_FOLDER
set -uo pipefail
build=$1 version=$2 site=$3

for tool in cpack dpkg-deb; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (packages cmake, dpkg)"
    exit 77
  fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
check() { # check WHAT COMMAND...: runs the command, its output shown only when it fails
  local what=$1
  shift
  if ! "$@" >"$scratch/check.log" 2>&1; then
    fail "$what"
    cat "$scratch/check.log"
  fi
}

# --- build -----------------------------------------------------------------------------------
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1
then
  cat "$scratch/cpack.log"
  echo "FAIL: cpack -G DEB"
  exit 1
fi
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: cpack made no single .deb: ${debs[*]}"
  exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

# --- control fields and contents -------------------------------------------------------------
[ "$(dpkg-deb --field "$deb" Package)" = selvenor ] || fail "Package field"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "Version field is not $version"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for dep in libqt6core6 libqt6widgets6 libqt6sql6 libqt6network6 libqt6serialport6 libsqlite3-0 \
  zlib1g libqt6sql6-sqlite libqt6sql6-mysql qt6-qpa-plugins fonts-liberation2 adduser; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
done

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
for path in /usr/bin/selvenor /usr/bin/selvenor-cli /usr/bin/selvenor-sim \
  /usr/share/applications/selvenor.desktop /usr/share/icons/hicolor/scalable/apps/selvenor.svg \
  /usr/share/man/man1/selvenor.1.gz /usr/share/man/man1/selvenor-cli.1.gz \
  /usr/share/man/man1/selvenor-sim.1.gz /lib/systemd/system/selvenor-download.service \
  /lib/systemd/system/selvenor-download.timer /usr/share/selvenor/demo-state.json \
  /usr/share/doc/selvenor/copyright /usr/share/doc/selvenor/changelog.gz; do
  grep -qxF "$path" "$scratch/contents" || fail "the package lacks $path"
done
if grep -Ev '^/(usr/(bin|share)|lib/systemd/system)(/|$)' "$scratch/contents" | grep -v '^/$' |
  grep -Ev '^/(usr|lib|lib/systemd)/$'; then
  fail "the package holds files outside /usr/bin, /usr/share and the units' folder (above)"
fi

root=$scratch/root
dpkg-deb --extract "$deb" "$root"
dpkg-deb --control "$deb" "$scratch/control"

# --- the programs, on the system's libraries -------------------------------------------------
for program in selvenor selvenor-cli selvenor-sim; do
  binary=$root/usr/bin/$program
  out=$("$binary" --version 2>&1)
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
  if ldd "$binary" | grep -E "not found|$build"; then
    fail "$program needs libraries from outside the system (above)"
  fi
  if readelf -d "$binary" | grep -E 'RPATH|RUNPATH'; then
    fail "$program carries a library path"
  fi
  if readelf -S "$binary" | grep -q '\.debug_info'; then
    fail "$program is not stripped"
  fi
done
data=$scratch/data
mkdir "$data"
check "selvenor-cli init from the package" "$root/usr/bin/selvenor-cli" --data-dir "$data" init
for store in Data.mdb Log.mdb Settings.ini; do
  [ -f "$data/$store" ] || fail "init made no $store"
done
[ "$("$root/usr/bin/selvenor-cli" --data-dir "$data" terminals)" = "Kayıtlı terminal yok" ] ||
  fail "selvenor-cli terminals on the new stores"

# --- the schedule ----------------------------------------------------------------------------
service=$root/lib/systemd/system/selvenor-download.service
timer=$root/lib/systemd/system/selvenor-download.timer
grep -qxF "ExecStart=/usr/bin/selvenor-cli --data-dir $site download --all --wait \${SELVENOR_WAIT} \$SELVENOR_DOWNLOAD_OPTIONS" "$service" ||
  fail "the service does not run the downloads of $site"
grep -qxF "ReadWritePaths=$site" "$service" || fail "the service may not write $site"
grep -qxF "OnCalendar=*:0/15" "$timer" || fail "the timer does not run every 15 minutes"
if command -v systemd-analyze >/dev/null; then
  # Copies of the units whose ExecStart names the unpacked program; their Documentation= page
  # is looked up among the package's manual pages.
  units=$scratch/units
  mkdir "$units"
  for unit in "$service" "$timer"; do
    sed "s|/usr/bin/selvenor-cli|$root/usr/bin/selvenor-cli|" "$unit" >"$units/$(basename "$unit")"
  done
  check "systemd-analyze verify" env MANPATH="$root/usr/share/man" systemd-analyze verify \
    "$units/selvenor-download.service" "$units/selvenor-download.timer"
  if grep -v "^$" "$scratch/check.log"; then
    fail "systemd-analyze verify has remarks (above)"
  fi
  systemd-analyze calendar '*:0/15' >/dev/null 2>&1 ||
    fail "systemd-analyze calendar does not take *:0/15"
else
  echo "systemd-analyze not installed: the units were not verified"
fi

# --- manual pages ----------------------------------------------------------------------------
if command -v man >/dev/null; then
  for page in selvenor selvenor-cli selvenor-sim; do
    file=$root/usr/share/man/man1/$page.1.gz
    if ! LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$file" >"$scratch/page" \
      2>"$scratch/page.err" || [ -s "$scratch/page.err" ]; then
      fail "man -l $page.1.gz"
      cat "$scratch/page.err"
    fi
    grep -q "^NAME" "$scratch/page" || fail "$page.1 renders no NAME section"
  done
  grep -qF -- '\-\-wait' <(zcat "$root/usr/share/man/man1/selvenor-cli.1.gz") ||
    fail "selvenor-cli.1 does not tell the download's wait"
else
  echo "man not installed: the manual pages were not rendered"
fi
gzip -t "$root"/usr/share/man/man1/*.gz "$root/usr/share/doc/selvenor/changelog.gz" ||
  fail "a gzip'd file is damaged"

# --- desktop entry ---------------------------------------------------------------------------
desktop=$root/usr/share/applications/selvenor.desktop
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate" desktop-file-validate "$desktop"
else
  echo "desktop-file-validate not installed (package desktop-file-utils): not validated"
fi
grep -qxF "Exec=selvenor" "$desktop" || fail "the desktop entry does not start selvenor"
grep -qxF "Icon=selvenor" "$desktop" || fail "the desktop entry has no icon"

# --- maintainer scripts ----------------------------------------------------------------------
for script in postinst prerm postrm; do
  [ -x "$scratch/control/$script" ] || fail "$script is missing or not executable"
  check "sh -n $script" sh -n "$scratch/control/$script"
done
# postinst on a machine without the user, the group and the folder: the system commands are
# replaced by recorders (this machine is never changed), the script's decisions are compared.
stubs=$scratch/stubs
mkdir "$stubs"
for command in addgroup adduser install runuser deb-systemd-helper deb-systemd-invoke systemctl; do
  printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$command" "$scratch/calls" >"$stubs/$command"
done
printf '#!/bin/sh\nexit 2\n' >"$stubs/getent"
chmod +x "$stubs"/*
check "postinst configure" env PATH="$stubs:$PATH" sh -e "$scratch/control/postinst" configure
expected=(
  "addgroup --system --quiet selvenor"
  "adduser --system --quiet --ingroup selvenor --home $site --no-create-home --gecos Selvenor attendance downloads selvenor"
  "runuser -u selvenor -- selvenor-cli --data-dir $site init"
  "deb-systemd-helper unmask selvenor-download.timer"
  "deb-systemd-helper --quiet was-enabled selvenor-download.timer"
  "deb-systemd-helper enable selvenor-download.timer"
)
[ -d "$site" ] || expected+=("install -d -o selvenor -g selvenor -m 2775 $site")
for call in "${expected[@]}"; do
  grep -qxF "$call" "$scratch/calls" || fail "postinst did not call: $call"
done
if [ ! -d "$site" ]; then
  made=$(grep -n "^install -d" "$scratch/calls" | cut -d: -f1)
  init=$(grep -n "^runuser" "$scratch/calls" | cut -d: -f1)
  [ -n "$made" ] && [ -n "$init" ] && [ "$made" -lt "$init" ] ||
    fail "postinst did not make the folder before the stores"
fi

# --- lintian ---------------------------------------------------------------------------------
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1
  status=$?
  sed 's/^/lintian: /' "$scratch/lintian"
  [ $status -eq 0 ] || fail "lintian reports errors"
else
  echo "lintian not installed: the package was not checked by it"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "the package passed every check"
