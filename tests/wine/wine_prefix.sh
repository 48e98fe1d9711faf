#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Wine prefix the Windows suites run in, made afresh for every test run in the build folder
# (never ~/.wine), and its COM ports: COM4 to COM9 lead to links of the lines folder, which the
# tests make to pseudo-terminals (bk-sim's, or a null modem's) before they start a program.
#   wine_prefix.sh setup PREFIX LINES   make the prefix and its ports, start its wineserver
#   wine_prefix.sh run PREFIX PROGRAM [ARGS...]   run a Windows program there
#   wine_prefix.sh stop PREFIX          end its wineserver and every process of the prefix
set -euo pipefail

WINE=${TEVR_WINE:-/usr/lib/wine/wine64}
WINESERVER=${TEVR_WINESERVER:-/usr/lib/wine/wineserver}
# Headless and quiet; no Mono or Gecko to install. The window's tests give an X server of their
# own (TEVR_WINE_DISPLAY), under which their prefix must be made: a prefix whose desktop process
# started without a display never paints a window later.
unset DISPLAY WAYLAND_DISPLAY
if [ -n "${TEVR_WINE_DISPLAY:-}" ]; then export DISPLAY=$TEVR_WINE_DISPLAY; fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

command=$1
export WINEPREFIX=$(realpath -m "$2")
shift 2

# Ends the prefix's server and every process of the prefix, and waits until they are gone.
end_server() {
    "$WINESERVER" -k 2>/dev/null || true
    "$WINESERVER" -w 2>/dev/null || true
}

case $command in
setup)
    lines=$(realpath -m "$1")
    trap 'echo "wine_prefix.sh: setup failed; the end of $WINEPREFIX.log:" >&2
          tail -n 20 "$WINEPREFIX.log" >&2' ERR
    end_server
    rm -rf "$WINEPREFIX"
    mkdir -p "$lines"
    "$WINE" wineboot --init >"$WINEPREFIX.log" 2>&1
    # Debian's Wine does not read its own font folder; the window's Cyrillic needs its Tahoma.
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    {
        echo 'REGEDIT4'
        echo '[HKEY_LOCAL_MACHINE\Software\Wine\Ports]'
        for n in 4 5 6 7 8 9; do echo "\"COM$n\"=\"$lines/com$n\""; done
    } >"$WINEPREFIX/ports.reg"
    "$WINE" regedit /S "$WINEPREFIX/ports.reg" >>"$WINEPREFIX.log" 2>&1
    # Wine writes the ports' links of dosdevices/ when it starts. Its server and its services
    # (started with the first program, writing where that program writes) stay for the tests
    # and a minute after the last, then end on their own: here, so that no test's output is
    # held open by them.
    end_server
    # One still ending may refuse a second for a moment; the program below starts one if so.
    "$WINESERVER" -p60 >>"$WINEPREFIX.log" 2>&1 || true
    "$WINE" cmd /c exit >>"$WINEPREFIX.log" 2>&1
    ;;
run)
    # A server started by the program itself would write to the program's standard error when it
    # ends; one of our own writes to the log.
    "$WINESERVER" -p60 >>"$WINEPREFIX.log" 2>&1 || true
    exec "$WINE" "$@"
    ;;
stop)
    end_server
    ;;
*)
    echo "usage: $0 setup|run|stop PREFIX ..." >&2
    exit 2
    ;;
esac
