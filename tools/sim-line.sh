# Sourced by the run scripts (BIN set to the programs' folder):
#   start_sim NAME SIM-ARGS...
# starts sonvex-sim with SIM-ARGS on a pseudo-terminal reachable as $line, inside a temporary
# folder $work named after NAME, and stops it and removes the folder when the script exits.

sim_pid=""
work=""
stop_sim() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    [ -z "$work" ] || rm -rf "$work"
}

start_sim() {
    local name=$1
    shift
    work=$(mktemp -d "${TMPDIR:-/tmp}/$name.XXXXXX")
    trap stop_sim EXIT
    line="$work/line"
    "$BIN/sonvex-sim" "$@" --link "$line" >"$work/sim.out" 2>&1 &
    sim_pid=$!
    for _ in $(seq 1 50); do
        [ -e "$line" ] && return 0
        sleep 0.1
    done
    echo "$name: the simulator did not start" >&2
    exit 1
}
