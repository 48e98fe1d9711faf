#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# po/ru.po against the code as it is now: msgfmt accepts it, every message the code makes
# (xgettext over the front ends, as scripts/update-po runs it) has its translation, and every
# translation keeps the placeholders (%1, %2, ...) of its message.
#   catalogue_test.sh SOURCE_DIR
set -uo pipefail
root=$1
po=$root/po/ru.po
work=$(mktemp -d "${TMPDIR:-/tmp}/tevr-po-XXXXXX")
trap 'rm -rf "$work"' EXIT
failed=0

msgfmt --check --check-accelerators -o /dev/null "$po" || failed=1

"$root/scripts/update-po" --pot "$work/tevr-flash.pot" || exit 1
# Untranslated and fuzzy entries count as missing.
if ! msgcmp "$po" "$work/tevr-flash.pot" 2>"$work/missing"; then
    echo "messages of the code missing from po/ru.po (scripts/update-po adds them):"
    grep -v '^msgcmp: found' "$work/missing"
    failed=1
fi

# One line per message: the placeholders of the message id and of each translation.
placeholders() { grep -oE '%[1-9]' <<<"$1" | sort -u | tr -d '\n'; }
export -f placeholders
if ! msgexec -i "$po" bash -c '
    [ -z "$MSGEXEC_MSGID" ] && exit 0
    translation=$(cat)
    [ "$(placeholders "$MSGEXEC_MSGID")" = "$(placeholders "$translation")" ] && exit 0
    echo "placeholders differ: $MSGEXEC_MSGID" >&2
    exit 1' >/dev/null; then
    failed=1
fi
exit $failed
