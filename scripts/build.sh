#!/usr/bin/env bash
# Configures (once) and builds one build tree:
#   scripts/build.sh DIR [--target NAME] [cmake options...]
set -euo pipefail
dir="$1"
shift
target=()
if [ "${1:-}" = "--target" ]; then
    target=(--target "$2")
    shift 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" "${target[@]}"
