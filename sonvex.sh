#!/usr/bin/env bash
# Sonvex set-up, build, run and test in one place.
#   ./sonvex.sh run     install what is missing, build, run the main job (the panel
#                       connected to the simulator, or without a display the CLI demo)
#   ./sonvex.sh test    install what is missing, build, run every test
#                       (also the core again under AddressSanitizer + UBSan)
#   ./sonvex.sh bench   build and run the benchmarks
#   ./sonvex.sh build   install what is missing and build only
set -euo pipefail
cd "$(dirname "$0")"

# poppler-utils: the data view tests read printed PDF files back. fonts-droid-fallback: a font
# with the full-width colon of the printed title.
# libgmock-dev: no test uses GoogleMock, but the GoogleTest CMake package of Debian and Ubuntu
# checks for its library.
PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev poppler-utils fonts-droid-fallback)
JOBS=$(nproc 2>/dev/null || echo 2)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "sonvex: installing ${missing[*]}" >&2
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_main() {
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$JOBS"
}

build_sanitize() {
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize -j "$JOBS"
}

cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
run)
    install_missing
    build_main
    exec tools/run.sh "$@"
    ;;
test)
    install_missing
    build_main
    ctest --preset default -j "$JOBS"
    build_sanitize
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --preset sanitize -j "$JOBS"
    ;;
bench)
    install_missing
    build_main
    exec tools/bench.sh "$@"
    ;;
build)
    install_missing
    build_main
    ;;
*)
    echo "usage: $0 run|test|bench|build" >&2
    exit 2
    ;;
esac
