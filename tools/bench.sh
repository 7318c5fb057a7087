#!/usr/bin/env bash
# Runs every benchmark program that was built (build/bin/bench-*).
set -euo pipefail
cd "$(dirname "$0")/.."
found=0
for b in build/bin/bench-*; do
    [ -x "$b" ] || continue
    found=1
    echo "== $(basename "$b")"
    "$b" "$@"
done
[ "$found" -eq 1 ] || { echo "no benchmarks built" >&2; exit 1; }
