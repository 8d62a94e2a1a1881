#!/usr/bin/env bash
# Remindo as a user meets it, on a real X desktop: Xvfb with openbox (window
# manager) and wmdocker (notification area). Starts from an empty data
# folder; answers the missing-file box; refuses a second start; shows the
# blue panel on a left click; after kill -9 starts again and slides in the
# reminders due today, tomorrow and in four days; "Przypomnij jutro" leaves
# BlokDzis = 1 in the data file; "&Zakończ" ends it. Then every window of
# the tray menu opens and closes, and a value changed in the settings dialog
# is there again after a restart. Two writers: a file replaced by rename
# with nothing pending is shown without a restart; `remindo-data import`
# while the program runs reaches the list window, its save and a reminder
# window's answer; a file replaced while the list window holds unsaved edits
# is kept as a dated copy at their save, and the box names it. Last, without
# a notification area: a
# second start opens the list window in the running copy and ends with 0;
# `remindo --calendar` opens the calendar, the session bus's ActivateAction
# "ustawienia" the settings, and `remindo --quit` ends the program. Then the
# blue panel comes, `remindo --list` opens the list window through it,
# `remindo --settings` names the list window in its way, then opens the
# settings, a panel left alone goes by itself, and a first start with
# `--settings` opens the settings.
# Screenshots go to OUT.
#
# A program the user types in keeps every keystroke while a reminder slides
# in, and "&Zakończ" ends the program at once with the editor and the
# recurrence dialog open. Escape on the editor's open kind list folds the
# list only: the editor stays, and the text typed in it is saved.
#
# From then on the session has a screen reader's accessibility bus. With
# keys only, a reminder is added in the list window from the tray menu,
# typed, saved, and answered in the reminder window, reached with the
# window manager's Alt+Tab; the data file then holds it and its answer. On
# the way, AT-SPI (what Orca reads) finds every button of the list window,
# the editor and the reminder window named, with a press action, and the
# reminder's text.
#
#   desktop.sh REMINDO REMINDO_DATA WRITE_SETTINGS OUT TYPIST
#
# Exits 77 (skipped) when Xvfb, openbox, wmdocker, xdotool, xwininfo,
# ImageMagick's import, dbus-daemon, gdbus, at-spi2-core or python3-pyatspi
# is missing: tools/setup.sh installs them.
set -euo pipefail

program=$(readlink -f "$1")
tool=$(readlink -f "$2")
write_settings=$(readlink -f "$3")
out=$4
typist=$(readlink -f "$5")
mkdir -p "$out"
rm -f "$out/failure.png"

for t in Xvfb openbox wmdocker xdotool xwininfo import dbus-daemon gdbus; do
  if ! command -v "$t" >/dev/null; then
    echo "SKIP: $t is not installed (tools/setup.sh installs it)"
    exit 77
  fi
done
# The system's Python, where Debian's pyatspi lives.
atspi_bus=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$atspi_bus" ] || ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
  echo "SKIP: at-spi2-core or python3-pyatspi is not installed (tools/setup.sh installs them)"
  exit 77
fi
walker=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/atspi_walk.py

# shellcheck source=../../tools/testdesktop.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../tools/testdesktop.sh"

failure_shot=$out/failure.png
own_session
folder=$XDG_DATA_HOME/Vendly/Remindo
ini=$folder/Remindo.ini
data=$folder/Dane.dat

# ---------------------------------------------------------------- the desktop
start_test_desktop || fail "desktop"
start_session_bus || fail "session bus"

# shot WINDOW FILE [MARGIN]: the window as the screen shows it.
shot() {
  local x y w h m=${3:-0}
  # A window gone before its picture fails by name, not by set -e in silence.
  [ -n "$1" ] || fail "no window left for the picture $(basename "$2")"
  read -r x y w h < <(geometry "$1") || fail "the window for $(basename "$2") went before its picture"
  import -window root -crop "$((w + 2 * m))x$((h + 2 * m))+$((x - m < 0 ? 0 : x - m))+$((y - m < 0 ? 0 : y - m))" \
    +repage "$2"
}
tray_icon() { xwininfo -children -id "$docker" | awk '/"Remindo"/{print $1; exit}' | grep .; }
reminder_at_rest() { # the reminder window, slid in to the bottom of the screen
  local id x y w h
  id=$(window_of_size '^Remindo$' 349x90) || return 1
  read -r x y w h < <(geometry "$id")
  [ "$y" -eq $((768 - 90)) ] && [ "$x" -eq $((1024 - 350)) ] && echo "$id"
}
reminder_gone() { ! window_of_size '^Remindo$' 349x90; }
# A reminder takes clicks once it has stood for a moment (0.4 s).
wait_reminder() {
  wait_for 15 "$1" reminder_at_rest
  sleep 0.5
}
menu_shown() { # the tray menu on the screen: Qt's popup, which no window manager frames
  local id info
  for id in $(xwininfo -root -children | awk '/"Remindo": \("remindo"/{print $1}'); do
    info=$(xwininfo -id "$id")
    grep -q 'Map State: IsViewable' <<<"$info" && grep -q 'Override Redirect State: yes' <<<"$info" && return 0
  done
  return 1
}
# A right click, then the menu on the screen. A second click if it does not
# come: Qt closes a menu it has just opened when it reads a focus change left
# over from the window before (a reminder clicked away, a box answered), as
# a loaded machine lets it happen; the user clicks again, and so does this.
open_menu() {
  local ix iy end
  read -r ix iy _ _ < <(geometry "$(tray_icon)")
  xdotool mousemove $((ix + 8)) $((iy + 8)) click 3
  end=$((SECONDS + 5))
  until menu_shown; do
    if [ $SECONDS -ge $end ]; then
      echo "no tray menu 5 s after the right click: clicked again"
      xdotool click 3
      break
    fi
    sleep 0.1
  done
  wait_for 10 "the tray menu" menu_shown
}
click_in() { # click_in WINDOW X Y
  local x y w h
  read -r x y w h < <(geometry "$1")
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}
bus_owned() {
  gdbus call --session --timeout 5 --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
    --method org.freedesktop.DBus.NameHasOwner pl.vendly.Remindo | grep -q true
}
start_remindo() {
  "$program" >>"$work/remindo.log" 2>&1 &
  remindo=$!
  pids+=($remindo)
}

# ---------------------------------------------------- first start, no data
echo "== first start with an empty data folder"
t0=$(date +%s.%N)
start_remindo
wait_for 20 "settings file" test -f "$ini"
wait_for 20 "tray icon in the notification area" tray_icon
echo "tray icon embedded after $(awk -v a="$t0" -v b="$(date +%s.%N)" 'BEGIN{printf "%.2f", b - a}') s"
shot "$docker" "$out/tray.png" 4

wait_for 20 "missing-file message" window_of_size '^Remindo$' 350x150
box=$(window_of_size '^Remindo$' 350x150)
[ ! -e "$data" ] || fail "the data file exists before the message is answered"
shot "$box" "$out/missing-file-box.png"
within 10 "activating the missing-file box" xdotool windowactivate --sync "$box" key z 2>/dev/null ||
  click_in "$box" 234 129
wait_for 10 "data file" test -f "$data"
grep -q "<Ilosc>" "$data" || fail "the new data file holds no list"

# --------------------------------------------------------- second start
echo "== second start"
sum_before=$(md5sum "$ini" "$data")
"$program" >"$work/second.log" 2>&1 &
second=$!
pids+=($second)
wait_for 20 "second-start box" xdotool search --onlyvisible --name '^Uwaga$'
uwaga=$(xdotool search --onlyvisible --name '^Uwaga$' | head -n1)
shot "$uwaga" "$out/second-start.png"
within 10 "activating the second-start box" xdotool windowactivate --sync "$uwaga" key Return 2>/dev/null || true
ended 10 "the second copy, its box answered" "$second"
[ "$ended_status" -ne 0 ] || fail "the refused copy reported success"
[ "$(md5sum "$ini" "$data")" = "$sum_before" ] || fail "the refused copy touched a file"
kill -0 "$remindo" || fail "the first copy ended"

# ------------------------------------------------------------ blue panel
echo "== left click on the icon"
icon=$(tray_icon)
click_in "$icon" 8 8
wait_for 10 "blue panel" reminder_at_rest
panel=$(reminder_at_rest)
sleep 0.3
shot "$panel" "$out/blue-panel.png"
click_in "$panel" 170 18 # the close strip
wait_for 10 "blue panel to go" reminder_gone

# ------------------------------------------------- kill -9, reminders due
echo "== kill -9, then reminders due today, tomorrow and in four days"
kill -9 "$remindo"
ended 10 "the program after kill -9" "$remindo"
[ -f "$folder/Remindo.lock" ] || fail "the lock file is not beside the data"

today=$(date +%F)
# plain_file FILE: a plain (unscrambled) data file, Windows-1250, of the
# one-off reminders read from standard input as "text|in days|days ahead".
plain_file() {
  local n=0 text day ahead lines line
  mapfile -t lines
  {
    printf '<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>%d</Ilosc>\r\n' ${#lines[@]}
    for line in "${lines[@]}"; do
      IFS='|' read -r text day ahead <<<"$line"
      n=$((n + 1))
      printf '\t<Nr%d>\r\n\t\t<Tresc>%s</Tresc>\r\n\t\t<Data>%s</Data>\r\n\t\t<CoIle>0</CoIle>\r\n' \
        "$n" "$text" "$(date -d "$today + $day days" +%F)"
      printf '\t\t<IlePrzed>%d</IlePrzed>\r\n\t\t<CzyPo>0</CzyPo>\r\n\t\t<Blok>0</Blok>\r\n' "$ahead"
      printf '\t\t<BlokDzis>0</BlokDzis>\r\n\t\t<BlokDzisData>%s</BlokDzisData>\r\n\t\t<Ile>3</Ile>\r\n\t</Nr%d>\r\n' \
        "$today" "$n"
    done
    printf '</Dane>\r\n'
  } | iconv -f UTF-8 -t CP1250 >"$1"
}
plain=$work/import.dat
plain_file "$plain" <<'LIST'
Wizyta u dentysty o 16:30+Zabrać kartę pacjenta+|0|0
Urodziny Zosi - kupić kwiaty+|1|3
Przegląd samochodu w serwisie+|4|7
LIST
within 30 "remindo-data import" "$tool" import "$plain" || fail "remindo-data import"

# A reminder may come back after a minute (PokazCo), and the examination
# runs every 6 s here instead of every BadajCo minutes.
"$write_settings" 1 60 1 || fail "settings file"
export REMINDO_TEST_TIMERS=6000,60000
start_remindo
unset REMINDO_TEST_TIMERS
wait_for 20 "tray icon after the restart" tray_icon
kill -0 "$remindo" || fail "the start after kill -9 was refused"

wait_reminder "red reminder"
shot "$(reminder_at_rest)" "$out/reminder-red.png"
before=$(md5sum <"$data")
click_in "$(reminder_at_rest)" 174 18 # Przypomnij jutro
wait_for 5 "red reminder to go" reminder_gone
wait_for 10 "the block saved" sh -c "[ \"\$(md5sum <'$data')\" != '$before' ]"
"$tool" export --plain "$work/after.dat"
awk '/<Nr1>/{on=1} /<\/Nr1>/{on=0} on && /<BlokDzis>1<\/BlokDzis>/{found=1} END{exit !found}' "$work/after.dat" ||
  fail "BlokDzis of the first reminder is not 1 in the data file"
echo "BlokDzis = 1 stored for the first reminder"

wait_reminder "yellow reminder"
shot "$(reminder_at_rest)" "$out/reminder-yellow.png"
click_in "$(reminder_at_rest)" 60 18 # Przypomnij później
wait_for 5 "yellow reminder to go" reminder_gone
wait_reminder "green reminder"
shot "$(reminder_at_rest)" "$out/reminder-green.png"
click_in "$(reminder_at_rest)" 170 60 # the text hides it
wait_for 5 "green reminder to go" reminder_gone

# ---------------------------------------------------------------- the end
echo "== &Zakończ from the menu"
open_menu
sleep 0.3 # painted, for the picture
import -window root -crop 260x220+0+0 +repage "$out/menu.png"
xdotool key z
ended 10 "the program after Zakończ" "$remindo"
[ "$ended_status" -eq 0 ] || fail "the program ended with status $ended_status"

# ------------------------------------------ every window of the tray menu
echo "== every window of the menu; a setting changed survives a restart"
# Examination every 30 minutes: no reminder comes between the windows.
"$write_settings" 60 15 30 || fail "settings file"
# menu_item KEY: the tray menu, then the item's accelerator.
menu_item() {
  open_menu
  xdotool key "$1"
}
# await_window WHAT SIZE FILE: a window of that size on the screen, shot;
# its id in $window.
# A window manager framing a new window may hide it for a moment: a window
# seen once is looked for again for a while before it counts as gone.
await_window() {
  wait_for 10 "$1" window_of_size '^Remindo' "$2"
  sleep 0.3
  local end=$((SECONDS + 5))
  until window=$(window_of_size '^Remindo' "$2"); do
    [ $SECONDS -lt $end ] || fail "$1 came and went"
    sleep 0.1
  done
  shot "$window" "$out/$3"
}
# open_window KEY SIZE FILE: the same for the menu item's window.
open_window() {
  menu_item "$1"
  await_window "a $2 window from the menu's key $1" "$2" "$3"
}
closed() { ! window_of_size '^Remindo' "$1"; }
# The settings dialog's first value, as a picture.
first_value() { convert "$1" -crop 30x14+194+47 +repage "$2"; }

start_remindo
wait_for 20 "tray icon" tray_icon
open_window d 386x447 list-window.png
click_in "$window" 321 420 # cancel
wait_for 5 "the list window to close" closed 386x447
open_window k 500x500 menu-kalendarz.png
click_in "$window" 448 475 # close
wait_for 5 "the calendar to close" closed 500x500
open_window o 386x243 menu-about.png
click_in "$window" 332 212 # the tick
wait_for 5 "the about window to close" closed 386x243

open_window u 386x243 menu-ustawienia.png
read -r x y _ _ < <(geometry "$window")
xdotool mousemove $((x + 248)) $((y + 54)) mousedown 1 # the first value's more arrow, held
sleep 1
xdotool mouseup 1
sleep 0.3
shot "$window" "$work/changed.png"
first_value "$out/menu-ustawienia.png" "$work/value-before.png"
first_value "$work/changed.png" "$work/value-changed.png"
! compare -metric AE "$work/value-before.png" "$work/value-changed.png" null: 2>/dev/null ||
  fail "holding the arrow did not change the value"
click_in "$window" 332 212 # save
wait_for 5 "the settings dialog to close" closed 386x243
read -r pokaz_co _ < <("$write_settings" --read) || fail "reading the settings file"
[ "$pokaz_co" -gt 60 ] || fail "the settings file holds PokazCo $pokaz_co after the save"
echo "PokazCo $pokaz_co saved"

menu_item z
ended 10 "the program after Zakończ" "$remindo"
start_remindo
wait_for 20 "tray icon after the restart" tray_icon
open_window u 386x243 ustawienia-after-restart.png
first_value "$out/ustawienia-after-restart.png" "$work/value-after.png"
compare -metric AE "$work/value-changed.png" "$work/value-after.png" null: 2>/dev/null ||
  fail "the settings dialog shows another value after the restart"
click_in "$window" 295 212 # cancel
wait_for 5 "the settings dialog to close" closed 386x243
menu_item z
wait_for 10 "the program to end" sh -c "! kill -0 $remindo"

# ------------------------------------- typing elsewhere while a reminder comes
echo "== typing in another program while a reminder slides in"
# import_due TEXT...: one-off reminders due today, shown once a day.
import_due() {
  local n=0 text
  {
    printf '<Dane>\r\n\t<Code>fa</Code>\r\n\t<Ilosc>%d</Ilosc>\r\n' $#
    for text in "$@"; do
      n=$((n + 1))
      printf '\t<Nr%d>\r\n\t\t<Tresc>%s</Tresc>\r\n\t\t<Data>%s</Data>\r\n\t\t<CoIle>0</CoIle>\r\n' \
        "$n" "$text" "$today"
      printf '\t\t<IlePrzed>0</IlePrzed>\r\n\t\t<CzyPo>0</CzyPo>\r\n\t\t<Blok>0</Blok>\r\n'
      printf '\t\t<BlokDzis>0</BlokDzis>\r\n\t\t<BlokDzisData>%s</BlokDzisData>\r\n\t\t<Ile>1</Ile>\r\n\t</Nr%d>\r\n' \
        "$today" "$n"
    done
    printf '</Dane>\r\n'
  } | iconv -f UTF-8 -t CP1250 >"$work/due.dat"
  within 30 "remindo-data import" "$tool" import "$work/due.dat" >/dev/null || fail "remindo-data import"
}
import_due "Spotkanie o 12:00 w sali konferencyjnej+"
"$write_settings" 1 60 1 || fail "settings file"
"$typist" "$work/typed.txt" >"$work/typist.log" 2>&1 &
pids+=($!)
wait_for 10 "the typing window" xdotool search --onlyvisible --name '^Pisanie$'
pisanie=$(xdotool search --onlyvisible --name '^Pisanie$' | head -n1)
# A screen reader's session from here on: the accessibility bus, switched
# on, which Qt's bridge joins. Its schemas are the system's.
XDG_DATA_DIRS=/usr/local/share:/usr/share "$atspi_bus" --launch-immediately --a11y=1 >"$work/atspi.log" 2>&1 &
pids+=($!)
export REMINDO_TEST_TIMERS=3000,60000
start_remindo
unset REMINDO_TEST_TIMERS
wait_for 20 "tray icon" tray_icon
within 10 "activating the typing window" xdotool windowactivate --sync "$pisanie" ||
  fail "the typing window cannot be activated"
reminder_gone || fail "the reminder came before the typing began"
typed="The quick brown fox jumps over the lazy dog while a reminder slides in 0123456789 abcdefghijklmnopqr"
[ ${#typed} -eq 100 ] || fail "the typed text is not 100 characters"
within 30 "typing" xdotool type --delay 80 "$typed" # 8 s; the first examination comes after 3.5 s
wait_for 5 "the reminder during the typing" reminder_at_rest
got=$(cat "$work/typed.txt" 2>/dev/null || true)
[ "$got" = "$typed" ] || fail "keystrokes lost to the reminder: typed ${#typed}, the program got ${#got}"
[ "$(xdotool getactivewindow)" = "$pisanie" ] || fail "the reminder took the keyboard"
echo "100 of 100 keystrokes reached the program typed in"
reminder=$(reminder_at_rest)
shot "$reminder" "$out/reminder-beside-typing.png"
sleep 0.5
click_in "$reminder" 117 30 # between two buttons: the window takes the keyboard
wait_for 5 "the reminder to be the active window" sh -c "[ \"\$(xdotool getactivewindow)\" = $reminder ]"
click_in "$reminder" 170 60 # the text hides it
wait_for 5 "the reminder to go" reminder_gone

# ------------------------------------------- one click ends, dialogs open
echo "== &Zakończ with the editor and the recurrence dialog open"
open_window d 386x447 list-before-quit.png
click_in "$window" 27 59 # "+"
wait_for 10 "the editor" window_of_size '^Remindo' 374x395
editor=$(window_of_size '^Remindo' 374x395)
click_in "$editor" 348 182 # the kind's arrow
sleep 0.5
xdotool key Down Down Down Down Down Return # "co X dni": the recurrence dialog
wait_for 10 "the recurrence dialog" window_of_size '^Remindo' 336x137
menu_item z
wait_for 10 "the program to end at one click" sh -c "! kill -0 $remindo"

# ------------------------------------------ Escape on the open kind list
echo "== Escape on the editor's open kind list folds the list; the editor keeps its text"
"$write_settings" 60 15 30 || fail "settings file" # no examination within the block
# popup_shown: a drop-down list of the program on the screen, Qt's popup,
# which no window manager frames.
popup_shown() {
  local id info
  for id in $(xwininfo -root -children | awk '/\("remindo"/{print $1}'); do
    info=$(xwininfo -id "$id")
    grep -q 'Map State: IsViewable' <<<"$info" && grep -q 'Override Redirect State: yes' <<<"$info" && return 0
  done
  return 1
}
popup_gone() { ! popup_shown; }
start_remindo
wait_for 20 "tray icon" tray_icon
open_window d 386x447 escape-list.png
click_in "$window" 27 59 # "+"
wait_for 10 "the editor" window_of_size '^Remindo' 374x395
editor=$(window_of_size '^Remindo' 374x395)
escaped="Nie zgubić tej treści"
within 20 "typing" xdotool type --delay 40 "$escaped"
click_in "$editor" 348 182 # the kind's arrow
wait_for 5 "the kind list" popup_shown
xdotool key Escape
wait_for 5 "the kind list to fold" popup_gone
sleep 0.5 # an editor that the key closed is gone by now
window_of_size '^Remindo' 374x395 >/dev/null || fail "Escape on the open kind list closed the editor"
shot "$editor" "$out/escape-editor-kept.png"
click_in "$editor" 344 368 # the tick: what the editor holds is stored
wait_for 5 "the editor to close" closed 374x395
click_in "$window" 357 420 # the list window's save
wait_for 5 "the list window to close" closed 386x447
kept_text() {
  "$tool" export --plain "$work/escape.dat" &&
    iconv -f CP1250 -t UTF-8 "$work/escape.dat" | grep -qF "<Tresc>$escaped+</Tresc>"
}
wait_for 10 "the typed text in the data file" kept_text
echo "Escape folded the kind list; the editor kept its text"
menu_item z
wait_for 10 "the program to end" sh -c "! kill -0 $remindo"

# ------------------------------------------------ keys only, a screen reader
echo "== keys only: a reminder added, saved and answered; AT-SPI names every button"
plain_file "$work/none.dat" </dev/null
within 30 "remindo-data import" "$tool" import "$work/none.dat" >/dev/null || fail "remindo-data import"
"$write_settings" 1 60 30 || fail "settings file"
export REMINDO_TEST_TIMERS=3000,60000
start_remindo
unset REMINDO_TEST_TIMERS
wait_for 20 "tray icon" tray_icon
# spoken TITLE ROLE FILE: what AT-SPI finds in that window, checked, kept in OUT.
spoken() {
  within 60 "AT-SPI's reading of $1" /usr/bin/python3 "$walker" "$1" "$2" >"$out/$3" 2>&1 ||
    fail "AT-SPI: $(grep -m3 -e FAULT -e 'no ' "$out/$3" | tr '\n' ' ')"
  echo "AT-SPI $1 ($2): $(grep -c 'push button' "$out/$3") buttons named, with a press action"
}
open_window d 386x447 keys-list.png # the tray menu: its notification area has no key
spoken "Remindo - dane" frame spoken-list.txt
xdotool key shift+Tab shift+Tab shift+Tab space # from the list up to "+"
wait_for 10 "the editor from the keyboard" window_of_size '^Remindo' 374x395
editor=$(window_of_size '^Remindo' 374x395)
spoken Remindo frame spoken-editor.txt
grep -q "check box: 'Zablokuj zdarzenie' \[ \]" "$out/spoken-editor.txt" || fail "AT-SPI: no tick box with its state"
grep -q "spin button: 'Razy dziennie' = 1" "$out/spoken-editor.txt" || fail "AT-SPI: no stepper with its value"
keyed="Odebrać garnitur z pralni"
within 20 "typing" xdotool type --delay 40 "$keyed"
xdotool key shift+Tab # from the text back round to the tick
sleep 0.2
shot "$editor" "$out/keys-editor.png"
xdotool key Return
wait_for 5 "the editor to close" closed 374x395
xdotool key shift+Tab Return # from "+" back round to the list window's tick: saved
wait_for 5 "the list window to close" closed 386x447
wait_reminder "the reminder typed in"
reminder=$(reminder_at_rest)
[ "$(xdotool getactivewindow)" != "$reminder" ] || fail "the reminder took the keyboard"
spoken Remindo alert spoken-reminder.txt
grep -q "label: '$(date +%-d.%m.%Y) - .*\\n$keyed'" "$out/spoken-reminder.txt" ||
  fail "AT-SPI: the reminder's date and text are not there: $(grep label "$out/spoken-reminder.txt")"
for t in 1 2 3; do # Alt+Tab, as often as the window manager needs
  [ "$(xdotool getactivewindow)" = "$reminder" ] && break
  xdotool key alt+Tab
  sleep 0.3
done
[ "$(xdotool getactivewindow)" = "$reminder" ] || fail "Alt+Tab does not reach the reminder"
shot "$reminder" "$out/keys-reminder.png"
xdotool key Tab space # from "Przypomnij później" to "Przypomnij jutro"
wait_for 5 "the reminder to go" reminder_gone
answered() {
  "$tool" export --plain "$work/keys.dat" &&
    iconv -f CP1250 -t UTF-8 "$work/keys.dat" |
    awk -v t="<Tresc>$keyed+</Tresc>" 'index($0, t){on=1} on && /<BlokDzis>1</{found=1} /<\/Nr/{on=0} END{exit !found}'
}
wait_for 10 "the keyed reminder, blocked for today, in the data file" answered
echo "the reminder typed with keys only is in the data file, answered"
menu_item z
wait_for 10 "the program to end" sh -c "! kill -0 $remindo"

# ------------------------------------------------------------ two writers
echo "== two writers: another program replaces the data file while Remindo runs"
# A reminder comes as soon as it is due (PokazCo 1 minute), examined every 3 s.
"$write_settings" 1 60 30 || fail "settings file"
plain_file "$work/one.dat" <<'LIST'
Odnowić prenumeratę+|30|0
LIST
within 30 "remindo-data import" "$tool" import "$work/one.dat" >/dev/null || fail "remindo-data import"
export REMINDO_TEST_TIMERS=3000,60000
start_remindo
unset REMINDO_TEST_TIMERS
wait_for 20 "tray icon" tray_icon
wait_for 20 "the bus name" bus_owned
sleep 1

# A sync tool's way, nothing pending: a new file renamed over the old one.
plain_file "$work/sync-plain.dat" <<'LIST'
Odebrać paczkę z paczkomatu+|0|0
LIST
within 30 "remindo-data import" "$tool" --file "$work/sync.dat" import "$work/sync-plain.dat" >/dev/null ||
  fail "sync file"
mv "$work/sync.dat" "$data"
wait_reminder "the synced reminder, without a restart"
shot "$(reminder_at_rest)" "$out/two-writers-sync.png"
click_in "$(reminder_at_rest)" 170 60 # the text hides it
wait_for 5 "the synced reminder to go" reminder_gone

# remindo-data import while the program runs.
plain_file "$work/import2.dat" <<'LIST'
Zapłacić rachunek za prąd+|0|0
Wymienić filtr wody+|10|0
LIST
said=$(within 30 "remindo-data import while running" "$tool" import "$work/import2.dat") ||
  fail "remindo-data import while running"
echo "remindo-data: $said"
[[ $said == *"shows the new list"* ]] || fail "remindo-data did not tell of the running copy: $said"
# Another data file, though on the same disk, is none of the running copy's business.
said=$(within 30 "remindo-data import into another file" "$tool" --file "$work/elsewhere.dat" import "$work/import2.dat") ||
  fail "remindo-data import into another file"
[[ $said != *"running Remindo"* ]] || fail "the running copy answered for another data file: $said"
# The imported reminder comes at the next examination, so the program holds
# the new list; the list window, which no reminder on the screen lets open,
# then saves it with the answer.
wait_reminder "the imported reminder"
click_in "$(reminder_at_rest)" 174 18 # Przypomnij jutro
wait_for 5 "the imported reminder to go" reminder_gone
open_window d 386x447 two-writers-import-list.png
click_in "$window" 357 420 # save
wait_for 5 "the list window to close" closed 386x447
answer_saved() {
  "$tool" export --plain "$work/after-import.dat" &&
    awk '/<Nr1>/{on=1} /<\/Nr1>/{on=0} on && /<BlokDzis>1<\/BlokDzis>/{found=1} END{exit !found}' "$work/after-import.dat"
}
wait_for 10 "the answer in the reminder window in the file" answer_saved
after=$(iconv -f CP1250 -t UTF-8 "$work/after-import.dat")
[[ $after == *"Zapłacić rachunek za prąd"* && $after == *"Wymienić filtr wody"* ]] ||
  fail "the imported reminders are not in the file after the saves"

# A file replaced while the list window holds an unsaved deletion.
open_window d 386x447 two-writers-pending.png
click_in "$window" 120 61 # the second row
click_in "$window" 27 139 # delete
wait_for 10 "the deletion question" window_of_size '^Remindo$' 350x150
xdotool key t
wait_for 5 "the question to go" closed 350x150
plain_file "$work/other-plain.dat" <<'LIST'
Wersja z drugiego komputera+|5|0
LIST
within 30 "remindo-data import" "$tool" --file "$work/other.dat" import "$work/other-plain.dat" >/dev/null ||
  fail "other file"
mv "$work/other.dat" "$data"
sleep 1 # the program notices and, with an edit pending, reads nothing
click_in "$window" 357 420 # save
wait_for 10 "the box naming the kept version" window_of_size '^Remindo$' 350x150
box=$(window_of_size '^Remindo$' 350x150)
shot "$box" "$out/two-writers-kept-version.png"
within 10 "activating the box" xdotool windowactivate --sync "$box" key z 2>/dev/null || click_in "$box" 234 129
wait_for 5 "the list window to close" closed 386x447
kept=$(ls "$folder"/Dane.dat.inna-wersja-* 2>/dev/null | head -n1)
[ -n "$kept" ] || fail "no dated copy of the other version"
[ "$(stat -c %a "$kept")" = "$(stat -c %a "$data")" ] || fail "the dated copy has other permissions"
"$tool" --file "$kept" export --plain "$work/kept.dat" || fail "export of the kept version"
iconv -f CP1250 -t UTF-8 "$work/kept.dat" | grep -q "Wersja z drugiego komputera" || fail "the kept copy is not the other version"
"$tool" export --plain "$work/ours.dat" || fail "export"
ours=$(iconv -f CP1250 -t UTF-8 "$work/ours.dat")
[[ $ours == *"Zapłacić rachunek za prąd"* && $ours != *"Wymienić filtr wody"* ]] ||
  fail "the data file does not hold the saved edits"
echo "kept $(basename "$kept")"
menu_item z
wait_for 10 "the program to end" sh -c "! kill -0 $remindo"

# ------------------------------------------- signals that ask it to end
# A deletion waits in the list window; then real signals, one road each:
#   NAME SIGNAL STEPS... RESULT
# A step is "ask" (the list window's question comes), a key that answers
# it, "runs" (the program goes on), or another signal sent then. RESULT:
# the deletion "saved" in the data file or "dropped"; the program ends by
# the last signal sent. On the way: every thread has the signals blocked,
# the help page's opener starts with them unblocked, and a second start
# after the lock file was deleted is refused.
signal_roads() {
  echo "== signals: a deletion pending, then SIGTERM, SIGHUP or SIGINT"
  "$write_settings" 60 15 30 || fail "settings file"
  local fakebin=$work/fakebin first=1 name sig steps result step last status t mask
  mkdir -p "$fakebin"
  # What the help page's opener starts with, as it starts: no shell, which
  # would set the mask its own way.
  printf '#!/usr/bin/python3\nimport os\nopen("%s.tmp", "w").write(open("/proc/self/status").read())\nos.rename("%s.tmp", "%s")\n' \
    "$work/opener" "$work/opener" "$work/opener" >"$fakebin/xdg-open"
  chmod +x "$fakebin/xdg-open"
  while read -r name sig steps; do
    result=${steps##* }
    steps=${steps% *}
    echo "-- $name: SIG$sig, $steps, $result"
    plain_file "$work/two.dat" <<'LIST'
Zostaje na liście+|30|0
Usunięte przed sygnałem+|40|0
LIST
    within 30 "remindo-data import" "$tool" import "$work/two.dat" >/dev/null || fail "remindo-data import"
    # Started as from a terminal: a script's background job would have
    # SIGINT ignored, which the program keeps so.
    PATH=$fakebin:$PATH env --default-signal=INT "$program" >>"$work/remindo.log" 2>&1 &
    remindo=$!
    pids+=($remindo)
    wait_for 20 "tray icon" tray_icon
    open_window d 386x447 "signal-$name-list.png"
    if [ $first -eq 1 ]; then
      first=0
      for t in /proc/"$remindo"/task/*/status; do
        mask=$((16#$(awk '/^SigBlk:/{print $2}' "$t")))
        [ $((mask & 0x4003)) -eq $((0x4003)) ] || fail "a thread of the program has SIGHUP, SIGINT or SIGTERM unblocked: $t"
      done
      xdotool key F1
      wait_for 10 "the help page's opener" test -s "$work/opener"
      mask=$((16#$(awk '/^SigBlk:/{print $2}' "$work/opener")))
      [ $((mask & 0x4003)) -eq 0 ] || fail "the help page's opener started with the signals blocked"
      echo "$(ls /proc/"$remindo"/task | wc -l) threads with the signals blocked; the opener without"
    fi
    click_in "$window" 120 61 # the second row
    click_in "$window" 27 139 # delete
    wait_for 10 "the deletion question" window_of_size '^Remindo$' 350x150
    xdotool key t
    wait_for 5 "the deletion question to go" closed 350x150
    kill -s "$sig" "$remindo"
    last=$sig
    for step in $steps; do
      case $step in
        -) ;;
        ask)
          wait_for 10 "the list window's question after SIG$last" window_of_size '^Remindo$' 350x150
          shot "$(window_of_size '^Remindo$' 350x150)" "$out/signal-$name-question.png" ;;
        runs)
          wait_for 5 "the question to go" closed 350x150
          sleep 0.5
          kill -0 "$remindo" 2>/dev/null || fail "$name: the program ended after Anuluj" ;;
        [tna]) xdotool key "$step" ;;
        *) kill -s "$step" "$remindo"; last=$step ;;
      esac
    done
    ended 10 "the program after SIG$last ($name)" "$remindo"
    status=$ended_status
    [ "$status" -eq $((128 + $(kill -l "$last"))) ] || fail "$name: the program ended with $status, not by SIG$last"
    "$tool" export --plain "$work/signal.dat" || fail "export"
    iconv -f CP1250 -t UTF-8 "$work/signal.dat" >"$work/signal.txt"
    grep -q "Zostaje na liście" "$work/signal.txt" || fail "$name: the other reminder is gone"
    if [ "$result" = saved ]; then
      ! grep -q "Usunięte przed sygnałem" "$work/signal.txt" || fail "$name: the deletion was lost"
    else
      grep -q "Usunięte przed sygnałem" "$work/signal.txt" || fail "$name: the deletion was saved after Nie"
    fi
  done <<'ROADS'
term TERM - saved
hup HUP - saved
int-tak INT ask t saved
int-nie INT ask n dropped
int-twice INT ask a runs INT ask INT saved
ROADS

  echo "== the lock file deleted while the program runs: a second start is refused"
  start_remindo
  wait_for 20 "tray icon" tray_icon
  rm "$folder/Remindo.lock"
  "$program" >"$work/second.log" 2>&1 &
  second=$!
  pids+=($second)
  wait_for 20 "second-start box" xdotool search --onlyvisible --name '^Uwaga$'
  within 10 "activating the second-start box" \
    xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^Uwaga$' | head -n1)" key Return 2>/dev/null || true
  ended 10 "the second copy, its box answered" "$second"
  [ "$ended_status" -ne 0 ] || fail "the second copy reported success"
  [ ! -e "$folder/Remindo.lock" ] || fail "the refused copy made a lock file"
  kill -0 "$remindo" || fail "the first copy ended"
  kill -TERM "$remindo"
  wait_for 10 "the program to end" sh -c "! kill -0 $remindo"
}
signal_roads

# ------------------------------------------------- no notification area
echo "== without a notification area: the running copy reached over the bus"
kill "$docker_pid"
ended 10 "the notification area, stopped" "$docker_pid"
start_remindo
wait_for 20 "the bus name" bus_owned
sleep 1 # the start timer's load
within 30 "a second start without a notification area" "$program" >"$work/second.log" 2>&1 ||
  fail "a second start without a tray ended with $?"
await_window "the list window from a second start" 386x447 notray-second-start.png
click_in "$window" 321 420 # cancel
wait_for 5 "the list window to close" closed 386x447
within 30 "remindo --calendar" "$program" --calendar || fail "remindo --calendar ended with $?"
await_window "the calendar from --calendar" 500x500 notray-calendar.png
click_in "$window" 448 475
wait_for 5 "the calendar to close" closed 500x500
within 30 "ActivateAction" gdbus call --session --timeout 20 --dest pl.vendly.Remindo \
  --object-path /pl/vendly/Remindo \
  --method org.freedesktop.Application.ActivateAction ustawienia '[]' '{}' >/dev/null || fail "ActivateAction"
await_window "the settings from ActivateAction" 386x243 notray-ustawienia.png
click_in "$window" 295 212 # cancel
wait_for 5 "the settings dialog to close" closed 386x243
within 30 "remindo --quit" "$program" --quit || fail "remindo --quit ended with $?"
ended 5 "the program after remindo --quit" "$remindo"
[ "$ended_status" -eq 0 ] || fail "the program ended with status $ended_status"

# ------------------- no notification area: the blue panel, then remindo --list
echo "== without a notification area: the blue panel comes, then remindo --list opens the list"
# A notification area is waited for 2 s instead of a minute; the panel and a
# reminder go by themselves after HIDE ms; no examination comes meanwhile.
start_notray() { # start_notray HIDE
  export REMINDO_TEST_TIMERS=600000,$1 REMINDO_TEST_TRAY_WAIT=2000
  start_remindo
  unset REMINDO_TEST_TIMERS REMINDO_TEST_TRAY_WAIT
  wait_for 20 "the bus name" bus_owned
  wait_for 20 "the blue panel without a notification area" reminder_at_rest
}
# The panel stands long enough for the roads through it on a busy machine.
start_notray 30000
sleep 0.3 # painted, for the picture
shot "$(reminder_at_rest)" "$out/notray-panel.png"
status=0
within 20 "remindo --list" "$program" --list 2>"$work/list.err" || status=$?
[ $status -eq 0 ] || fail "remindo --list with the blue panel up ended with $status: $(cat "$work/list.err")"
[ ! -s "$work/list.err" ] || fail "remindo --list said: $(cat "$work/list.err")"
await_window "the list window, asked for while the blue panel stood" 386x447 notray-list-through-panel.png
list=$window
wait_for 5 "the blue panel to make way" reminder_gone
# The list window stands in the way of the settings: it comes forward, and
# the command names it.
status=0
within 20 "remindo --settings" "$program" --settings 2>"$work/settings.err" || status=$?
[ $status -eq 0 ] || fail "remindo --settings with the list open ended with $status"
grep -q "okno listy zdarzeń" "$work/settings.err" ||
  fail "remindo --settings did not name the list window: $(cat "$work/settings.err")"
echo "remindo --settings said: $(cat "$work/settings.err")"
sleep 1 # what would have opened has had its time
closed 386x243 || fail "the settings opened over the list window"
window_of_size '^Remindo' 386x447 >/dev/null || fail "the list window went"
click_in "$list" 321 420 # cancel
wait_for 5 "the list window to close" closed 386x447
# With nothing in the way the settings open, named by their title (the about
# window has their size).
within 20 "remindo --settings" "$program" --settings || fail "remindo --settings ended with $?"
wait_for 10 "the settings from remindo --settings" window_of_size '^Remindo - ustawienia$' 386x243
within 20 "remindo --quit" "$program" --quit || fail "remindo --quit ended with $?"
wait_for 10 "the program to end after remindo --quit" sh -c "! kill -0 $remindo"
# Left alone, the panel goes by itself.
start_notray 6000
wait_for 15 "the blue panel to go by itself" reminder_gone
within 20 "remindo --quit" "$program" --quit || fail "remindo --quit ended with $?"
wait_for 10 "the program to end after remindo --quit" sh -c "! kill -0 $remindo"
# A first start with an option opens its window once the list is read.
"$program" --settings >>"$work/remindo.log" 2>&1 &
remindo=$!
pids+=($remindo)
wait_for 20 "the settings from a first start with --settings" window_of_size '^Remindo - ustawienia$' 386x243
within 20 "remindo --quit" "$program" --quit || fail "remindo --quit ended with $?"
wait_for 10 "the program to end after remindo --quit" sh -c "! kill -0 $remindo"
echo "PASS"
