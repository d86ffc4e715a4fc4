#!/usr/bin/env bash
# Installs what is missing, builds and starts Mirvane. Without a display it starts the
# program on a private X display, saves a screenshot and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ -n "${DISPLAY:-}" ]; then
    exec build/src/mirvane
fi

shot="$root/build/mirvane-screenshot.png"
scripts/run-under-xvfb.sh bash -c '
    build/src/mirvane &
    program=$!
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "Corvell Software: Mirvane 2008" > /dev/null 2>&1 && break
        sleep 0.1
    done
    xdotool search --sync --onlyvisible --name "Corvell Software: Mirvane 2008" > /dev/null
    import -window root "$1"
    kill $program' screenshot "$shot"
echo "No display here: Mirvane ran on a private X display. Screenshot: $shot"
