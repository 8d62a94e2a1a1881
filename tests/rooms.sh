#!/usr/bin/env bash
# Includes point one way, down: a room may include only the rooms below it
# (and itself); platform sits beside them and reaches only the lowest three
# and caldav, the CalDAV client, which itself reaches no further than dates
# and store; sync, above ical, is the lowest room that may reach caldav.
# The rooms without Qt must stay without Qt.
set -u
src=${1:?source folder}
rank() {
  case $1 in
    dates) echo 0 ;; store) echo 1 ;; engine) echo 2 ;; calendar) echo 3 ;; ical) echo 4 ;;
    sync) echo 5 ;; app) echo 6 ;; windows) echo 7 ;; shell) echo 8 ;; *) echo -1 ;;
  esac
}
bad=0
while IFS=: read -r file _ line; do
  from=${file#"$src"/}; from=${from%%/*}
  to=$(sed -E 's|.*#include "([a-z]+)/.*|\1|' <<<"$line")
  [ "$from" = "$to" ] && continue
  case $to in resources) continue ;; esac
  if [ "$from" = platform ]; then
    case $to in dates|store|engine|caldav) continue ;; esac
  elif [ "$from" = caldav ]; then
    case $to in dates|store) continue ;; esac
  elif [ "$to" = caldav ] && [ "$(rank "$from")" -ge "$(rank sync)" ]; then
    continue
  elif [ "$to" = platform ]; then
    case $from in windows|shell) continue ;; esac
  elif [ "$(rank "$to")" -ge 0 ] && [ "$(rank "$to")" -lt "$(rank "$from")" ]; then
    continue
  fi
  echo "upward or sideways include: $file: $line"; bad=1
done < <(grep -rn '#include "[a-z]*/' "$src" --include='*.h' --include='*.cpp')
for room in dates engine store caldav ical sync; do
  if grep -rln '#include <Q' "$src/$room"; then
    echo "Qt included in $room, which stays on the standard library"; bad=1
  fi
done
exit $bad
