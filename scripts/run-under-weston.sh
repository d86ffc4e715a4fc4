#!/usr/bin/env bash
# Runs a command in a headless Wayland session (weston with XWayland) with an accessibility
# bus, as a person's Wayland desktop would have them: WAYLAND_DISPLAY and DISPLAY (XWayland)
# are set, and no toolkit platform is asked for.
set -euo pipefail

workdir=$(mktemp -d)
cleanup() {
    [ -n "${weston_pid:-}" ] && kill "$weston_pid" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM

weston --backend=headless-backend.so --xwayland --socket=wayland-mirvane --width=1280 --height=1024 \
    --idle-time=0 > "$workdir/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 1 100); do
    grep -q "xserver listening on display" "$workdir/weston.log" && break
    sleep 0.1
done
display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$workdir/weston.log" | head -n1)
[ -n "$display" ] || { echo "weston did not start XWayland" >&2; cat "$workdir/weston.log" >&2; exit 1; }
export WAYLAND_DISPLAY=wayland-mirvane DISPLAY="$display"

"$(dirname "$0")/with-accessibility-bus.sh" "$@"
