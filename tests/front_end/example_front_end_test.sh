#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The example front end flashes a file into bk-sim with nothing but the board session, and a
# port that is not there comes back as its code.
#   example_front_end_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
front=$build/tests/example_front_end sim=$build/sim/bk-sim
source "$source/tests/support/sim_session.sh" front-end
fail() { echo "FAILED: $*"; exit 1; }

start_sim
"$front" "$source/examples/gap.hex" "$work/line" >"$work/out" || fail "flash: $(cat "$work/out")"
finish_sim
[ "$(head -n 1 "$work/out")" = "waiting $work/line" ] || fail "first line: $(cat "$work/out")"
grep -qx "done 3/3" "$work/out" || fail "no 'done 3/3': $(cat "$work/out")"
"$build/cli/tevr-flash" verify "$source/examples/gap.hex" "$work/image" >/dev/null ||
    fail "the image does not hold the file"

"$front" "$source/examples/gap.hex" "$work/no-such-port" >"$work/missing"
[ $? = 1 ] || fail "a missing port did not fail"
grep -qx "failed port-open-failed" "$work/missing" || fail "missing port: $(cat "$work/missing")"
echo "example front end: done and failed as expected"
