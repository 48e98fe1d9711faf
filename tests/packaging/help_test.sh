#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A program's help against its manual page: every line of --help (and of each subcommand's
# --help) fits 80 columns, every option and subcommand it lists is in the page, and --version
# prints the program's name and version. Runs without a display, as on a headless bench PC.
# With LANGUAGE (ru), the help in that language against the page of that language.
# help_test.sh PROGRAM MANUAL-PAGE VERSION [LANGUAGE]
set -uo pipefail
program=$1 page=$2 version=$3 language=${4:-en}
name=$(basename "$program")
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export LC_ALL=C.UTF-8 LANGUAGE=$language
subcommands_title=Subcommands:
[ "$language" = ru ] && subcommands_title=Команды:
failed=0
fail() {
    echo "$name: $*"
    failed=1
}

# The page as text to search: roff's escaped hyphens as plain ones, no font changes.
manual=$(sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g' -e 's/\\%//g' "$page")
in_manual() { grep -qE -- "(^|[^-[:alnum:]])$1([^-[:alnum:]]|$)" <<<"$manual"; }

# check_help ARGS...: the help of "$program ARGS... --help"; leaves its subcommands in
# `subcommands`.
subcommands=()
check_help() {
    subcommands=()
    local text
    if ! text=$("$program" "$@" --help); then
        fail "$* --help did not exit with 0"
        return
    fi
    local title="$name${*:+ $*} --help"
    while IFS= read -r line; do
        fail "$title: line longer than 80 columns: $line"
    done < <(grep -E '^.{81,}' <<<"$text")
    # Option lines start with an indented dash; their names are the dashed words before the
    # description.
    local option
    for option in $(grep -E '^ +-' <<<"$text" | sed -E 's/^ +//; s/ {2,}.*//' |
        grep -oE '(^|[ ,])--?[[:alnum:]][-[:alnum:]]*' | tr -d ' ,' | sort -u); do
        in_manual "$option" || fail "$title lists $option, the manual page does not"
    done
    mapfile -t subcommands < <(sed -n "/^$subcommands_title/,/^\$/p" <<<"$text" |
        sed -nE 's/^  ([[:alnum:]][-[:alnum:]]*).*/\1/p')
}

check_help
for sub in "${subcommands[@]}"; do
    in_manual "$sub" || fail "the subcommand $sub is not in the manual page"
    check_help "$sub"
done

printed=$("$program" --version) || fail "--version did not exit with 0"
[ "$printed" = "$name $version" ] || fail "--version printed '$printed', not '$name $version'"
exit $failed
