#!/usr/bin/env bash
# Runs a command in a Wayland session (weston with XWayland, no screen) with an accessibility
# bus, as a person's Wayland desktop would have them: WAYLAND_DISPLAY and DISPLAY (XWayland)
# are set, and no toolkit platform is asked for.
#
# The session's pointer and keyboard are a person's at a remote-desktop viewer: weston's RDP
# backend has a real seat, fed by xfreerdp on a screenless X server of its own, whose display
# is MIRVANE_INPUT_DISPLAY. Input injected there reaches weston as a person's; input injected
# into XWayland itself would bypass the compositor (and crashes XWayland 22 when headless).
set -euo pipefail

workdir=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$workdir"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$workdir/runtime"
mkdir -m 700 -p "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM

wait_for_line() { # file, pattern: up to 20 s
    for _ in $(seq 1 200); do
        grep -q "$2" "$1" && return 0
        sleep 0.1
    done
    echo "never saw '$2' in $1:" >&2
    cat "$1" >&2
    return 1
}

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$workdir/key.pem" -out "$workdir/cert.pem" -days 1 \
    -subj /CN=localhost 2> /dev/null
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
weston --backend=rdp-backend.so --xwayland --socket=wayland-mirvane --width=1280 --height=1024 \
    --no-clients-resize --address=127.0.0.1 --port="$port" --rdp-tls-cert="$workdir/cert.pem" \
    --rdp-tls-key="$workdir/key.pem" --idle-time=0 > "$workdir/weston.log" 2>&1 &
pids+=($!)
wait_for_line "$workdir/weston.log" "xserver listening on display"
display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$workdir/weston.log" | head -n1)

exec 3> "$workdir/viewer"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
exec 3>&-
wait_for_line "$workdir/viewer" "[0-9]"
viewer=":$(head -n1 "$workdir/viewer")"
DISPLAY="$viewer" xfreerdp /v:127.0.0.1:"$port" /cert:ignore /sec:tls /u:person /p:person /size:1280x1024 \
    -decorations > "$workdir/xfreerdp.log" 2>&1 &
pids+=($!)
wait_for_line "$workdir/weston.log" "xf_peer_activate"

export WAYLAND_DISPLAY=wayland-mirvane DISPLAY="$display" MIRVANE_INPUT_DISPLAY="$viewer"
"$(dirname "$0")/with-accessibility-bus.sh" "$@"
