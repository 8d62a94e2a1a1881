#!/usr/bin/env bash
# What `remindo-data sync` costs against a Radicale on this computer: a first
# sync of 1 000 reminders, a sync with nothing changed, one edit here and one
# on the phone; the wall time and the requests of each.
#   bench/sync_figures.sh BUILD_DIR     (e.g. build/test)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
tool=$build/tools/remindo-data/remindo-data
if [ -z "${REMINDO_SYNC_WORK:-}" ]; then
  xdg=$(mktemp -d "${TMPDIR:-/tmp}/remindo-figures.XXXXXX")
  trap 'rm -rf "$xdg"' EXIT
  mkdir -m 700 "$xdg/run"
  XDG_DATA_HOME=$xdg/data XDG_CONFIG_HOME=$xdg/config XDG_STATE_HOME=$xdg/state XDG_RUNTIME_DIR=$xdg/run \
    QT_QPA_PLATFORM=offscreen bash "$here/tests/caldav/session.sh" keyring bash "${BASH_SOURCE[0]}" "$build"
  exit $?
fi
harness=$here/tests/caldav
url=$(/usr/bin/python3 "$harness/radicale_server.py" start "$REMINDO_SYNC_WORK/radicale" jan figures)
data=$XDG_DATA_HOME/Vendly/Remindo
mkdir -p "$data"
"$build/tools/remindo-data/remindo-gendata" 1000 "$data/Dane.dat" 7
timed() { # timed WHAT COMMAND...: the command's summary line and its wall time
  local start end line
  start=$(date +%s.%N)
  line=$("${@:2}" | head -1)
  end=$(date +%s.%N)
  printf '%-28s %6.2f s   %s\n' "$1" "$(/usr/bin/python3 -c "print($end - $start)")" "$line"
}
timed "first sync of 1 000" sh -c "echo figures | '$tool' sync --server '$url' --user jan --password-stdin"
timed "nothing changed" "$tool" sync
"$tool" export --plain "$REMINDO_SYNC_WORK/plain.dat"
sed 's/<Tresc>Przypomnienie 1+/<Tresc>Przypomnienie pierwsze+/' "$REMINDO_SYNC_WORK/plain.dat" >"$data/Dane.dat"
timed "one edit here" "$tool" sync
calendar=$(/usr/bin/python3 -c "import sys; print(bytes.fromhex(sys.argv[1]).decode())" \
           "$(sed -n 's/^calendar //p' "$data/Sync.dat")")
uid=$(/usr/bin/python3 "$harness/phone.py" "$calendar" jan figures list | awk -F'\t' '$2 == "Przypomnienie 2 / druga linia" {print $1}')
/usr/bin/python3 "$harness/phone.py" "$calendar" jan figures edit "$uid" "Przypomnienie drugie"
timed "one edit on the phone" "$tool" sync
timed "nothing changed" "$tool" sync
