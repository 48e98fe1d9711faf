# SPDX-License-Identifier: MIT
# Sourced by the shell tests that flash into bk-sim: a work folder that goes with the test, and
# the simulator on a link in it.
#   source sim_session.sh NAME   with $sim the bk-sim program and a `fail` function defined
work=$(mktemp -d "${TMPDIR:-/tmp}/tevr-$1-XXXXXX")
simulator=
cleanup() {
    if [ -n "$simulator" ]; then kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT

# start_sim [ARGS...]: bk-sim on $work/line, its memory image saved to $work/image, with ARGS
# (--quiet when none) and its notes in $work/sim.err; `fail` when no link comes up.
start_sim() {
    rm -f "$work/line"
    "$sim" --link "$work/line" --image "$work/image" "${@:---quiet}" >/dev/null 2>"$work/sim.err" &
    simulator=$!
    for _ in $(seq 100); do [ -L "$work/line" ] && return; sleep 0.05; done
    fail "bk-sim made no link"
}

# stop_sim: the simulator ended, whatever its state.
stop_sim() {
    kill "$simulator" 2>/dev/null
    wait "$simulator" 2>/dev/null
    simulator=
}

# finish_sim: the simulator's own end, which must be a good one.
finish_sim() {
    wait "$simulator" || fail "bk-sim ended with status $?"
    simulator=
}
