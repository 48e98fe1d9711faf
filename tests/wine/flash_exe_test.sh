#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tevr-flash.exe under Wine updates bk-sim, which runs natively on a COM port of the prefix.
#   flash_exe_test.sh CASE PORT NATIVE_BUILD TEVR_FLASH_EXE PREFIX LINES
#   done          the whole 64 KiB sample, from and to files with Cyrillic names; the saved
#                 image holds every byte of it
#   bad-checksum  one wrong checksum is said once, and the update goes on to the end
#   silent        a device that falls silent ends the flash with status 3
#   hung-up       a device that goes away ends it with status 1 and says so
#   interrupted   Ctrl-C (Wine makes SIGINT the console's Ctrl-C) closes the port, status 130
#   missing-port  a port that is not there: status 1, the component's message, the ports found
#   signed        releases signed by minisign (run natively): a signed file flashes and its
#                 release is on the first line and in the journal; a legacy signature verifies
#                 (of a file up to libgcrypt's limit; a larger one is refused plainly);
#                 one changed byte, a changed trusted comment, another key's signature and a
#                 missing signature under --require-signature are refused before the port is
#                 opened (no simulator runs: an opened port would fail otherwise)
#   language      LANGUAGE=ru: help, a usage error, a line check, a flash and its verify in
#                 Russian from the catalogue beside the program; LANGUAGE=en: English, no
#                 Cyrillic letter but in a file's name (the output redirected: UTF-8); on a
#                 console (a pseudo-terminal) Russian reads right
set -euo pipefail

name=$1 port=$2 native=$3 exe=$4 prefix=$5 lines=$6
here=$(dirname "$(realpath "$0")")
firmware=$(realpath "$here/../../examples/image-64k.hex")
work=$(mktemp -d "${TMPDIR:-/tmp}/tevr-wine-XXXXXX")
sim=
cleanup() {
    if [ -n "$sim" ]; then kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED ($name): $*" >&2
    echo "--- tevr-flash.exe's standard error:" >&2
    cat "$work/err" >&2 || true
    exit 1
}

# bk-sim on the port's link, with the case's faults.
start_sim() {
    local link=$lines/${port,,}
    rm -f "$link"
    "$native/sim/bk-sim" --link "$link" --image "$work/image" "$@" >"$work/sim.out" 2>&1 &
    sim=$!
    for _ in $(seq 100); do [ -L "$link" ] && return; sleep 0.05; done
    fail "bk-sim made no link"
}

flash() {
    set +e
    "$here/wine_prefix.sh" run "$prefix" "$exe" flash "$firmware" --port "$port" "$@" \
        >"$work/out" 2>"$work/err"
    status=$?
    set -e
}

last_line() { tail -n 1 "$work/err" | tr -d '\r'; }

# The image bk-sim saved at the end command holds every byte of the update file.
check_image() {
    wait "$sim" || fail "bk-sim ended with an error: $(cat "$work/sim.out")"
    sim=
    "$native/cli/tevr-flash" verify "$firmware" "$work/image" >/dev/null ||
        fail "the image does not hold the update file"
}

done_message="The software update of the TEVR R7 is complete"
case $name in
done)
    # Names outside the ANSI code page (Wine's is 1252 here): the program takes its arguments
    # and opens its files in UTF-16.
    cp "$firmware" "$work/прошивка ТЕВР.hex"
    firmware=$work/прошивка\ ТЕВР.hex
    start_sim
    LC_ALL=C.UTF-8 flash --journal "$work/журнал.jsonl"
    [ "$status" = 0 ] || fail "status $status"
    [ "$(last_line)" = "$done_message" ] || fail "last line: $(last_line)"
    grep -q '"result":"done"' "$work/журнал.jsonl" || fail "no journal line"
    check_image
    ;;
bad-checksum)
    start_sim --bad-checksum 3
    flash
    [ "$status" = 0 ] || fail "status $status"
    [ "$(grep -c 'Error: wrong checksum' "$work/err")" = 1 ] ||
        fail "the wrong checksum was not said once"
    check_image
    ;;
silent)
    start_sim --silent-after 2
    flash --timeout 1
    [ "$status" = 3 ] || fail "status $status"
    ;;
hung-up)
    start_sim --hangup-after 2
    flash
    [ "$status" = 1 ] || fail "status $status"
    [[ "$(last_line)" == "tevr-flash: $port: the on-board computer or its adapter went away"* ]] ||
        fail "last line: $(last_line)"
    ;;
interrupted)
    start_sim --silent-after 2
    # The script becomes the Windows program (exec), so its process id is the program's.
    "$here/wine_prefix.sh" run "$prefix" "$exe" flash "$firmware" --port "$port" --timeout 60 \
        >"$work/out" 2>"$work/err" &
    flasher=$!
    for _ in $(seq 200); do grep -q 'greeting from the boot loader' "$work/err" && break; sleep 0.05; done
    sleep 0.5  # past block 2, where the device fell silent
    kill -INT "$flasher"
    wait "$flasher" && status=0 || status=$?
    [ "$status" = 130 ] || fail "status $status"
    # The stop, then what to do with the board left in its boot loader.
    stopped=$(tail -n 2 "$work/err" | head -n 1 | tr -d '\r')
    [ "$stopped" = "tevr-flash: interrupted (Ctrl-C); the port is closed" ] ||
        fail "line before the last: $stopped"
    [[ "$(last_line)" == *"restart it"* ]] || fail "last line: $(last_line)"
    ;;
missing-port)
    flash
    [ "$status" = 1 ] || fail "status $status"
    # The message, then the ports there are (Wine's own, whatever its prefix holds).
    grep -qxF "tevr-flash: $port: the port does not exist" <(tr -d '\r' <"$work/err") ||
        fail "no message"
    case "$(last_line)" in
        "tevr-flash: $port: the ports found are COM"*"; tevr-flash ports lists them") ;;
        *) fail "last line: $(last_line)" ;;
    esac
    ;;
signed)
    minisign -G -W -p "$work/release.pub" -s "$work/release.key" >/dev/null
    minisign -G -W -p "$work/other.pub" -s "$work/other.key" >/dev/null
    id=$(sed -n '1s/.* //p' "$work/release.pub")
    cp "$firmware" "$work/fw.hex"
    firmware=$work/fw.hex
    minisign -S -s "$work/release.key" -m "$firmware" -t "ТЕВР-R7 2.3.1" >/dev/null
    key=Z:${work//\//\\}\\release.pub
    start_sim
    LC_ALL=C.UTF-8 flash --trusted-key "$key" --require-signature --journal "$work/journal.jsonl"
    [ "$status" = 0 ] || fail "signed: status $status"
    [ "$(head -n 1 "$work/err" | tr -d '\r')" = \
        "tevr-flash: $firmware: signed release ТЕВР-R7 2.3.1 (key $id)" ] ||
        fail "first line: $(head -n 1 "$work/err")"
    grep -q "\"release\":\"ТЕВР-R7 2.3.1\",\"key_id\":\"$id\"" "$work/journal.jsonl" ||
        fail "the journal lacks the release: $(cat "$work/journal.jsonl")"
    check_image
    # The key's text instead of its file; a legacy signature, which libgcrypt checks for a file
    # of up to 65000 bytes only: a larger one is refused in plain words, not by a crash.
    plan() {
        set +e
        "$here/wine_prefix.sh" run "$prefix" "$exe" plan "$1" \
            --trusted-key "$(sed -n 2p "$work/release.pub")" >"$work/out" 2>"$work/err"
        status=$?
        set -e
    }
    cp "$here/../../examples/worked.hex" "$work/small.hex"
    minisign -S -l -s "$work/release.key" -m "$work/small.hex" -t "ТЕВР-R7 2.2.0" >/dev/null
    plan "$work/small.hex"
    [ "$status" = 0 ] && grep -q "ТЕВР-R7 2.2.0 (key $id)" "$work/out" ||
        fail "legacy: status $status, $(cat "$work/out" "$work/err")"
    minisign -S -l -s "$work/release.key" -m "$firmware" -t "ТЕВР-R7 2.2.0" >/dev/null
    plan "$firmware"
    [ "$status" = 1 ] && [[ "$(last_line)" == *"is a signature in the legacy format, which can be checked here only for files of up to 65000 bytes"* ]] ||
        fail "large legacy: status $status, $(last_line)"
    refused() {
        flash --trusted-key "$key" --require-signature
        [ "$status" = 1 ] || fail "$1: status $status"
        [[ "$(last_line)" == "tevr-flash: $firmware: $2"* ]] ||
            fail "$1: last line: $(last_line)"
    }
    minisign -S -s "$work/release.key" -m "$firmware" -t "ТЕВР-R7 2.3.1" >/dev/null
    sed -i '3s/2\.3\.1/2.4.0/' "$firmware.minisig"
    refused comment "the trusted comment of the release signature"
    minisign -S -s "$work/release.key" -m "$firmware" -t "ТЕВР-R7 2.3.1" >/dev/null
    sed -i '2s/^:1000100050/:1000100051/' "$firmware"
    refused byte "the release signature"
    cp "$here/../../examples/image-64k.hex" "$firmware"
    minisign -S -s "$work/other.key" -m "$firmware" -t "ТЕВР-R7 2.3.1" >/dev/null
    refused key "the update file is signed with key $(sed -n '1s/.* //p' "$work/other.pub")"
    rm "$firmware.minisig"
    refused missing "the update file has no release signature"
    ;;
language)
    # run_exe NAME ARGS...: its output in NAME.out and NAME.err, without carriage returns.
    run_exe() {
        local name=$1
        shift
        set +e
        "$here/wine_prefix.sh" run "$prefix" "$exe" "$@" >"$work/$name.out" 2>"$work/$name.err"
        status=$?
        set -e
        sed -i 's/\r$//' "$work/$name.out" "$work/$name.err"
    }
    has() { grep -qF -- "$2" "$work/$1" || fail "$1 lacks '$2': $(cat "$work/$1")"; }
    export LANGUAGE=ru
    run_exe help --help
    has help.out "Использование: tevr-flash [ПАРАМЕТРЫ] КОМАНДА"
    run_exe usage convert
    [ "$status" = 2 ] || fail "usage error: status $status"
    has usage.err "Не указан обязательный аргумент ФАЙЛ"
    start_sim
    # Wine reports a pseudo-terminal's rate as 38400 bit/s, so the verdict may be "not ready";
    # what counts here is that it is Russian.
    run_exe check check "$port" --listen 0.3
    has check.err "tevr-flash: $port: загрузчик БК работает ("
    grep -qE "^tevr-flash: $port: линия (не )?готова$" "$work/check.err" ||
        fail "check: $(cat "$work/check.err")"
    run_exe flash flash "$firmware" --port "$port"
    [ "$status" = 0 ] || fail "flash: status $status"
    [ "$(tail -n 1 "$work/flash.err")" = "Обновление ПО в Тевр R7 завершено" ] ||
        fail "flash: $(cat "$work/flash.err")"
    wait "$sim" || fail "bk-sim ended with an error: $(cat "$work/sim.out")"
    sim=
    run_exe verify verify "$firmware" "$work/image"
    has verify.out "(65536 байт) по их адресам"
    # On a console (Wine makes one on a pseudo-terminal) the words go out as UTF-16 and the
    # console writes them to the terminal; cursor codes and carriage returns left out.
    set +e
    script -qec "$(printf '%q ' "$here/wine_prefix.sh" run "$prefix" "$exe" convert)" \
        /dev/null >"$work/console.raw" </dev/null
    set -e
    sed -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\r//g' "$work/console.raw" >"$work/console.out"
    has console.out "Не указан обязательный аргумент ФАЙЛ"
    export LANGUAGE=en
    printf ':0G0000000102FB\n' >"$work/digit.hex"
    run_exe help --help
    run_exe convert convert "$work/digit.hex"
    [ "$status" = 1 ] || fail "conversion error: status $status"
    has help.out "Usage: tevr-flash [OPTIONS] SUBCOMMAND"
    has convert.err "line 1: '\$0G' is not a valid integer value"
    ! cat "$work/help.out" "$work/convert.err" | LC_ALL=C.UTF-8 grep -P '[\x{0400}-\x{04FF}]' ||
        fail "Cyrillic in English"
    ;;
*)
    echo "usage: $0 done|bad-checksum|silent|hung-up|interrupted|missing-port|signed|language PORT ..." >&2
    exit 2
    ;;
esac
