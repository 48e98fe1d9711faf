#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The example front end flashes a file into bk-sim with nothing but the board session, a port
# that is not there comes back as its code, and a station that trusts a key refuses an unsigned
# file before any port opens.
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
mkdir "$work/station"
minisign -G -W -p "$work/station/trusted-keys" -s "$work/release.key" >/dev/null ||
    fail "minisign made no key"
TEVR_LOADER_CONFIG="$work/station" "$front" "$source/examples/gap.hex" "$work/no-such-port" \
    >"$work/unsigned"
[ $? = 1 ] || fail "an unsigned file was not refused"
[ "$(cat "$work/unsigned")" = "refused file" ] || fail "unsigned: $(cat "$work/unsigned")"
echo "example front end: done, failed and refused as expected"
