#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A technician's session with tevr-flash and bk-sim of the build, in Russian and in English: the
# help of every command, usage errors, broken files, ports, a line check, flashes into bk-sim
# with faults, the journal and release signatures. The Russian run holds no English word and the
# English one no Cyrillic letter, paths, options, file and proper names aside; a few messages are
# checked word for word, and the machine-readable exit statuses are the same in both.
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

# run NAME ARGS...: the flasher's output in NAME.out and NAME.err of the language, its status in
# NAME.status.
run() {
    local name=$language-$1
    shift
    "$flasher" "$@" >"$work/$name.out" 2>"$work/$name.err"
    echo $? >"$work/$name.status"
}
has() { grep -qF -- "$2" "$work/$language-$1" || fail "$1 lacks '$2': $(head -c 600 "$work/$language-$1")"; }
status() { [ "$(cat "$work/$language-$1.status")" = "$2" ] || fail "$1: status $(cat "$work/$language-$1.status"), not $2"; }

# The words of the programs themselves, without the data of the session: paths, options, hex
# bytes, names of programs, commands, formats, standards and signals.
own_words() {
    sed -E -e 's/\b(tevr-flash|tevr-loader|bk-sim|8N1)\b//g' -e "s|$work[^ :,)]*||g" \
        -e 's|/[-_./[:alnum:]]+||g' -e 's/(^|[][ ,(|])--?[[:alnum:]][-[:alnum:]]*/\1/g' \
        -e 's/[*[:alnum:]_-]*\.(hex|minisig|pub)\b//g' -e 's/\b(0x)?[0-9A-F]{2,4}\b//g' \
        -e 's/\b[0-9A-Fa-f]{8,}\b//g' "$@"
}
# Besides those: commands, the station file's keys, formats, standards, signals and names.
allowed='^(check|convert|flash|journal|plan|ports|verify|file|port|listen|echo|expect|sha256|trusted|key|require|signature|timeout|repeat|usb|VID|PID|COM[0-9]*|Intel|HEX|ELF|HTML|XML|JSON|TOML|INI|SHA|USB|FTDI|UART|Linux|Windows|minisign|Ed25519|Base64|UTF|ASCII|DTR|SIGHUP|SIGTERM|Ctrl|TI|TXT|Motorola|SREC|TEVR|R7|flock)$'

session() {
    run help --help
    for command in check convert flash journal plan ports verify; do
        run "help-$command" "$command" --help
    done
    "$sim" --help >"$work/$language-sim-help.out"
    run usage convert
    run twice flash fw.hex -p x --timeout 1 --timeout 2
    run unknown flash "$work/fw.hex" -p x --bogus
    run number flash "$work/fw.hex" -p x --timeout 9s
    run station --config "$work/none.toml" flash "$work/fw.hex" -p x
    run checksum convert "$work/checksum.hex"
    run empty convert "$work/empty.hex"
    run folder verify "$work/fw.hex" "$work"
    run ports ports
    run missing flash "$work/fw.hex" --port "$work/no-such-port"
    run null check /dev/null
    run plan plan "$work/fw.hex" --trusted-key "$work/key.pub"
    run altered flash "$work/altered.hex" -p x --trusted-key "$work/key.pub"

    start_sim -v --bad-checksum 2
    run check check "$work/line" --listen 0.2
    run flash flash "$work/fw.hex" --port "$work/line" --journal "$work/$language.journal"
    finish_sim
    cp "$work/sim.err" "$work/$language-sim.err"
    run verify verify "$work/fw.hex" "$work/image"
    start_sim --no-echo
    # Another program's lock on the line: the refusal names it. (-o: the lock is flock's own,
    # gone with it.)
    flock -o "$work/line" sleep 5 &
    holder=$!
    for _ in $(seq 100); do flock -n "$work/line" true || break; sleep 0.02; done
    run busy check "$work/line" --listen 0.1
    kill "$holder"
    wait "$holder" 2>/dev/null
    run no-echo flash "$work/fw.hex" --port "$work/line" --journal "$work/$language.journal"
    stop_sim
    run journal journal "$work/$language.journal"
}

printf ':0G0000000102FB\n' >"$work/digit.hex"
printf ':02000000010200\n:00000001FF\n' >"$work/checksum.hex"
: >"$work/empty.hex"
cp "$source/examples/gap.hex" "$work/fw.hex"
minisign -G -W -p "$work/key.pub" -s "$work/key.sec" >/dev/null 2>&1 || fail "minisign -G"
minisign -S -s "$work/key.sec" -m "$work/fw.hex" -t "TEVR-R7 2.3.1" >/dev/null 2>&1 ||
    fail "minisign -S"
sed 's/:00000001FF/:00000001ff/' "$work/fw.hex" >"$work/altered.hex"
cp "$work/fw.hex.minisig" "$work/altered.hex.minisig"

# --- Russian: LANGUAGE decides in a UTF-8 locale.
language=ru
export LC_ALL=C.UTF-8 LANGUAGE=ru
session
for file in "$work"/ru-*; do
    for word in $(own_words "$file" | grep -oE '[A-Za-z][A-Za-z0-9]+' | sort -u); do
        grep -qE "$allowed" <<<"$word" || fail "English '$word' in ${file#"$work/"}: $(grep -m1 -- "$word" "$file")"
    done
done
has help.out "Использование: tevr-flash [ПАРАМЕТРЫ] КОМАНДА"
has help-check.out "Использование: tevr-flash check [ПАРАМЕТРЫ] ПОРТ..."
has help-flash.out "--timeout СЕКУНДЫ=10 (от 0,001 до 86400)"
has sim-help.out "Имитатор загрузчика БК ТЕВР-R7"
has usage.err "Не указан обязательный аргумент ФАЙЛ"
has twice.err "--timeout указан больше одного раза"
has checksum.err "tevr-flash: $work/checksum.hex: строка 1: неверная контрольная сумма записи"
has folder.err "это папка, а не файл"
has check.err "tevr-flash: $work/line: линия готова"
has flash.err "блока по адресу 0200 на $work/line"
[ "$(tail -n 1 "$work/ru-flash.err")" = "Обновление ПО в Тевр R7 завершено" ] ||
    fail "flash's last line: $(tail -n 1 "$work/ru-flash.err")"
has no-echo.err "эха нет совсем"
has busy.err "закройте программу flock (процесс $holder)"
has verify.out "проверено: образ содержит все данные $work/fw.hex (224 байта) по их адресам"
unset LC_ALL LANGUAGE
LANG=ru_RU.UTF-8 run lang --help
has lang.out "Использование: tevr-flash"

# --- English: no Russian locale, or LANGUAGE=en.
language=en
export LC_ALL=C.UTF-8 LANGUAGE=en
session
for file in "$work"/en-*; do
    own_words "$file" | LC_ALL=C.UTF-8 grep -qP '[\x{0400}-\x{04FF}]' &&
        fail "Cyrillic in ${file#"$work/"}: $(LC_ALL=C.UTF-8 grep -m1 -P '[\x{0400}-\x{04FF}]' "$file")"
done
has help-check.out "Usage: tevr-flash check [OPTIONS] PORT..."
has usage.err "FILE is required"
has no-echo.err "no echo at all"
has busy.err "close flock (process $holder), which holds the port"
[ "$(tail -n 1 "$work/en-flash.err")" = "The software update of the TEVR R7 is complete" ] ||
    fail "flash's last line: $(tail -n 1 "$work/en-flash.err")"

# The same statuses in both languages.
for file in "$work"/ru-*.status; do
    name=${file#"$work/ru-"}
    [ -f "$work/en-$name" ] && ! cmp -s "$file" "$work/en-$name" &&
        fail "${name%.status}: status $(cat "$file") in Russian, $(cat "$work/en-$name") in English"
done
status usage 2
status folder 1
status flash 0
status no-echo 1
exit $failed
