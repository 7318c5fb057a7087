#!/usr/bin/env bash
# The main job: show what Sonvex builds for a default 4-in/8-out program.
set -euo pipefail
cd "$(dirname "$0")/.."
exec build/bin/sonvex-demo "$@"
