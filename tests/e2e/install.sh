#!/usr/bin/env bash
# `cmake --install` into a staging folder: the program, its sound module, its
# companion tool and the tool's Qt and iCalendar modules, the help, the icon at every size, the menu and autostart
# entries.
#   install.sh BUILD_DIR
set -euo pipefail
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$1" >/dev/null
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$1/CMakeCache.txt")
autostart=$(sed -n 's/^REMINDO_AUTOSTART_DIR:PATH=//p' "$1/CMakeCache.txt")
missing=0
# Entries and icon carry the application id.
id=pl.vendly.Remindo
for f in bin/remindo bin/remindo-data share/remindo/Pomoc/index.htm share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  [ -s "$stage$prefix/$f" ] || { echo "missing: $prefix/$f"; missing=1; }
done
# The sound module where the installed program looks for it.
[ -n "$(find "$stage$prefix" -path '*/remindo/libremindo-sound.so')" ] || { echo "missing: the sound module"; missing=1; }
[ -n "$(find "$stage$prefix" -path '*/remindo/libremindo-data-qt.so')" ] || { echo "missing: the Qt module of remindo-data"; missing=1; }
# The installed tool finds its module from its own folder: asked for the
# usual data file of an empty account, it names the file, not the module.
said=$(XDG_DATA_HOME="$stage/xdg" "$stage$prefix/bin/remindo-data" list 2>&1 || true)
[ "$said" = "remindo-data: $stage/xdg/Vendly/Remindo/Dane.dat: no such data file" ] ||
  { echo "installed remindo-data: $said"; missing=1; }
# ... and its iCalendar module.
printf '<Dane><Code>fa</Code><Ilosc>1</Ilosc><Nr1><Tresc>Raz+</Tresc><Data>8.12.2026</Data><CoIle>0</CoIle><IlePrzed>0</IlePrzed><CzyPo>0</CzyPo><Blok>0</Blok><BlokDzis>0</BlokDzis><BlokDzisData>8.12.2026</BlokDzisData><Ile>1</Ile></Nr1></Dane>' > "$stage/one.dat"
said=$("$stage$prefix/bin/remindo-data" --file "$stage/one.dat" export --ics "$stage/one.ics" 2>&1 || true)
{ [ -z "$said" ] && grep -q '^SUMMARY:Raz' "$stage/one.ics"; } ||
  { echo "installed remindo-data export --ics: $said"; missing=1; }
entry=$stage$autostart/$id.desktop
[ -s "$entry" ] || { echo "missing: $autostart/$id.desktop"; missing=1; }
# Only a user who has a data folder is started at log-on.
grep -qx "Exec=$prefix/bin/remindo --autostart" "$entry" || { echo "autostart entry does not start $prefix/bin/remindo --autostart"; missing=1; }
grep -qx "Icon=$id" "$stage$prefix/share/applications/$id.desktop" || { echo "menu entry without icon"; missing=1; }
# Both entries as the desktops read them (the actions included).
for e in "$entry" "$stage$prefix/share/applications/$id.desktop"; do
  said=$(desktop-file-validate "$e" 2>&1) || { echo "$e: $said"; missing=1; }
done
[ $missing -eq 0 ] && echo "installed: $(find "$stage" -type f | wc -l) files"
exit $missing
