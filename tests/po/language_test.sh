#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# tevr-flash and bk-sim of the build in Russian and in English: help, a usage error, a conversion
# error, a line check, a port that is not there and a finished flash into bk-sim with its image verified. In English no
# Cyrillic letter shows but in the file's own name; the machine-readable exit statuses are the
# same in both.
#   language_test.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build=$1 source=$2
flasher=$build/cli/tevr-flash sim=$build/sim/bk-sim
source "$source/tests/support/sim_session.sh" language
unset LANG LC_ALL LC_MESSAGES LANGUAGE
failed=0
fail() {
    echo "FAILED ($language): $*"
    failed=1
}

# run NAME ARGS...: the flasher's output in NAME.out and NAME.err, its status in `status`.
run() {
    local name=$1
    shift
    "$flasher" "$@" >"$work/$name.out" 2>"$work/$name.err"
    status=$?
}
has() { grep -qF -- "$2" "$work/$1" || fail "$1 lacks '$2': $(head -c 600 "$work/$1")"; }
# Cyrillic anywhere but in the file names the commands were given.
english() {
    if sed -e "s|$work/[^ :]*||g" "$work/$1" | LC_ALL=C.UTF-8 grep -qP '[\x{0400}-\x{04FF}]'; then
        fail "$1 is not all English: $(cat "$work/$1")"
    fi
}
expect_status() { [ "$status" = "$1" ] || fail "$2: status $status, not $1"; }

printf ':0G0000000102FB\n' >"$work/digit.hex"
printf ':02000000010200\n:00000001FF\n' >"$work/checksum.hex"
cp "$source/examples/gap.hex" "$work/fw.hex"


# --- Russian: LANGUAGE decides in a UTF-8 locale, and a Russian LANG does even where the
# system has no ru_RU locale generated.
language=ru
export LC_ALL=C.UTF-8 LANGUAGE=ru
run help --help
expect_status 0 "--help"
has help.out "Использование: tevr-flash [ПАРАМЕТРЫ] КОМАНДА"
has help.out "Команды:"
"$sim" --help >"$work/sim-help.out"
has sim-help.out "Имитатор загрузчика БК ТЕВР-R7"
run usage convert
expect_status 2 "usage error"
has usage.err "Не указан обязательный аргумент FILE"
has usage.err "Подробнее: запустите с --help."
run convert convert "$work/checksum.hex"
expect_status 1 "conversion error"
has convert.err "tevr-flash: $work/checksum.hex: строка 1: неверная контрольная сумма записи"
start_sim
run check check "$work/line" --listen 0.2
expect_status 0 "check"
has check.err "tevr-flash: $work/line: открывается"
has check.err "tevr-flash: $work/line: линия готова"
run flash flash "$work/fw.hex" --port "$work/line"
expect_status 0 "flash"
[ "$(tail -n 1 "$work/flash.err")" = "Обновление ПО в Тевр R7 завершено" ] ||
    fail "flash's last line: $(tail -n 1 "$work/flash.err")"
finish_sim
run missing flash "$work/fw.hex" --port "$work/no-such-port"
expect_status 1 "missing port"
has missing.err "tevr-flash: $work/no-such-port: порт не найден"
run verify verify "$work/fw.hex" "$work/image"
expect_status 0 "verify"
has verify.out "проверено: образ содержит все данные $work/fw.hex (224 байта) по их адресам"
unset LC_ALL LANGUAGE
LANG=ru_RU.UTF-8 run help-lang --help
has help-lang.out "Использование: tevr-flash"

# --- English: no Russian locale, or LANGUAGE=en, or the C locale.
language=en
LANGUAGE=en LANG=C.UTF-8 run help --help
has help.out "Usage: tevr-flash [OPTIONS] SUBCOMMAND"
english help.out
export LC_ALL=C
run usage convert
expect_status 2 "usage error"
has usage.err "FILE is required"
english usage.err
run convert convert "$work/digit.hex"
expect_status 1 "conversion error"
has convert.err "tevr-flash: $work/digit.hex: line 1: '\$0G' is not a valid integer value"
english convert.err
run checksum convert "$work/checksum.hex"
has checksum.err "tevr-flash: $work/checksum.hex: line 1: wrong record checksum"
english checksum.err
start_sim
run check check "$work/line" --listen 0.2
expect_status 0 "check"
has check.err "tevr-flash: $work/line: line ready"
english check.err
run flash flash "$work/fw.hex" --port "$work/line"
expect_status 0 "flash"
[ "$(tail -n 1 "$work/flash.err")" = "The software update of the TEVR R7 is complete" ] ||
    fail "flash's last line: $(tail -n 1 "$work/flash.err")"
english flash.err
finish_sim
run missing flash "$work/fw.hex" --port "$work/no-such-port"
expect_status 1 "missing port"
has missing.err "tevr-flash: $work/no-such-port: the port does not exist"
english missing.err
run verify verify "$work/fw.hex" "$work/image"
has verify.out "verified: the image holds all 224 bytes of $work/fw.hex at their addresses"
english verify.out
exit $failed
