#!/usr/bin/env bash
# The real program from a terminal with no display: --help and --version
# answer without Qt's platform, a bad option is refused, and --autostart for
# a user without a Remindo data folder ends at once, writing nothing.
#   cli.sh REMINDO
set -euo pipefail
program=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS
export XDG_DATA_HOME=$home/data XDG_DATA_DIRS=$home/system-data XDG_CONFIG_HOME=$home/config \
  XDG_STATE_HOME=$home/state XDG_RUNTIME_DIR=$home/run HOME=$home
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$("$program" --version)" = "Remindo @PROJECT_VERSION@" ] || fail "--version"
"$program" --help | grep -q -- "--autostart" || fail "--help"
status=0; "$program" --no-such-option 2>/dev/null || status=$?
[ $status -eq 2 ] || fail "a bad option ended with $status"
status=0; "$program" --autostart || status=$?
[ $status -eq 0 ] || fail "--autostart without a data folder ended with $status"
[ -z "$(find "$home" -mindepth 1 -print -quit)" ] || fail "--autostart wrote: $(find "$home" -mindepth 1)"
status=0; "$program" --quit || status=$?
[ $status -eq 0 ] && [ -z "$(find "$home" -mindepth 1 -print -quit)" ] || fail "--quit with nothing running"
echo "PASS"
