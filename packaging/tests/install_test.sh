#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix, makes the prefix read-only and runs the installed
# program as an unprivileged user with a temporary home: a batch search against the sample
# listing site must keep its settings, results and log in the user's own folders, leave the
# prefix exactly as installed, and --help must name those folders. The watch's systemd user
# units must load without a warning for a keyword file and name the installed command.
# Usage: install_test.sh BUILD_DIR SAMPLES_DIR
set -euo pipefail
build=$1
samples=$2

fail() {
  echo "install test: $*" >&2
  exit 1
}

work=$(mktemp -d)
site_pid=""
cleanup() {
  if [ -n "$site_pid" ]; then
    kill "$site_pid" 2>/dev/null || true
    wait "$site_pid" 2>/dev/null || true
  fi
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

# systemd-analyze checks the units as the user manager would load them, without one running:
# a private runtime folder stands in for the session's. Unknown keys and bad values are only
# warnings to systemd, so --recursive-errors makes them count. A missing command (ExecStart
# naming the wrong prefix, or the prefix cut at its space) is an error. Enabling the timer in a
# scratch root must hook it to timers.target, as `systemctl --user enable` does.
check_watch_units() {
  local units=$1 keywords="$work/watch list/ウォッチ \$HOME.txt" unit instance runtime root
  command -v systemd-analyze >/dev/null || fail "systemd-analyze (package systemd) is needed"
  for unit in vistrel-watch@.service vistrel-watch@.timer; do
    [ -f "$units/$unit" ] || fail "lib/systemd/user/$unit is not installed"
  done
  instance=$(systemd-escape --path "$keywords")
  runtime=$work/runtime
  mkdir -m 700 "$runtime"
  env -i PATH=/usr/bin:/bin HOME="$runtime" XDG_RUNTIME_DIR="$runtime" SYSTEMD_UNIT_PATH="$units:" \
    systemd-analyze --user verify --recursive-errors=yes --man=no \
    "vistrel-watch@$instance.service" "vistrel-watch@$instance.timer" >"$work/verify" 2>&1 ||
    { cat "$work/verify" >&2; fail "systemd-analyze verify found faults in the watch units"; }
  [ ! -s "$work/verify" ] || { cat "$work/verify" >&2; fail "systemd-analyze verify warned"; }
  root=$work/root
  mkdir -p "$root/usr/lib/systemd/user"
  cp "$units"/vistrel-watch@.* "$root/usr/lib/systemd/user/"
  systemctl --global --root="$root" enable "vistrel-watch@$instance.timer" 2>/dev/null ||
    fail "the watch timer cannot be enabled"
  [ -L "$root/etc/systemd/user/timers.target.wants/vistrel-watch@$instance.timer" ] ||
    fail "enabling the watch timer does not hook it to timers.target"
}

# Root writes everywhere, so as root the program runs as "nobody", as the permission tests do.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || fail "setpriv (util-linux) is needed to drop to nobody"
  id nobody >/dev/null 2>&1 || fail "there is no user nobody to run the program as"
  as_user=(setpriv --reuid="$(id -u nobody)" --regid="$(id -g nobody)" --clear-groups)
fi
user_owns() { [ ${#as_user[@]} -eq 0 ] || chown -R nobody "$@"; }

# A space and a "%" in the prefix: systemd would split the one and expand the other in a unit's
# command line unless they are escaped.
prefix="$work/pre fix%h"
cmake --install "$build" --prefix "$prefix" >/dev/null
program=$prefix/lib/vistrel
for file in Vistrel Plugin/medora.so Plugin/medora/template.html; do
  [ -f "$program/$file" ] || fail "$program/$file is not installed"
done
[ "$(readlink "$prefix/bin/vistrel")" = "../lib/vistrel/Vistrel" ] ||
  fail "bin/vistrel is not the relative link ../lib/vistrel/Vistrel"
[ -z "$(find "$prefix" -name 'listing-site*')" ] || fail "the sample listing site was installed"
for file in share/applications/vistrel.desktop share/icons/hicolor/scalable/apps/vistrel.svg \
  share/icons/hicolor/48x48/apps/vistrel.png share/metainfo/io.github.vistrel.Vistrel.metainfo.xml \
  share/man/man1/vistrel.1.gz share/doc/vistrel/copyright; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done

check_watch_units "$prefix/lib/systemd/user"

chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %y %s %T@ %m %l\n' | LC_ALL=C sort); }
listing >"$work/before"

home=$work/home
mkdir -p "$home/cfg/vistrel/Plugin/medora"
cp "$samples/watchlist.txt" "$home/"

# The site answers one keyword with 500, so that the error log gets an entry.
coproc SITE { exec "$build/bin/listing-site" --port 0 --status '花火=500'; }
site_pid=$SITE_PID
port=""
read -r port <&"${SITE[0]}" || true
[[ "$port" =~ ^[0-9]+$ ]] || fail "the sample listing site did not start"

# Settings the run must find in the per-user folder: region, plug-in and direct connections
# in Vistrel.ini, the site's address in medora's own file.
printf '[Settings\\Proxy]\nIESetting=0\nEnable=0\n[Settings\\Query]\nArea=8\n[Settings\\PlugIn]\nDLLName=medora\n' \
  >"$home/cfg/vistrel/Vistrel.ini"
printf '[Site]\nServer=127.0.0.1:%s\n' "$port" >"$home/cfg/vistrel/Plugin/medora/medora.ini"
user_owns "$home"

run() {
  (cd "$home" && "${as_user[@]}" env -i PATH=/usr/bin:/bin LANG=C.UTF-8 "$@")
}
xdg=(HOME="$home" XDG_CONFIG_HOME="$home/cfg" XDG_DATA_HOME="$home/data"
  XDG_STATE_HOME="$home/state")

status=0
run "${xdg[@]}" "$prefix/bin/vistrel" --search watchlist.txt >"$work/out" 2>"$work/err" || status=$?
[ $status -eq 3 ] || { cat "$work/out" "$work/err" >&2; fail "the search ended with $status, not 3"; }
result=$(tail -n 1 "$work/out")
case $result in
  "$home/data/vistrel/Cache/watchlist_東京_"*"_medora.html") ;;
  *) fail "the result page is not in the per-user cache folder: $result" ;;
esac
[ -s "$result" ] || fail "the result page $result is missing or empty"
grep -q '500' "$home/state/vistrel/error.log" || fail "error.log is not in the per-user state folder"
for folder in data data/vistrel state state/vistrel; do
  [ "$(stat -c %a "$home/$folder")" = 700 ] || fail "$home/$folder was not made with mode 0700"
done

listing >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "the installed tree changed"

run "${xdg[@]}" "$prefix/bin/vistrel" --help >"$work/help" || fail "--help failed"
for expected in "installed" "$home/cfg/vistrel/Vistrel.ini" "$home/data/vistrel/Cache" \
  "$home/state/vistrel/error.log"; do
  grep -qF -- "$expected" "$work/help" || fail "--help does not name $expected"
done
# Without the XDG variables the defaults under HOME apply; --help itself makes nothing.
fresh=$work/fresh
mkdir "$fresh"
user_owns "$fresh"
run HOME="$fresh" XDG_CONFIG_HOME=relative "$prefix/bin/vistrel" --help >"$work/help" ||
  fail "--help failed"
for expected in "$fresh/.config/vistrel/Vistrel.ini" "$fresh/.local/share/vistrel/Cache" \
  "$fresh/.local/state/vistrel/error.log"; do
  grep -qF -- "$expected" "$work/help" || fail "--help does not name $expected"
done
[ -z "$(ls -A "$fresh")" ] || fail "--help wrote into the home folder"
echo "install test: passed"
