#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The bash completion of tevr-flash: subcommands, a subcommand's options, and --port (also as
# --port=) offering what "tevr-flash ports" lists.
# completion_test.sh COMPLETION-FILE TEVR-FLASH
set -uo pipefail
source /usr/share/bash-completion/bash_completion
source "$1"
program=$2
failed=0

# expect "WANTED" WORDS...: completes the last word of the command line WORDS.
expect() {
    local wanted=$1
    shift
    COMP_WORDS=("$program" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE="${COMP_WORDS[*]}"
    COMP_LINE=${COMP_LINE// = /=}
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _tevr_flash "$program" "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    local got="${COMPREPLY[*]}"
    if [ "$got" != "$wanted" ]; then
        echo "completing '$COMP_LINE': got '$got', wanted '$wanted'"
        failed=1
    fi
}

expect "check convert flash journal plan ports verify" ""
expect "flash" fl
expect "--config --help --version" --
expect "--port --log --timeout --repeat --journal --expect-sha256 --trusted-key --require-signature --json --config --help" flash --
expect "--expect-sha256" --config station.toml flash --e
expect "--config" flash firmware.hex --c
expect "--config" check --c
expect "" convert --c
expect "--summary" journal --s
expect "--records" convert --r
ports=$("$program" ports 2>/dev/null | awk '{ print $1 }' | tr '\n' ' ')
expect "${ports% }" flash --port ""
expect "${ports% }" flash firmware.hex -p ""
expect "${ports% }" flash --port = ""
expect "${ports% }" check --echo ""
expect "--listen" check --l
exit $failed
