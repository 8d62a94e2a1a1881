#!/usr/bin/env bash
# How much Remindo costs the desktop, beside a minimal Qt 6 program that only
# shows a tray icon, built here in the same run. Both run in turn on the same
# desktop (Xvfb, openbox, wmdocker) with an empty data folder:
#   tray    time from start to the icon embedded in the notification area
#   rss     resident memory after 10 s idle
#   wakeups voluntary context switches of all threads per minute while idle
#
#   tools/footprint.sh [REMINDO] [IDLE_SECONDS]
# REMINDO defaults to build/release/src/shell/remindo (built by `setup.sh run`);
# IDLE_SECONDS (default 60) is how long the wake-ups are counted.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(readlink -f "${1:-$here/build/release/src/shell/remindo}")
idle=${2:-60}
[ -x "$program" ] || { echo "no program at $program (bash tools/setup.sh run builds it)" >&2; exit 2; }
for t in Xvfb openbox wmdocker xdotool xwininfo g++ pkg-config; do
  command -v "$t" >/dev/null || { echo "$t is missing (tools/setup.sh installs it)" >&2; exit 2; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "building the minimal tray program ..." >&2
# shellcheck disable=SC2046
g++ -O2 -fPIC -std=c++17 "$here/tools/footprint/minitray.cpp" -o "$work/minitray" \
  $(pkg-config --cflags --libs Qt6Widgets)

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
until [ -s "$work/display" ]; do sleep 0.05; done
export DISPLAY=:$(head -n1 "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do sleep 0.05; done
wmdocker >/dev/null 2>&1 &
pids+=($!)
until xdotool search --name '^Docker$' >/dev/null 2>&1; do sleep 0.05; done
docker=$(xdotool search --name '^Docker$' | head -n1)
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

switches() { # voluntary context switches of every thread of $1
  cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/{s += $2} END{print s + 0}'
}
icons() { xwininfo -children -id "$docker" | grep -c '^ *0x' || true; }

measure() { # measure NAME COMMAND
  local name=$1 cmd=$2 home=$work/home-$1
  mkdir -p "$home/data/Vendly/Remindo" "$home/run"
  chmod 700 "$home/run"
  # An empty list, so that no missing-file message waits for an answer.
  printf '<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>0</Ilosc>\r\n</Dane>\r\n' \
    >"$home/data/Vendly/Remindo/Dane.dat"
  local before t0 t1 pid
  before=$(icons)
  t0=$(date +%s%N)
  XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home/run "$cmd" >/dev/null 2>&1 &
  pid=$!
  pids+=($pid)
  while [ "$(icons)" -le "$before" ]; do
    sleep 0.005
    kill -0 "$pid" 2>/dev/null || { echo "$name ended" >&2; exit 1; }
  done
  t1=$(date +%s%N)
  sleep 10
  local rss s0 s1
  rss=$(awk '/^VmRSS/{print $2}' /proc/"$pid"/status)
  s0=$(switches "$pid")
  sleep "$idle"
  s1=$(switches "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  printf '%-10s tray %6.0f ms   rss %6.1f MiB   wakeups %5.1f /min\n' "$name" \
    "$(((t1 - t0) / 1000000))" "$(awk -v k="$rss" 'BEGIN{print k / 1024}')" \
    "$(awk -v d=$((s1 - s0)) -v s="$idle" 'BEGIN{print d * 60 / s}')"
}

measure minitray "$work/minitray"
measure remindo "$program"
