#!/usr/bin/env bash
# Remindo on a real X desktop (Xvfb, openbox, wmdocker) scaled to 100, 125,
# 150 and 200 % (QT_SCALE_FACTOR): at each scale a reminder slides into the
# bottom-right corner of the work area, "Przypomnij jutro" clicked at its
# painted place is stored, and the list window from `remindo --list` and the
# editor from its "+" open and close at their painted buttons. Screenshots
# of the three windows at each scale go to OUT/scale-<scale>-*.png.
#
#   scales.sh REMINDO REMINDO_DATA WRITE_SETTINGS OUT
#
# Exits 77 (skipped) when Xvfb, openbox, wmdocker, xdotool, xwininfo,
# ImageMagick's import or dbus-daemon is missing: tools/setup.sh installs them.
set -euo pipefail

program=$(readlink -f "$1")
tool=$(readlink -f "$2")
write_settings=$(readlink -f "$3")
out=$4
mkdir -p "$out"

for t in Xvfb openbox wmdocker xdotool xwininfo import dbus-daemon; do
  if ! command -v "$t" >/dev/null; then
    echo "SKIP: $t is not installed (tools/setup.sh installs it)"
    exit 77
  fi
done

# shellcheck source=../../tools/testdesktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/testdesktop.sh"

failure_shot=$out/scales-failure.png
own_session

start_test_desktop 2560x1600 || fail "desktop" # a laptop's screen, where 200 % is at home
start_session_bus || fail "session bus"
read -r area_x area_y area_w area_h < <(xprop -root _NET_WORKAREA | tr -d ',' | awk '{print $3, $4, $5, $6}')

# Device pixels of a length in window pixels at the scale, as Qt rounds them.
px() { awk -v n="$1" -v s="$scale" 'BEGIN{printf "%d", n * s + 0.5}'; }
window_at_scale() { # window_at_scale WIDTH HEIGHT (window pixels)
  window_of_size '^Remindo' "$(px "$1")x$(px "$2")"
}
click_in() { # click_in WINDOW X Y, in window pixels
  local x y
  read -r x y _ _ < <(geometry "$1")
  xdotool mousemove $((x + $(px "$2"))) $((y + $(px "$3"))) click 1
}
shot() {
  local x y w h
  read -r x y w h < <(geometry "$1")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/scale-$scale-$2.png"
}
blocked_today() {
  "$tool" export --plain "$work/after.dat" && grep -q "<BlokDzis>1</BlokDzis>" "$work/after.dat"
}

today=$(date +%F)
printf '<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>1</Ilosc>\r\n\t<Nr1>\r\n\t\t<Tresc>%s</Tresc>\r\n' \
  'Wizyta u dentysty o 16:30+Zabrać kartę pacjenta+' | iconv -f UTF-8 -t CP1250 >"$work/due.dat"
printf '\t\t<Data>%s</Data>\r\n\t\t<CoIle>0</CoIle>\r\n\t\t<IlePrzed>0</IlePrzed>\r\n\t\t<CzyPo>0</CzyPo>\r\n' "$today" >>"$work/due.dat"
printf '\t\t<Blok>0</Blok>\r\n\t\t<BlokDzis>0</BlokDzis>\r\n\t\t<BlokDzisData>%s</BlokDzisData>\r\n' "$today" >>"$work/due.dat"
printf '\t\t<Ile>3</Ile>\r\n\t</Nr1>\r\n</Dane>\r\n' >>"$work/due.dat"

for scale in 1 1.25 1.5 2; do
  echo "== at $scale"
  within 30 "remindo-data import" "$tool" import "$work/due.dat" >/dev/null || fail "remindo-data import"
  "$write_settings" 1 60 1 || fail "settings file"
  QT_SCALE_FACTOR=$scale REMINDO_TEST_TIMERS=1000,60000 "$program" >>"$work/remindo.log" 2>&1 &
  remindo=$!
  pids+=($remindo)

  wait_for 20 "reminder window" window_at_scale 349 90
  reminder=$(window_at_scale 349 90)
  sleep 0.6 # slid in and settled
  read -r x y w h < <(geometry "$reminder")
  # In the corner of the work area: its right edge one window pixel inside,
  # its bottom edge on the bottom, give or take the rounding to the device's
  # pixels at a fractional scale, and never past either.
  right=$((area_x + area_w - x - w)) bottom=$((area_y + area_h - y - h))
  awk -v r="$right" -v b="$bottom" -v s="$scale" 'BEGIN{exit !(r >= 0 && r <= 2 * s && b >= 0 && b < s)}' ||
    fail "the reminder window stands $right px left of the work area's right edge, $bottom px above its bottom"
  echo "reminder window ${w}x${h}, $right px from the right edge, $bottom px from the bottom"
  shot "$reminder" reminder
  click_in "$reminder" 174 18 # Przypomnij jutro
  wait_for 10 "the answer stored" blocked_today

  within 30 "remindo --list" "$program" --list || fail "remindo --list"
  wait_for 10 "list window" window_at_scale 386 447
  list=$(window_at_scale 386 447)
  sleep 0.3
  shot "$list" list
  click_in "$list" 27 59 # +
  wait_for 10 "editor" window_at_scale 374 395
  editor=$(window_at_scale 374 395)
  sleep 0.3
  shot "$editor" editor
  click_in "$editor" 307 368 # cancel
  wait_for 5 "the editor to close" sh -c "! xdotool search --onlyvisible --name '^Remindo' | grep -qx $editor"
  click_in "$list" 321 420 # cancel
  wait_for 5 "the list window to close" sh -c "! xdotool search --onlyvisible --name '^Remindo' | grep -qx $list"
  within 30 "remindo --quit" "$program" --quit || fail "remindo --quit"
  ended 10 "the program after remindo --quit" "$remindo"
done
echo "PASS"
