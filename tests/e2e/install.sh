#!/usr/bin/env bash
# `cmake --install` into a staging folder: the program, its sound module, its
# companion tool and the tool's Qt and iCalendar modules, the help, the
# icon at every size, the menu and autostart entries, the manual pages, the
# completion and the AppStream metadata; nothing outside the prefix it is
# given, and entries that start the program by name.
#   install.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
missing=0
autostart=$(sed -n 's/^REMINDO_AUTOSTART_DESTINATION:[A-Z]*=//p' "$build/CMakeCache.txt")

# --prefix alone keeps everything inside it, unless the build was told an
# absolute folder for the autostart entry (Debian's /etc): then only DESTDIR
# may be tried here.
prefix=$stage/prefix
case $autostart in
  /*)
    prefix=/opt/remindo
    DESTDIR=$stage/root cmake --install "$build" --prefix "$prefix" >/dev/null
    root=$stage/root
    ;;
  *)
    cmake --install "$build" --prefix "$prefix" >/dev/null
    outside=$(grep -v "^$prefix/" "$build/install_manifest.txt" || true)
    [ -z "$outside" ] || { echo "installed outside the prefix: $outside"; missing=1; }
    autostart=$prefix/$autostart
    root=
    ;;
esac

# Entries and icon carry the application id.
id=pl.vendly.Remindo
for f in bin/remindo bin/remindo-data share/remindo/Pomoc/index.htm share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png \
         share/man/man1/remindo.1 share/man/man1/remindo-data.1 share/man/pl/man1/remindo.1 \
         share/man/pl/man1/remindo-data.1 share/bash-completion/completions/remindo-data \
         share/metainfo/$id.metainfo.xml; do
  [ -s "$root$prefix/$f" ] || { echo "missing: $prefix/$f"; missing=1; }
done
# The sound module where the installed program looks for it.
[ -n "$(find "$root$prefix" -path '*/remindo/libremindo-sound.so')" ] || { echo "missing: the sound module"; missing=1; }
[ -n "$(find "$root$prefix" -path '*/remindo/libremindo-data-qt.so')" ] || { echo "missing: the Qt module of remindo-data"; missing=1; }
[ -n "$(find "$root$prefix" -path '*/remindo/libremindo-data-net.so')" ] || { echo "missing: the network module of remindo-data"; missing=1; }
# The installed tool finds its module from its own folder: asked for the
# usual data file of an empty account, it names the file, not the module.
said=$(XDG_DATA_HOME="$stage/xdg" "$root$prefix/bin/remindo-data" list 2>&1 || true)
[ "$said" = "remindo-data: $stage/xdg/Vendly/Remindo/Dane.dat: no such data file" ] ||
  { echo "installed remindo-data: $said"; missing=1; }
# ... and its iCalendar module.
printf '<Dane><Code>fa</Code><Ilosc>1</Ilosc><Nr1><Tresc>Raz+</Tresc><Data>8.12.2026</Data><CoIle>0</CoIle><IlePrzed>0</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok><BlokDzis>0</BlokDzis><BlokDzisData>8.12.2026</BlokDzisData><Ile>1</Ile></Nr1></Dane>' > "$stage/one.dat"
said=$("$root$prefix/bin/remindo-data" --file "$stage/one.dat" export --ics "$stage/one.ics" 2>&1 || true)
{ [ -z "$said" ] && grep -q '^SUMMARY:Raz' "$stage/one.ics"; } ||
  { echo "installed remindo-data export --ics: $said"; missing=1; }
entry=$root$autostart/$id.desktop
[ -s "$entry" ] || { echo "missing: $autostart/$id.desktop"; missing=1; }
# Only a user who has a data folder is started at log-on.
grep -qx "Exec=remindo --autostart" "$entry" || { echo "autostart entry does not start remindo --autostart"; missing=1; }
grep -qx "Icon=$id" "$root$prefix/share/applications/$id.desktop" || { echo "menu entry without icon"; missing=1; }
# The program by name, through PATH, wherever it was installed.
if grep -h '^Exec=' "$entry" "$root$prefix/share/applications/$id.desktop" | grep -v '^Exec=remindo\( \|$\)'; then
  echo "an entry that does not start remindo by name"
  missing=1
fi
# Both entries as the desktops read them (the actions included).
for e in "$entry" "$root$prefix/share/applications/$id.desktop"; do
  said=$(desktop-file-validate "$e" 2>&1) || { echo "$e: $said"; missing=1; }
done
[ $missing -eq 0 ] && echo "installed: $(find "$stage" -type f | wc -l) files"
exit $missing
