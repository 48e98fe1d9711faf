# SPDX-License-Identifier: MIT
# Sourced: an X server of the caller's own for Wine's windows.
#   start_x_server LOG   starts Xvfb on the first free display from :90 on, exports DISPLAY and
#                        TEVR_WINE_DISPLAY (wine_prefix.sh makes its prefix under it) and sets
#                        xvfb to its process id; returns 1 when none could start.
#   stop_x_server        ends it, if it runs.
start_x_server() {
    local log=$1 n
    xvfb=
    for n in $(seq 90 130); do
        { [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; } && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
        xvfb=$!
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        # Another server may have taken the display meanwhile: then on to the next one.
        if kill -0 "$xvfb" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            export DISPLAY=:$n TEVR_WINE_DISPLAY=:$n
            return 0
        fi
        wait "$xvfb" 2>/dev/null || true
        xvfb=
    done
    return 1
}

stop_x_server() {
    if [ -n "${xvfb:-}" ]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
        xvfb=
    fi
}
