#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tevr-loader.exe under Wine on an X server of the test's own (Xvfb), in a prefix made under that
# server (a prefix whose desktop started without a display never paints a window), with bk-sim
# running natively on the prefix's COM4:
#   - the window: its caption, client area 350 x 167, neither resizable nor maximisable; the
#     start button's bevel and face rows as the screen shows them;
#   - a full update by the user's route: the path typed into Edit1, COM4 chosen in the port
#     list, a click on the start button; the completion box shown and dismissed, the saved image
#     holding every byte of the update file, the button off again;
#   - bk-sim hanging up mid-transfer (the update file named in Cyrillic, the start by Tab and
#     Space): one message, then the window at rest;
#   - a release key installed in the program data folder: a signed file changed after signing
#     is refused with one error box before the port opens (no simulator runs: an opened port
#     would show another error), and the same file signed again flashes.
#   window_test.sh NATIVE_BUILD TEVR_LOADER_EXE WINDOW_PROBE_EXE WORK_DIR
set -euo pipefail

native=$1 exe=$2 probe_exe=$3 work=$4
here=$(dirname "$(realpath "$0")")
source "$here/x_server.sh"
firmware=$(realpath "$here/../../examples/image-64k.hex")
rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
prefix=$work/prefix lines=$work/lines
xvfb= sim= loader=
cleanup() {
    local status=$?
    [ -n "$sim" ] && { kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; }
    if [ -d "$prefix" ]; then "$here/wine_prefix.sh" stop "$prefix" || true; fi
    [ -n "$loader" ] && { kill "$loader" 2>/dev/null || true; wait "$loader" 2>/dev/null || true; }
    stop_x_server
    # What is left helps the reader of a failure; a pass leaves nothing.
    [ "$status" = 0 ] && rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    echo "--- tevr-loader.exe's output:" >&2
    cat "$work/loader.out" >&2 2>/dev/null || true
    echo "--- bk-sim's output:" >&2
    cat "$work/sim.out" >&2 2>/dev/null || true
    exit 1
}

start_x_server "$work/xvfb.log" || fail "no X server could start"
"$here/wine_prefix.sh" setup "$prefix" "$lines"

probe() { "$here/wine_prefix.sh" run "$prefix" "$probe_exe" "$@" 2>>"$work/probe.err" | tr -d '\r'; }

start_loader() {
    "$here/wine_prefix.sh" run "$prefix" "$exe" >"$work/loader.out" 2>&1 &
    loader=$!
    for _ in $(seq 100); do probe form >"$work/form" && return; sleep 0.2; done
    fail "the window did not appear"
}

start_sim() {
    rm -f "$lines/com4"
    "$native/sim/bk-sim" --link "$lines/com4" --image "$work/image" --regreet 0 "$@" \
        >"$work/sim.out" 2>&1 &
    sim=$!
    for _ in $(seq 100); do [ -L "$lines/com4" ] && return; sleep 0.05; done
    fail "bk-sim made no link"
}

# Clicks at a point of the client area.
click() {
    xdotool mousemove --sync $((left + $1)) $((top + $2)) click 1
    sleep 0.3
}

# Waits for the one message box and checks its caption, text and icon.
expect_box() {
    local text=$1 icon=$2 seconds=$3
    probe box "$seconds" >"$work/box" || fail "no message box saying: $text"
    [ "$(sed -n 1p "$work/box")" = "Загрузчик обновленного ПО в Тевр-R7" ] ||
        fail "box caption: $(sed -n 1p "$work/box")"
    [[ "$(sed -n 2p "$work/box")" == $text ]] || fail "box text: $(sed -n 2p "$work/box")"
    [ "$(sed -n 3p "$work/box")" = "$icon" ] || fail "box: $(sed -n 3p "$work/box"), not $icon"
}
dismiss_box() { probe ok || fail "the box could not be dismissed"; }

# The window at rest: no further box, the start button off (no clLime text).
expect_rest() {
    if probe box 2 >"$work/box"; then fail "a second box: $(cat "$work/box")"; fi
    [ "$(probe lime)" = 0 ] || fail "the start button is still on"
}

start_loader
[ "$(sed -n 1p "$work/form")" = "Загрузчик ПО в ТЕВР-R7 (версия 1.0)" ] ||
    fail "caption: $(sed -n 1p "$work/form")"
[ "$(sed -n 2p "$work/form")" = "350x167" ] || fail "client area: $(sed -n 2p "$work/form")"
[ "$(sed -n 3p "$work/form")" = fixed ] || fail "the window can be resized"
[ "$(sed -n 4p "$work/form")" = "no maximise" ] || fail "the window can be maximised"
read -r left top < <(sed -n 5p "$work/form")
xdotool search --name "Загрузчик ПО в ТЕВР-R7" windowfocus --sync 2>/dev/null ||
    fail "the window has no X window"

# The start button on the screen, column 10 from the top: the raised bevel's four light rings,
# then the face's 25 rows from 0xF0 to 0x6E as the gradient steps them; the four shadow rings
# below follow the desktop's shadow colour (Wine's differs from Windows'), darker outwards.
face="DDDDDD E8E8E8 F4F4F4 FFFFFF"
for g in F0 EA E5 DF DA D4 CF CA C4 BF B9 B4 AF A9 A4 9E 99 94 8E 89 83 7E 79 73 6E; do
    face+=" $g$g$g"
done
read -r -a seen < <(probe face)
[ "${seen[*]:0:29}" = "$face" ] || fail "the start button's face: ${seen[*]}"
for i in 29 30 31; do
    (( 16#${seen[i]} > 16#${seen[i + 1]} )) || fail "the start button's shadow rings: ${seen[*]}"
done

# A full update as the user makes it.
cp "$firmware" "$work/image-64k.hex"
start_sim
click 100 42  # Edit1
xdotool type --delay 2 "Z:${work//\//\\}\\image-64k.hex"
click 280 83  # ComboBox1 opens
xdotool key --delay 50 Down Down Down Return
sleep 0.3
[ "$(probe port)" = COM4 ] || fail "port chosen: $(probe port)"
click 172 120  # AbColBitBtn1
expect_box "Обновление ПО в Тевр R7 завершено" "no icon" 60
# The button goes off once the box is dismissed; until then its text shows clLime.
[ "$(probe lime)" -gt 0 ] || fail "the start button was not on under the completion box"
dismiss_box
wait "$sim" || fail "bk-sim ended with an error"
sim=
"$native/cli/tevr-flash" verify "$firmware" "$work/image" >/dev/null ||
    fail "the image does not hold the update file"
expect_rest

# The device goes away in the middle: one message, then rest.
mkdir -p "$work/прошивки"
cp "$firmware" "$work/прошивки/образ ТЕВР.hex"
probe set-path "Z:${work//\//\\}\\прошивки\\образ ТЕВР.hex"
start_sim --hangup-after 3
# From the field to the start button with Tab ("...", the port list, the button); Space starts.
click 100 42
xdotool key --delay 100 Tab Tab Tab space
expect_box "Ошибка: связь с БК потеряна (БК или адаптер отключены)" "no icon" 30
dismiss_box
expect_rest

# Signed releases, signed by minisign as a release engineer signs them.
minisign -G -W -p "$work/release.pub" -s "$work/release.key" >/dev/null
mkdir -p "$prefix/drive_c/ProgramData/tevr-loader"
cp "$work/release.pub" "$prefix/drive_c/ProgramData/tevr-loader/trusted-keys"
cp "$firmware" "$work/signed.hex"
minisign -S -s "$work/release.key" -m "$work/signed.hex" -t "ТЕВР-R7 2.3.1" >/dev/null
sed -i '2s/^:1000100050/:1000100051/' "$work/signed.hex"
probe set-path "Z:${work//\//\\}\\signed.hex"
rm -f "$lines/com4"
click 172 120
expect_box "Ошибка: подпись выпуска *не совпадает с файлом обновления*" icon 30
dismiss_box
expect_rest
cp "$firmware" "$work/signed.hex"
minisign -S -s "$work/release.key" -m "$work/signed.hex" -t "ТЕВР-R7 2.3.1" >/dev/null
start_sim
click 172 120
expect_box "Обновление ПО в Тевр R7 завершено" "no icon" 60
dismiss_box
wait "$sim" || fail "bk-sim ended with an error"
sim=
"$native/cli/tevr-flash" verify "$firmware" "$work/image" >/dev/null ||
    fail "the image does not hold the signed update file"
expect_rest
echo "window: OK"
