#!/usr/bin/env bash
# Builds Mirvane and runs the benchmarks on a private X display: the hover press delay and
# the cost of the noise while nobody types, how well key timing tells the noise from the
# person's keys, and start-up time, memory and idle CPU against a bare Qt window with the same
# controls.
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
