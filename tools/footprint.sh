#!/usr/bin/env bash
# How much Remindo costs the desktop, beside a minimal Qt 6 program that only
# shows a tray icon, built here in the same run. Both run in turn on the same
# desktop (Xvfb, openbox, wmdocker) with an empty data folder:
#   tray    time from start to the icon embedded in the notification area
#   rss     resident memory after 10 s idle
#   wakeups voluntary context switches of all threads per minute while idle
#
#   tools/footprint.sh [REMINDO] [IDLE_SECONDS] [RUNS]
# REMINDO defaults to build/release/src/shell/remindo (built by `setup.sh run`);
# IDLE_SECONDS (default 60) is how long the wake-ups are counted; the tray
# time is the median of RUNS (default 7) starts of each, taken in turn.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(readlink -f "${1:-$here/build/release/src/shell/remindo}")
idle=${2:-60}
runs=${3:-7}
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

prepare_home() { # an empty list, so that no missing-file message waits for an answer
  local home=$work/home-$1
  mkdir -p "$home/data/Vendly/Remindo" "$home/run"
  chmod 700 "$home/run"
  printf '<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>0</Ilosc>\r\n</Dane>\r\n' \
    >"$home/data/Vendly/Remindo/Dane.dat"
}
launch() { # launch NAME COMMAND: starts it with its own folders; pid in $pid
  local home=$work/home-$1
  XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home XDG_RUNTIME_DIR=$home/run "$2" >/dev/null 2>&1 &
  pid=$!
  pids+=($pid)
}
tray_ms() { # tray_ms NAME COMMAND: milliseconds from start to the icon embedded
  local before t0 t1
  before=$(icons)
  t0=$(date +%s%N)
  launch "$1" "$2"
  while [ "$(icons)" -le "$before" ]; do
    sleep 0.005
    kill -0 "$pid" 2>/dev/null || { echo "$1 ended" >&2; exit 1; }
  done
  t1=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  while [ "$(icons)" -gt "$before" ]; do sleep 0.01; done
  echo $(((t1 - t0) / 1000000))
}
median() { tr ' ' '\n' | grep . | sort -n | awk '{v[NR] = $1} END{print v[int((NR + 1) / 2)]}'; }
idle_figures() { # idle_figures NAME COMMAND: "rss_kib switches_per_minute"
  launch "$1" "$2"
  sleep 10
  local rss s0 s1
  rss=$(awk '/^VmRSS/{print $2}' /proc/"$pid"/status)
  s0=$(switches "$pid")
  sleep "$idle"
  s1=$(switches "$pid")
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  echo "$rss $(awk -v d=$((s1 - s0)) -v s="$idle" 'BEGIN{print d * 60 / s}')"
}

names=(minitray remindo)
commands=("$work/minitray" "$program")
for i in 0 1; do prepare_home "${names[$i]}"; done
# The start-up time is noisy on a busy machine: the median of interleaved runs.
declare -A times
for _ in $(seq "$runs"); do
  for i in 0 1; do times[$i]+="$(tray_ms "${names[$i]}" "${commands[$i]}") "; done
done
for i in 0 1; do
  read -r rss wakeups < <(idle_figures "${names[$i]}" "${commands[$i]}")
  printf '%-10s tray %5d ms (median of %d: %s)  rss %5.1f MiB  wakeups %4.1f /min\n' "${names[$i]}" \
    "$(echo "${times[$i]}" | median)" "$runs" "${times[$i]% }" "$(awk -v k="$rss" 'BEGIN{print k / 1024}')" "$wakeups"
done
