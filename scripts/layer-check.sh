#!/usr/bin/env bash
# Fails, naming each file and include, when a lower layer includes a header of a higher one.
# Layers, lowest first: platform, then pak and effects (which do not include each other), then
# scene, content and app. Every layer but the shell (app) is checked. The Windows entry point under
# platform/win32/entry is the program's main, which belongs to the shell.
set -uo pipefail
cd "${1:-$(dirname "$0")/..}" || exit 2

rank() {
    case $1 in
    platform) echo 0 ;;
    pak | effects) echo 1 ;;
    scene) echo 2 ;;
    content) echo 3 ;;
    app) echo 4 ;;
    *) echo -1 ;;
    esac
}

bad=0
while IFS= read -r file; do
    case $file in platform/win32/entry/*) continue ;; esac
    layer=${file%%/*}
    own=$(rank "$layer")
    while IFS=: read -r line header; do
        other=${header%%/*}
        theirs=$(rank "$other")
        [ "$theirs" -lt 0 ] && continue
        if [ "$theirs" -gt "$own" ] || { [ "$theirs" -eq "$own" ] && [ "$other" != "$layer" ]; }; then
            echo "$file:$line: includes \"$header\" ($other is not below $layer)"
            bad=1
        fi
    done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
        sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/')
done < <(find platform pak effects scene content -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) | sort)
[ "$bad" -eq 0 ] && echo "layers point down"
exit "$bad"
