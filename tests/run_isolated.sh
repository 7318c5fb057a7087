#!/bin/sh
# Runs one test process with folders of its own, made fresh for this run and removed when it
# ends: home and settings (HOME, XDG_CONFIG_HOME and the other XDG folders, so QSettings and
# QStandardPaths land there, test mode included), and temporary files (TMPDIR). No test sees
# the settings or files of another, whatever runs beside it under ctest -j.
#   run_isolated.sh ROOT PROGRAM [ARGUMENTS...]
# ROOT holds the folders of the test processes running now; it is made when missing.
set -u
root=$1
shift
mkdir -p "$root" || exit 1
run=$(mktemp -d "$root/run.XXXXXXXX") || exit 1
trap 'rm -rf "$run"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for folder in home config data cache state runtime tmp; do
    mkdir -m 700 "$run/$folder" || exit 1
done
export HOME="$run/home" TMPDIR="$run/tmp" XDG_CONFIG_HOME="$run/config" \
    XDG_DATA_HOME="$run/data" XDG_CACHE_HOME="$run/cache" XDG_STATE_HOME="$run/state" \
    XDG_RUNTIME_DIR="$run/runtime"
"$@"
