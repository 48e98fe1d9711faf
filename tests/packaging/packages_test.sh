#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Debian packages as a distribution would take them, made from the build folder:
#   packages_test.sh build   BUILD-DIR PACKAGE-DIR   cpack -G DEB into a fresh PACKAGE-DIR
#   packages_test.sh lintian PACKAGE-DIR             no error or warning, only the tags below
#   packages_test.sh install PACKAGE-DIR VERSION     unpacked into a scratch root, they run
set -uo pipefail
mode=$1
failed=0
fail() {
    echo "$*"
    failed=1
}

# Tags that stay (informational, pedantic or overridden), each with its reason.
declare -A kept_tags=(
    [initial-upload-closes-no-bugs]="overridden: not uploaded to Debian, so no ITP bug to close"
)

case $mode in
build)
    build=$2 packages=$3
    rm -rf "$packages"
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$packages" >"$packages.log" 2>&1 ||
        { cat "$packages.log"; exit 1; }
    ls -l "$packages"/*.deb
    ;;
lintian)
    packages=$2
    output=$(lintian --pedantic --display-info --display-experimental --tag-display-limit 0 \
        "$packages"/*.deb 2>&1)
    echo "$output"
    while read -r severity package tag _; do
        tag=${tag%:}
        case $severity in
        E: | W:) fail "lintian ${severity%:}: $tag ($package)" ;;
        I: | P: | X: | O:)
            [ -n "${kept_tags[$tag]:-}" ] ||
                fail "lintian tag $tag ($package) is new: mend it, or list it here with its reason"
            ;;
        esac
    done <<<"$output"
    ;;
install)
    packages=$2 version=$3
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    for deb in "$packages"/*.deb; do
        dpkg -x "$deb" "$root" || fail "dpkg -x $deb failed"
        name=$(dpkg-deb -f "$deb" Package)
        changelog=$(zcat "$root/usr/share/doc/$name/changelog.Debian.gz" | head -n1)
        [[ $changelog == *"($(dpkg-deb -f "$deb" Version))"* ]] ||
            fail "$name: the newest changelog entry '$changelog' is not the package's version"
    done
    grep -qs "<release version=\"$version\"" "$root"/usr/share/metainfo/*.metainfo.xml ||
        fail "the AppStream metadata has no release $version"
    depends=$(dpkg-deb -f "$packages"/tevr-flash_*.deb Depends)
    [[ $depends != *qt* && $depends != *Qt* ]] || fail "tevr-flash depends on Qt: $depends"

    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    printed=$("$root/usr/bin/tevr-flash" --version) || fail "tevr-flash --version failed"
    [ "$printed" = "tevr-flash $version" ] || fail "tevr-flash --version printed '$printed'"
    "$root/usr/bin/bk-sim" --help >/dev/null || fail "bk-sim --help failed"
    if [ -x "$root/usr/bin/tevr-loader" ]; then
        "$root/usr/bin/tevr-loader" --version >/dev/null || fail "tevr-loader --version failed"
    fi
    ;;
*)
    echo "unknown mode $mode"
    exit 2
    ;;
esac
exit $failed
