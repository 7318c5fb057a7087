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

. tools/sim-line.sh
# Paced like the real 9600 baud line.
start_sim sonvex-run --device 1:1

echo "Simulated 4-in/8-out processor with device ID 1 on $line"
echo "Starting: sonvex --model 4x8 --port $line --id 1 (close the window to stop)"
"$BIN/sonvex" --model 4x8 --port "$line" --id 1 "$@"
