#!/usr/bin/env bash
# The main job without hardware: a simulated 4-in/8-out processor on a pseudo-terminal, driven
# by the command-line tool the way an installer would over SSH.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=build/bin

. tools/sim-line.sh
start_sim sonvex-demo --fast --device 3:1

# The simulator answers at once, so the service tick may run faster than the 100 ms a real
# 9600 baud line needs.
cli() { "$BIN/sonvex-cli" "$@" --tick 10; }
heading() { printf '\n== %s ==\n' "$*"; }

echo "Simulated 4-in/8-out processor with device ID 3 on $line"
echo "(every command below runs with --tick 10: the simulator answers at once)"

heading "Devices on the line (sonvex-cli search --port $line)"
cli search --port "$line"

heading "Device 3 (sonvex-cli info --port $line --id 3)"
cli info --port "$line" --id 3 | grep -v '^text [0-9]*: *$' | head -n 12
echo "..."

heading "Output 1 to -3 dB (sonvex-cli set out1.gain=-3 --port $line --id 3)"
cli set out1.gain=-3 --port "$line" --id 3 && echo "acknowledged by the device"

heading "Back up the 30 stored programs (sonvex-cli backup -o venue --port $line --id 3)"
cli backup -o "$work/venue" --port "$line" --id 3
ls -l "$work/venue.dat" | awk '{print $5 " bytes"}'

heading "Parameter table of the live program (sonvex-cli table --port $line --id 3)"
cli table --port "$line" --id 3
