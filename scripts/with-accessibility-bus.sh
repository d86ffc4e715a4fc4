#!/usr/bin/env bash
# Runs a command with a session bus and an accessibility bus, and the toolkit's bridge to it
# switched on, as a person's desktop session has them. The switch reaches every other program
# (the tests' drop target); Mirvane joins the bus only when started with --accessible.
set -euo pipefail
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export NO_AT_BRIDGE=0
exec dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately > /dev/null 2>&1 &
    bus=$!
    "$@"
    status=$?
    kill $bus 2>/dev/null
    exit $status' mirvane-session "$@"
