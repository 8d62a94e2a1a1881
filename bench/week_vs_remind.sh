#!/usr/bin/env bash
# `remindo-data week` against `remind -s+1` on the same week of the same
# reminders, timed in the same run (best of each), with the peak memory of
# remindo-data.
#   bench/week_vs_remind.sh [--plain] BUILD_DIR [COUNT] [DATE]
# With --plain the tool reads the list unscrambled (`export --plain`).
# BUILD_DIR holds tools/remindo-data/remindo-data and remindo-gendata (a
# Release or RelWithDebInfo build). COUNT defaults to 10000, DATE to 2026-12-08.
# Installs remind (and hyperfine, when it can) from Debian when missing.
set -euo pipefail

plain=0
if [ "${1:-}" = --plain ]; then plain=1; shift; fi
build=${1:?usage: bench/week_vs_remind.sh [--plain] BUILD_DIR [COUNT] [DATE]}
count=${2:-10000}
day=${3:-2026-12-08}
tool=$build/tools/remindo-data/remindo-data
gen=$build/tools/remindo-data/remindo-gendata
[ -x "$tool" ] && [ -x "$gen" ] || { echo "no remindo-data or remindo-gendata in $build" >&2; exit 2; }

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
if ! command -v remind >/dev/null; then
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends remind
fi
if ! command -v hyperfine >/dev/null; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends hyperfine || true
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
data=$work/Dane.dat
rem=$work/reminders.rem
"$gen" "$count" "$data"
form=scrambled
if [ "$plain" = 1 ]; then
  "$tool" --file "$data" export --plain "$work/plain.dat"
  mv "$work/plain.dat" "$data"
  form=plain
fi

# The same reminders in remind's language, from the tool's own listing:
# nr coile data ileprzed czypo blok next prev today tresc.
LC_ALL=C.UTF-8 "$tool" --file "$data" list --today "$day" | awk -F'\t' '
  function wday(iso,  p) { split(iso, p, "-"); return strftime("%a", mktime(p[1] " " p[2] " " p[3] " 12 00 00")) }
  function dmy(iso,  p, m) {
    split(iso, p, "-"); split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", m, " ")
    return (p[3] + 0) " " m[p[2] + 0] " " p[1]
  }
  BEGIN { split("Sun Mon Tue Wed Thu Fri Sat", names, " ") }
  NR == 1 { next }
  {
    c = $2 + 0; d = $3; msg = " MSG " $10
    if (c == 0)        print "REM " dmy(d) msg                          # a date
    else if (c == -1)  print "REM " dmy(d) " *1" msg                    # every day
    else if (c == -2)  print "REM " wday(d) " FROM " d msg              # a weekday
    else if (c == -3)  { split(d, p, "-"); print "REM " (p[3] + 0) " FROM " d msg }          # day of the month
    else if (c == -4)  { split(dmy(d), p, " "); print "REM " p[1] " " p[2] " FROM " d msg }  # day and month
    else if (c >= 2)   print "REM " dmy(d) " *" c msg                   # a date with *X
    else {
      k = int(-c / 10); w = -c % 10
      if (k >= 1 && k <= 4) print "REM " names[w] " " (7 * (k - 1) + 1) " FROM " d msg  # nth: a day range
      else if (k == 5)      print "REM " names[w] " FROM " d msg                         # every given weekday
      else if (k == 6)      print "REM Last " names[w] " FROM " d msg                    # the last one
    }
  }' > "$rem"

remdate=$(awk -v d="$day" 'BEGIN { split(d, p, "-"); split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", m, " "); print (p[3] + 0) " " m[p[2] + 0] " " p[1] }')
echo "== $count reminders, week of $day ($(stat -c %s "$data") bytes $form, $(wc -l < "$rem") remind lines)"
ours=("$tool" --file "$data" week "$day")
theirs=(remind -s+1 "$rem" $remdate)
"${ours[@]}" > /dev/null
"${theirs[@]}" > /dev/null

if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 3 --runs 30 --export-json "$work/times.json" \
    -n remindo-data "${ours[*]}" -n remind "${theirs[*]}" >&2
  # best of each
  read -r best_ours best_theirs < <(awk '
    /"command":/ { n++ }
    /"min":/ { gsub(/[",]/, "", $2); v[n] = $2 }
    END { print v[1], v[2] }' "$work/times.json")
else
  best() { # best wall time of 30 runs, in seconds
    local b=999 t s e
    for _ in $(seq 30); do
      s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N)
      t=$(awk -v s="$s" -v e="$e" 'BEGIN { print e - s }')
      b=$(awk -v a="$b" -v t="$t" 'BEGIN { print (t < a) ? t : a }')
    done
    echo "$b"
  }
  best_ours=$(best "${ours[@]}")
  best_theirs=$(best "${theirs[@]}")
fi
rss=$( { /usr/bin/time -f '%M' "${ours[@]}" > /dev/null; } 2>&1 | tail -1 )
awk -v o="$best_ours" -v t="$best_theirs" -v r="$rss" 'BEGIN {
  printf "remindo-data week: %.1f ms (best)\nremind -s+1:       %.1f ms (best)\nratio:             %.1fx\npeak RSS:          %.1f MiB\n",
    o * 1000, t * 1000, t / o, r / 1024 }'
