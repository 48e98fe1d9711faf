#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Figures of tevr-loader.exe under Wine, on an X server of its own (make build windows first):
#   - start to first paint: from the start of the program (Wine's own start-up included, in a
#     prefix that has run it once) to the first pixel of the window on the screen;
#   - the working set: the resident memory of the window's process, idle after its start;
#   - an 8 KiB update through the window (its start button clicked) into bk-sim --pace: the time
#     from the device's second greeting 0xAA to the end command, and its ratio to the least time
#     the bytes need on the wire (target <= 1.01).
# Then the same 8 KiB update with tevr-flash and tevr-flash.exe (bench_transfer), for comparison.
set -euo pipefail

root=$(dirname "$(realpath "$0")")/..
native=${1:-$root/build} win=${2:-$root/build-win}
wine=$root/tests/wine
source "$wine/x_server.sh"
exe=$win/tevr-loader.exe probe_exe=$win/window_probe.exe
for f in "$exe" "$probe_exe" "$native/sim/bk-sim" "$native/cli/tevr-flash"; do
    [ -e "$f" ] || { echo "window_wine.sh: $f is not built" >&2; exit 1; }
done
work=$(mktemp -d /tmp/tevr-bench-window-XXXXXX)
prefix=$work/prefix lines=$work/lines
xvfb= sim= loader=
cleanup() {
    [ -n "$sim" ] && { kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; }
    "$wine/wine_prefix.sh" stop "$prefix" 2>/dev/null || true
    [ -n "$loader" ] && { wait "$loader" 2>/dev/null || true; }
    stop_x_server
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "window_wine.sh: $*" >&2; exit 1; }

start_x_server "$work/xvfb.log" || fail "no X server could start"
"$wine/wine_prefix.sh" setup "$prefix" "$lines"
probe() { "$wine/wine_prefix.sh" run "$prefix" "$probe_exe" "$@" 2>/dev/null | tr -d '\r'; }

# The screen's centre lies in the centred window's client area: black until the window paints.
centre_painted() {
    xwd -root -silent | python3 -c '
import struct, sys
d = sys.stdin.buffer.read()
h = struct.unpack(">25I", d[:100])
p = h[0] + h[19] * 12 + (h[5] // 2) * h[12] + (h[4] // 2) * (h[11] // 8)
sys.exit(0 if any(d[p:p + 3]) else 1)'
}

start_loader() {
    local t0=$EPOCHREALTIME
    "$wine/wine_prefix.sh" run "$prefix" "$exe" >>"$work/loader.out" 2>&1 &
    loader=$!
    for _ in $(seq 1000); do
        if centre_painted; then
            painted=$(awk -v now="$EPOCHREALTIME" -v t0="$t0" 'BEGIN {print now - t0}')
            return
        fi
        sleep 0.01
    done
    fail "the window did not paint"
}

# Once to let Wine set itself up in the prefix; the second start is the one measured.
start_loader
probe close || fail "the window did not close"
wait "$loader" || true
start_loader
printf 'tevr-loader.exe under Wine\n  start to first paint: %.3f s\n' "$painted"
sleep 2
pid=$(pgrep -n -f 'tevr-loader\.exe') || fail "no process of the window"
printf '  working set, idle: %s kB resident\n' "$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")"

# 8 KiB paced, by the window.
head -n 512 "$root/examples/image-64k.hex" >"$work/image-8k.hex"
echo ":00000001FF" >>"$work/image-8k.hex"
read -r sent answers < <("$native/cli/tevr-flash" plan "$work/image-8k.hex" |
    sed -n 's/^on the line *\([0-9]*\) bytes sent, \([0-9]*\) answers.*/\1 \2/p')
"$native/sim/bk-sim" --link "$lines/com4" --pace -v --regreet 0 2>&1 >/dev/null |
    while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "$line"; done >"$work/sim.log" &
sim=$!
for _ in $(seq 100); do [ -L "$lines/com4" ] && break; sleep 0.05; done
probe set-path "Z:${work//\//\\}\\image-8k.hex"
read -r left top < <(probe form | sed -n 5p)
xdotool mousemove --sync $((left + 280)) $((top + 83)) click 1
sleep 0.3
xdotool key --delay 50 Down Down Down Return
sleep 0.3
[ "$(probe port)" = COM4 ] || fail "COM4 could not be chosen"
xdotool mousemove --sync $((left + 172)) $((top + 120)) click 1
probe box 120 >/dev/null || fail "no completion box"
probe ok >/dev/null
wait "$sim" || fail "bk-sim: $(tail -n 3 "$work/sim.log")"
sim=
transfer=$(awk '/greeting answered/ {g = 1} g && !a && /device: AA/ {a = $1}
               /end command after/ {e = $1} END {printf "%.3f", e - a}' "$work/sim.log")
awk -v t="$transfer" -v bytes=$((sent + answers)) 'BEGIN {
    bound = bytes * 10 / 10400
    printf "  8 KiB update with bk-sim --pace: %.3f s, wire-time bound %.3f s, ratio %.4f\n",
           t, bound, t / bound }'
probe close >/dev/null || true

if [ -x "$native/bench/bench_transfer" ]; then
    echo "tevr-flash:"
    "$native/bench/bench_transfer" | grep -E 'ratio|transfer time'
    echo "tevr-flash.exe under Wine:"
    "$native/bench/bench_transfer" --windows | grep -E 'ratio|transfer time'
fi
