#!/usr/bin/env bash
# Builds Mirvane and runs the benchmarks on a private X display: the hover press delay and
# the cost of the noise while nobody types, how well key timing tells the noise from the
# person's keys, and start-up time, memory and idle CPU against a bare window with the same
# controls, for the Linux program and for the Windows one under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
MIRVANE_PROGRAM="$root/build/src/mirvane" scripts/run-under-xvfb.sh /usr/bin/python3 -W ignore bench/hover_delay.py
MIRVANE_PROGRAM="$root/build/src/mirvane" scripts/run-under-xvfb.sh /usr/bin/python3 -W ignore bench/noise_idle.py
MIRVANE_PROGRAM="$root/build/src/mirvane" MIRVANE_DROP_TARGET="$root/build/tests/drop_target" \
    scripts/run-under-xvfb.sh /usr/bin/python3 -W ignore bench/noise_timing.py
scripts/run-under-xvfb.sh /usr/bin/python3 -W ignore bench/startup_memory.py "$root/build/src/mirvane" \
    "$root/build/bench/bare_window"

# The Windows program under Wine against a bare Win32 window, in a prefix of the benchmark's own
# so that no test's Wine session is shared; a new prefix is set up first, unattended.
scripts/build.sh build-windows -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DMIRVANE_WITH_QT=OFF \
    -DCMAKE_BUILD_TYPE=Release
export WINEPREFIX="$root/build-windows/bench-wineprefix" WINEDEBUG=-all
[ -f "$WINEPREFIX/system.reg" ] || scripts/run-under-xvfb.sh sh -c 'wineboot --init && wineserver --wait'
scripts/run-under-xvfb.sh /usr/bin/python3 -W ignore bench/startup_memory.py --wine \
    "$root/build-windows/src/mirvane.exe" "$root/build-windows/bench/bare_window_win32.exe"
