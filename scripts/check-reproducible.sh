#!/usr/bin/env bash
# Builds mirvane.exe once more, from a clean copy of the repository's files in a temporary folder,
# the way the Windows build is configured, and fails unless it has the same bytes as one built
# already:
#   scripts/check-reproducible.sh [EXE]        (EXE: build-windows/src/mirvane.exe)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
built=$(realpath "${1:-$root/build-windows/src/mirvane.exe}")
[ -f "$built" ] || { echo "no $built to compare with" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
copy="$work/copy/of/mirvane" # deeper and longer than any usual clone, so a path that leaks shows
mkdir -p "$copy"

# The files git knows and new ones not ignored, as they are in the work tree: what the build
# beside it was made from, without any build folder.
(cd "$root" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [ -f "$file" ] && printf '%s\0' "$file"; done |
    tar --null -T - -cf -) | tar -xf - -C "$copy"

if ! { cmake -S "$copy" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/mingw-w64.cmake" \
    -DMIRVANE_WITH_QT=OFF -DCMAKE_BUILD_TYPE=Release &&
    cmake --build "$work/build" --target mirvane; } > "$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    echo "the clean copy did not build" >&2
    exit 1
fi
again="$work/build/src/mirvane.exe"

if ! cmp -s "$built" "$again"; then
    echo "mirvane.exe differs when built from a clean copy in another folder:" >&2
    sha256sum "$built" "$again" >&2
    cmp -l "$built" "$again" | head -n 20 >&2 || true
    echo "(byte offset, then the two octal values; $(cmp -l "$built" "$again" | wc -l) bytes differ)" >&2
    exit 1
fi
echo "mirvane.exe is the same, byte for byte, built from a clean copy elsewhere: SHA-256 $(sha256sum "$again" | cut -d' ' -f1)"
