#!/usr/bin/env bash
# The sync tests' surroundings: a private D-Bus session bus on which nothing
# starts by itself, with gnome-keyring's Secret Service on it, unlocked
# ("keyring"), or with none ("no-keyring"); a work folder for the servers the
# test starts (REMINDO_SYNC_WORK); and, whatever way the test ends, every
# Radicale started there stopped, the keyring ended and the folder removed.
#   session.sh keyring|no-keyring COMMAND [ARG...]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=$1
shift

if [ -z "${REMINDO_SESSION_INNER:-}" ]; then
  for tool in dbus-run-session /usr/bin/python3; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (tools/setup.sh installs it)"; exit 1; }
  done
  # In memory where there is room: a server's disk syncs are most of its time.
  tmp=${TMPDIR:-/tmp}
  [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ] && tmp=/dev/shm
  work=$(mktemp -d "$tmp/remindo-sync.XXXXXX")
  mkdir -p "$work/services"
  cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <servicedir>$work/services</servicedir>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  cleanup() {
    local pidfile
    for pidfile in "$work"/*/pid; do
      [ -e "$pidfile" ] && /usr/bin/python3 "$here/radicale_server.py" stop "$(dirname "$pidfile")"
    done
    rm -rf "$work"
  }
  trap cleanup EXIT
  REMINDO_SESSION_INNER=1 REMINDO_SYNC_WORK=$work \
    dbus-run-session --config-file="$work/bus.conf" -- bash "${BASH_SOURCE[0]}" "$mode" "$@"
  exit $?
fi

# Inside the private bus.
keyring_pid=
if [ "$mode" = keyring ]; then
  command -v gnome-keyring-daemon >/dev/null || { echo "gnome-keyring is not installed (tools/setup.sh installs it)"; exit 1; }
  : "${XDG_RUNTIME_DIR:?}" "${XDG_DATA_HOME:?}"
  mkdir -p "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME"
  chmod 700 "$XDG_RUNTIME_DIR"
  rm -rf "$XDG_DATA_HOME/keyrings"
  # --unlock reads the login keyring's password and makes the keyring with
  # it, so that no prompt is ever wanted.
  printf 'remindo-test' | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1
  gnome-keyring-daemon --start --components=secrets >/dev/null 2>&1
  keyring_pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus / \
                  org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.secrets 2>/dev/null |
                awk '{print $2}')
  [ -n "$keyring_pid" ] || { echo "gnome-keyring did not come up on the private bus"; exit 1; }
fi
"$@"
status=$?
[ -n "$keyring_pid" ] && kill "$keyring_pid" 2>/dev/null
exit $status
