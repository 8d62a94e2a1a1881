#!/usr/bin/env bash
# The bash completion of remindo-data offers what the tool's own --help lists:
# every command, and after each command exactly the options its usage line
# names; file names where a file is wanted.
#   completion.sh REMINDO_DATA COMPLETION_FILE
set -uo pipefail
tool=$1
bash_completion=/usr/share/bash-completion/bash_completion
[ -r "$bash_completion" ] || { echo "SKIP: bash-completion is not installed"; exit 77; }
# shellcheck source=/dev/null
source "$bash_completion"
# shellcheck source=/dev/null
source "$2"

failed=0
offers() { # offers WORD...: what completing the last word offers, sorted
  COMP_WORDS=(remindo-data "$@")
  COMP_CWORD=$#
  COMP_LINE="remindo-data $*"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _remindo_data remindo-data "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  [ ${#COMPREPLY[@]} -eq 0 ] || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}
expect() { # expect WANTED WORD...
  local wanted=$1 got
  shift
  got=$(offers "$@")
  [ "$got" = "$wanted" ] || { echo "FAIL: remindo-data $* <TAB>: '$got', expected '$wanted'"; failed=1; }
}

usage=$("$tool" --help)
commands=$(sed -n 's/^  \([a-z]\+\) .*/\1/p' <<<"$usage" | sort -u | tr '\n' ' ')
[ -n "$commands" ] || { echo "FAIL: no commands in remindo-data --help"; exit 1; }
expect "$commands" ""
expect "$commands" --file some.dat ""
declare -A options
while read -r command rest; do
  options[$command]+=" $(grep -o -- '--[a-z-]\+' <<<"${rest%%  *}" | tr '\n' ' ')"
done < <(sed -n 's/^  \([a-z]\+ .*\)/\1/p' <<<"$usage")
for command in "${!options[@]}"; do
  wanted=$(tr ' ' '\n' <<<"${options[$command]}" | grep . | sort -u | tr '\n' ' ')
  expect "$wanted" "$command" --
  expect "$wanted" --file some.dat "$command" --
done
global=$(grep -o -- '--[a-z]\+' <<<"$(grep -v '^  ' <<<"$usage")" | grep -v '^--$' | sort -u | tr '\n' ' ')
expect "$global" --

# File names after --file and for export and import.
files=$(mktemp -d)
trap 'rm -rf "$files"' EXIT
touch "$files/Dane.dat"
expect "$files/Dane.dat " --file "$files/D"
expect "$files/Dane.dat " export --plain "$files/D"
expect "$files/Dane.dat " import "$files/D"
expect "" week "$files/D"

[ $failed -eq 0 ] && echo "remindo-data completion: $(wc -w <<<"$commands") commands and their options"
exit $failed
