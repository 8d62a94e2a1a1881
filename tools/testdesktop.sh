# Sourced by tests/e2e/desktop.sh and tools/footprint.sh: an X desktop of
# their own, Xvfb with openbox (window manager) and wmdocker (notification
# area). Sourcing it makes the scratch folder $work and the array pids, whose
# processes are killed and the folder removed at exit. start_test_desktop
# [WIDTHxHEIGHT] sets DISPLAY, docker (the notification area's window) and docker_pid;
# start_session_bus a private session bus in DBUS_SESSION_BUS_ADDRESS.

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

start_test_desktop() { # [WIDTHxHEIGHT], 1024x768 unless given
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  local end=$((SECONDS + 20))
  until [ -s "$work/display" ]; do
    [ $SECONDS -lt $end ] || { echo "no X server" >&2; return 1; }
    sleep 0.05
  done
  export DISPLAY=:$(head -n1 "$work/display")
  # The window manager is the machine's: its themes from the system's folders.
  XDG_DATA_DIRS=/usr/local/share:/usr/share XDG_CONFIG_DIRS=/etc/xdg openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    [ $SECONDS -lt $end ] || { echo "no window manager" >&2; return 1; }
    sleep 0.05
  done
  wmdocker >"$work/wmdocker.log" 2>&1 &
  docker_pid=$!
  pids+=($docker_pid)
  until xdotool search --name '^Docker$' >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || { echo "no notification area" >&2; return 1; }
    sleep 0.05
  done
  docker=$(xdotool search --name '^Docker$' | head -n1)
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY
}

start_session_bus() {
  dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >"$work/bus.log" 2>&1 &
  pids+=($!)
  local end=$((SECONDS + 20))
  until [ -s "$work/bus" ]; do
    [ $SECONDS -lt $end ] || { echo "no session bus" >&2; return 1; }
    sleep 0.05
  done
  DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus")
  export DBUS_SESSION_BUS_ADDRESS
}

# The exit status of a background process that has ended.
exit_status() {
  local status=0
  wait "$1" || status=$?
  echo "$status"
}
