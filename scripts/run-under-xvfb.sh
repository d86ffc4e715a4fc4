#!/usr/bin/env bash
# Runs a command on a private X display with a window manager and an accessibility bus,
# as a person's desktop would have them. Used by the end-to-end tests and the launcher.
set -euo pipefail

screen="${MIRVANE_SCREEN:-1280x1024x24}"
workdir=$(mktemp -d)
cleanup() {
    [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
exec 3> "$workdir/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp > "$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$workdir/display" ] && break
    sleep 0.1
done
[ -s "$workdir/display" ] || { echo "Xvfb did not start" >&2; cat "$workdir/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$workdir/display")"

openbox --sm-disable > "$workdir/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 1 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
"$(dirname "$0")/with-accessibility-bus.sh" "$@"
