#!/usr/bin/env bash
# What the build hands to the desktop and to man: the AppStream metadata
# passes appstreamcli, the desktop entries desktop-file-validate, and the
# manual pages render without a warning from groff.
#   documents.sh BUILD_DIR
set -uo pipefail
build=$1
for t in appstreamcli desktop-file-validate man; do
  command -v "$t" >/dev/null || { echo "SKIP: $t is not installed (tools/setup.sh installs it)"; exit 77; }
done
failed=0
fail() { echo "FAIL: $*"; failed=1; }

metainfo=$(find "$build/resources" -maxdepth 1 -name '*.metainfo.xml')
[ -n "$metainfo" ] || fail "no metainfo in $build/resources"
for m in $metainfo; do
  appstreamcli validate --no-net "$m" >"$build/appstream.log" 2>&1 || { cat "$build/appstream.log"; fail "$m"; }
done
while read -r entry; do
  out=$(desktop-file-validate "$entry" 2>&1)
  [ -z "$out" ] || { echo "$out"; fail "$entry"; }
done < <(find "$build/resources" -name '*.desktop')
pages=0
while read -r page; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "$out"; fail "$page"; }
  pages=$((pages + 1))
done < <(find "$build/docs/man" -name '*.1')
[ $pages -eq 4 ] || fail "$pages manual pages, expected 4"
[ $failed -eq 0 ] && echo "metainfo, desktop entries and $pages manual pages are valid"
exit $failed
