#!/usr/bin/env bash
# `remindo-data sync --server` where no Secret Service answers: refused in one
# line that names what is missing, before anything is sent or written.
#   nokeyring.sh REMINDO_DATA
set -u
: "${XDG_DATA_HOME:?}"
err=$(printf 'hasło\n' | "$1" sync --server http://127.0.0.1:9/ --user jan --password-stdin 2>&1 >/dev/null)
status=$?
failed=0
[ $status -eq 1 ] || { echo "FAIL: exit $status, expected 1"; failed=1; }
[ "$(printf '%s\n' "$err" | wc -l)" -eq 1 ] || { echo "FAIL: not one line: $err"; failed=1; }
grep -q "Secret Service" <<<"$err" || { echo "FAIL: does not name the Secret Service: $err"; failed=1; }
[ ! -e "$XDG_DATA_HOME/Vendly/Remindo/Sync.ini" ] || { echo "FAIL: the account was kept"; failed=1; }
[ $failed -eq 0 ] && echo "refused: $err"
exit $failed
