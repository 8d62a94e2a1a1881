# Sourced by tests/e2e/desktop.sh, tests/e2e/scales.sh, tools/footprint.sh
# and .ci/package.sh: an X desktop of their own, Xvfb with openbox (window
# manager) and wmdocker (notification area). Sourcing it makes the scratch
# folder $work and the array pids, whose processes are killed and the folder
# removed at exit. start_test_desktop [WIDTHxHEIGHT] sets DISPLAY, docker
# (the notification area's window) and docker_pid; start_session_bus a
# private session bus in DBUS_SESSION_BUS_ADDRESS.
# For the desktop tests: own_session gives the run XDG folders of its own in
# $work and no session of the user's; fail ends the test with a picture of
# the screen ($failure_shot) and the program's last words; wait_for polls;
# geometry WINDOW says x y width height, window_of_size NAME WxH finds one.
# Nothing waits without a limit of its own: within runs a command that must
# end in time, ended waits for a background process to end.

work=$(mktemp -d)
pids=()
# The test's own standard error, for failures met while a command's is
# redirected.
exec {test_stderr}>&2
# Under set -e a command that fails outside the test's own checks ends the
# run: the last one that failed in this shell (not in a condition) is kept,
# and said at the end if no check said why, so that no run ends without a word.
set -o errtrace
last_failed=
said_why=0
trap 'last_failed="${BASH_SOURCE[0]##*/}:$LINENO: \"$BASH_COMMAND\" ended with $?"' ERR
cleanup() {
  local status=$?
  if [ $status -ne 0 ] && [ $said_why -eq 0 ] && [ -n "$last_failed" ]; then
    echo "FAIL: $last_failed" >&"$test_stderr"
  fi
  local p end=$((SECONDS + 10))
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do
    while kill -0 "$p" 2>/dev/null && [ $SECONDS -lt $end ]; do sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
  done
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
  # Its start must be over before the notification area maps: a window
  # mapped while it starts is left unmapped, and once the first icon maps it
  # the window manager's dock takes it in while it grows, keeping it 2x2.
  XDG_DATA_DIRS=/usr/local/share:/usr/share XDG_CONFIG_DIRS=/etc/xdg \
    openbox --startup "touch $work/wm-started" >"$work/openbox.log" 2>&1 &
  pids+=($!)
  until [ -e "$work/wm-started" ]; do
    [ $SECONDS -lt $end ] || { echo "no window manager" >&2; return 1; }
    sleep 0.05
  done
  # A Polish keyboard, as the users have: its letters are on keys, so xdotool
  # types them without remapping a spare key for each, a remap that a busy
  # program reads after it has been undone, and the letter is lost.
  timeout 10 setxkbmap pl || { echo "no Polish keyboard layout" >&2; return 1; }
  wmdocker >"$work/wmdocker.log" 2>&1 &
  docker_pid=$!
  pids+=($docker_pid)
  until xdotool search --name '^Docker$' >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || { echo "no notification area" >&2; return 1; }
    sleep 0.05
  done
  docker=$(xdotool search --name '^Docker$' | head -n1)
  until xwininfo -id "$docker" | awk '/Map State: IsViewable/ {shown = 1} END {exit !shown}'; do
    [ $SECONDS -lt $end ] || { echo "the notification area is not shown" >&2; return 1; }
    sleep 0.05
  done
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

# The exit status of a background process that has ended; 255 for one that
# still runs (never waited for).
exit_status() {
  local status=0
  if kill -0 "$1" 2>/dev/null; then
    echo "exit_status: process $1 still runs" >&"$test_stderr"
    echo 255
    return
  fi
  wait "$1" || status=$?
  echo "$status"
}

# ended SECONDS WHAT PID: the background process PID ends within SECONDS,
# else the test fails naming WHAT; its exit status is left in $ended_status.
ended() {
  local limit=$1 what=$2 pid=$3
  local end=$((SECONDS + limit))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $end ] || fail "$what: still running after $limit s"
    sleep 0.1
  done
  ended_status=0
  wait "$pid" 2>/dev/null || ended_status=$?
}

# within SECONDS WHAT COMMAND...: runs COMMAND (a program, not a function),
# which must end within SECONDS, else it is killed and the test fails naming
# WHAT. Answers COMMAND's own status.
within() {
  local limit=$1 what=$2 status=0
  shift 2
  timeout -k 5 "$limit" "$@" || status=$?
  if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    fail "$what did not end within $limit s"
  fi
  return $status
}

own_session() {
  export XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/system-data XDG_CONFIG_HOME=$work/config \
    XDG_CONFIG_DIRS=$work/system-config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  export LC_ALL=C.UTF-8
  unset SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS XDG_SESSION_ID
}

fail() {
  said_why=1
  echo "FAIL: $*" >&"$test_stderr"
  [ -z "${failure_shot:-}" ] || timeout 20 import -window root "$failure_shot" 2>/dev/null || true
  [ ! -s "$work/remindo.log" ] || { echo "-- the program said:"; tail -n 20 "$work/remindo.log"; } >&"$test_stderr"
  exit 1
}

# wait_for SECONDS DESCRIPTION COMMAND...: polls every 0.1 s.
wait_for() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $end ] || fail "no $what within $limit s"
    sleep 0.1
  done
}

# Absolute geometry of a window: "x y w h".
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
                           /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}'
}
# The visible window of that name (a pattern) and size, if any.
window_of_size() {
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    if [ "$(xdotool getwindowgeometry "$id" | awk '/Geometry/{print $2}')" = "$2" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
