#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows installer: what it holds, an install under Wine whose tevr-flash.exe runs and
# carries its version resource, and a newer version that replaces the installed one instead of
# standing beside it.
#   msi_test.sh MSI WXS VERSION PREFIX
set -euo pipefail

msi=$1 wxs=$2 version=$3 prefix=$4
here=$(dirname "$(realpath "$0")")
bin=$(dirname "$(realpath "$msi")")
work=$(mktemp -d "${TMPDIR:-/tmp}/tevr-msi-XXXXXX")
trap 'rm -rf "$work"' EXIT
run() { "$here/wine_prefix.sh" run "$prefix" "$@"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

files=$(msiextract -l "$msi")
expected="tevr-loader/tevr-flash.exe tevr-loader/LICENSE.txt tevr-loader/tevr-flash.ru.mo
    tevr-loader/libgcrypt-20.dll tevr-loader/libgpg-error-0.dll tevr-loader/LGPL-2.1.txt
    tevr-loader/libgcrypt-COPYING.txt tevr-loader/libgpg-error-COPYING.txt"
[ -f "$bin/tevr-loader.exe" ] && expected+=" tevr-loader/tevr-loader.exe"
for f in $expected; do
    grep -qx "$f" <<<"$files" || fail "$f is not in the installer: $files"
done
if [ -f "$bin/tevr-loader.exe" ]; then
    msiinfo export "$msi" Shortcut | grep -q '\[INSTALLDIR\]tevr-loader.exe' ||
        fail "no Start-menu shortcut to tevr-loader.exe"
fi
msiinfo export "$msi" Property | tr -d '\r' | grep -qx $'ALLUSERS\t1' || fail "not installed per machine"

installed() {
    run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | awk '$1 == "DisplayName" && $3 == "tevr-loader" { n++ } END { print n + 0 }'
}
run msiexec /i "Z:$(realpath "$msi")" /qn || fail "msiexec /i failed"
out=$(run 'C:\Program Files\tevr-loader\tevr-flash.exe' --version | tr -d '\r')
[ "$out" = "tevr-flash $version" ] || fail "the installed tevr-flash.exe says '$out'"
strings -e l "$prefix/drive_c/Program Files/tevr-loader/tevr-flash.exe" | grep -qx "$version" ||
    fail "the installed tevr-flash.exe has no version resource of $version"
# The catalogue beside it gives a Russian user Russian words.
LANGUAGE=ru run 'C:\Program Files\tevr-loader\tevr-flash.exe' --help | grep -q "Использование:" ||
    fail "the installed tevr-flash.exe does not speak Russian"

# The same programs as a later version: it takes the place of the one installed.
cp "$bin"/*.exe "$bin"/*.dll "$bin/LICENSE.txt" "$bin/LGPL-2.1.txt" "$bin"/lib*-COPYING.txt \
    "$bin/tevr-flash.ru.mo" "$work/"
defines=()
[ -f "$bin/tevr-loader.exe" ] && defines=(-D Window=1)
(cd "$work" && wixl -a x64 -D Version=99.0.0 "${defines[@]}" -o newer.msi "$wxs")
run msiexec /i "Z:$work/newer.msi" /qn || fail "msiexec /i of the newer version failed"
[ "$(installed)" = 1 ] || fail "the newer version stands beside the older one"
run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' | grep -q 'DisplayVersion.*99.0.0' || fail "the newer version is not the one installed"
run msiexec /x "Z:$work/newer.msi" /qn || fail "msiexec /x failed"
[ "$(installed)" = 0 ] || fail "still installed after msiexec /x"
echo "installer: $(wc -w <<<"$expected") files, installed, upgraded and removed"
