#!/usr/bin/env bash
# The main job. With a display: a simulated 4-in/8-out processor on a pseudo-terminal and the
# panel connected to it; the simulator stops when the window closes. Without a display: the
# command-line demonstration (tools/demo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display (DISPLAY and WAYLAND_DISPLAY are not set): command-line demonstration"
    exec tools/demo.sh "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/sonvex-run.XXXXXX")
sim_pid=""
cleanup() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

line="$work/line"
# Paced like the real 9600 baud line.
"$BIN/sonvex-sim" --device 1:1 --link "$line" >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 1 50); do
    [ -e "$line" ] && break
    sleep 0.1
done
[ -e "$line" ] || { echo "run: the simulator did not start" >&2; exit 1; }

echo "Simulated 4-in/8-out processor with device ID 1 on $line"
echo "Starting: sonvex --model 4x8 --port $line --id 1 (close the window to stop)"
"$BIN/sonvex" --model 4x8 --port "$line" --id 1 "$@"
