#!/usr/bin/env bash
# The Debian package as a packager and a user meet it: built, checked by
# lintian, appstreamcli and desktop-file-validate, installed with apt,
# started (--version, then briefly on a test desktop), its manual page read,
# purged without a trace; then the suite once more with the package
# installed, in the package's own (hardened) build.
#   .ci/package.sh [--leave-installed]
# With --leave-installed the suite is left out and the package stays
# installed, for .ci/run to run the README's suite with it (once, not twice)
# and to purge it at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
here=$(pwd)
leave=0
[ "${1:-}" != --leave-installed ] || leave=1

# The suite runs once, below or in .ci/run, with the package installed.
DEB_BUILD_OPTIONS=nocheck bash tools/setup.sh package
out=build/package
deb=$(ls "$out"/remindo_*.deb)

echo "== lintian"
lintian --pedantic --display-info --fail-on error,warning,pedantic "$out"/*.deb

echo "== what software centres and menus read"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$deb" "$stage"
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml
for entry in "$stage"/usr/share/applications/*.desktop "$stage"/etc/xdg/autostart/*.desktop; do
  desktop-file-validate "$entry"
  grep '^Exec=' "$entry" | grep -qv '^Exec=remindo\b' && { echo "$entry: not started by name"; exit 1; }
done

install_package() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$here/$deb" >/dev/null
}
purge_package() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq remindo >/dev/null; }

echo "== installed with apt"
install_package
files=$(dpkg -L remindo)
/usr/bin/remindo --version
/usr/bin/remindo-data --version
man -P cat remindo-data >"$stage/man.txt"
grep -q "EXIT STATUS" "$stage/man.txt"
man -P cat -L pl remindo-data >"$stage/man.txt"
grep -q "KOD WYJŚCIA" "$stage/man.txt"
man -P cat remindo >"$stage/man.txt"
grep -q "remindo-data" "$stage/man.txt"
bash -c 'source /usr/share/bash-completion/bash_completion
         source /usr/share/bash-completion/completions/remindo-data
         complete -p remindo-data' | grep -q _remindo_data

echo "== the installed program on a test desktop"
(
  # shellcheck source=../tools/testdesktop.sh
  source tools/testdesktop.sh
  export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config XDG_STATE_HOME=$work/state XDG_RUNTIME_DIR=$work/run
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  start_test_desktop
  start_session_bus
  remindo >"$work/remindo.log" 2>&1 &
  pids+=($!)
  end=$((SECONDS + 30))
  until xwininfo -children -id "$docker" | grep -q '"Remindo"'; do
    [ $SECONDS -lt $end ] || { cat "$work/remindo.log"; echo "no tray icon from the installed program"; exit 1; }
    sleep 0.2
  done
  echo "the installed program shows its icon in the notification area"
  remindo --quit
)

echo "== purged without a trace"
purge_package
left=0
while read -r f; do
  [ -d "$f" ] || [ ! -e "$f" ] || { echo "left behind: $f"; left=1; }
done <<<"$files"
for d in /usr/share/remindo /usr/lib/*/remindo /usr/share/doc/remindo; do
  [ ! -e "$d" ] || { echo "left behind: $d"; left=1; }
done
[ $left -eq 0 ]

install_package
if [ $leave -eq 1 ]; then
  echo "== left installed for the suite"
  exit 0
fi
echo "== the suite with the package installed"
trap 'rm -rf "$stage"; purge_package' EXIT
cd build/deb
ctest --output-on-failure -j "$(nproc)"
