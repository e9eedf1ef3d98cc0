#!/bin/sh
# Runs a Windows test program under Wine: the cross build's emulator for CTest. The Wine
# prefix is the build's own ($VERANTO_WINEPREFIX, else wineprefix beside this build's bin
# folder), made once by set-up; Wine's debug output is off.
program=$1
shift
if [ -z "${VERANTO_WINEPREFIX:-}" ]; then
  VERANTO_WINEPREFIX=$(cd "$(dirname "$program")/.." && pwd)/wineprefix
fi
wine=/usr/lib/wine/wine
[ -x "$wine" ] || wine=/usr/lib/wine/wine64
case "$program" in
  *.exe) ;;
  *) [ -f "$program.exe" ] && program=$program.exe ;;
esac
WINEPREFIX=$VERANTO_WINEPREFIX WINEDEBUG=-all exec "$wine" "$program" "$@"
