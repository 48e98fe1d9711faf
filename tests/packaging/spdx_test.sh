#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every tracked source file of the project's own (C++, CMake, shell, manual pages) starts with
# its SPDX licence line (after the #! line of a script). Sample HEX files and fuzz corpora are
# data, not sources.
set -euo pipefail
cd "$1"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "not a git checkout: no list of tracked files to check"
    exit 77
fi

missing=0
while IFS= read -r -d '' file; do
    [ -f "$file" ] || continue
    case $file in
        examples/* | fuzz/corpus/*) continue ;;
        *.cpp | *.h | *.h.in | *.cmake | CMakeLists.txt | */CMakeLists.txt | Makefile) ;;
        *.sh | *.bash-completion | *.1 | *.xml.in) ;;
        *) head -c2 "$file" | grep -q '^#!' || continue ;;
    esac
    if ! head -n2 "$file" | grep -q 'SPDX-License-Identifier: MIT'; then
        echo "no SPDX-License-Identifier line at the top of $file"
        missing=1
    fi
done < <(git ls-files -z)
exit $missing
