#!/usr/bin/env bash
# Sonvex set-up, build, run and test in one place.
#   ./sonvex.sh run     install what is missing, build, run the main job (the panel
#                       connected to the simulator, or without a display the CLI demo)
#   ./sonvex.sh test    install what is missing, build, run every test
#                       (also the core again under AddressSanitizer + UBSan)
#   ./sonvex.sh bench   build and run the benchmarks
#   ./sonvex.sh fuzz [SECONDS]
#                       build the fuzz targets with clang (libFuzzer, ASan, UBSan) and run each
#                       for SECONDS (default 30); findings land in build-fuzz/findings
#   ./sonvex.sh soak MINUTES
#                       build and run the operator monkey (Gui_monkey) for MINUTES with a new
#                       random seed, printed first, so a failure can be replayed
#   ./sonvex.sh build   install what is missing and build only
#   ./sonvex.sh package install what is missing, build, make the Debian package
#                       build/sonvex_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")"

# poppler-utils: the data view tests read printed PDF files back. fonts-droid-fallback: a font
# with the full-width colon of the printed title.
# libgmock-dev: no test uses GoogleMock, but the GoogleTest CMake package of Debian and Ubuntu
# checks for its library. dpkg-dev and file: CPack's Debian package finds the library
# dependencies with them; desktop-file-utils: the package test validates the menu entry.
# help2man makes the manual pages from the programs' help, man-db renders them in the package
# test, and appstream's appstreamcli validates the AppStream entry there.
PACKAGES=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-serialport-dev qt6-svg-dev libgl-dev poppler-utils fonts-droid-fallback
          dpkg-dev file desktop-file-utils help2man man-db appstream)
# The fuzz command also needs clang with its libFuzzer runtime.
[ "${1:-}" = fuzz ] && PACKAGES+=(clang)
# The test command runs sonvex-cli under a German locale (decimal comma) as well; locales holds
# the locale sources and locale-gen.
[ "${1:-}" = test ] && PACKAGES+=(locales)
# ser2net: the network line tests put Debian's RFC 2217 server in front of the simulator.
[ "${1:-}" = test ] && PACKAGES+=(ser2net)
TEST_LOCALE=de_DE.UTF-8
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

# Generates the German test locale when it is missing. When that fails the locale tests skip
# and say why; the rest of the run goes on.
ensure_test_locale() {
    locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$' && return 0
    echo "sonvex: generating the locale $TEST_LOCALE for the locale tests" >&2
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    if [ -f /etc/locale.gen ]; then
        # Kept in the list, so a later locale-gen keeps it too.
        $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -qE '^de_DE\.UTF-8 UTF-8' /etc/locale.gen ||
            echo "de_DE.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
        $sudo locale-gen >/dev/null
    fi
    locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$' ||
        $sudo localedef -i de_DE -c -f UTF-8 "$TEST_LOCALE"
}

build_main() {
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$JOBS"
}

# The .deb of the programs with their menu entry and icon, in build/.
build_package() {
    cpack --config build/CPackConfig.cmake -B build
}

build_sanitize() {
    cmake --preset sanitize >/dev/null
    cmake --build --preset sanitize -j "$JOBS"
}

run_fuzz() {
    local seconds=${1:-30}
    cmake --preset fuzz >/dev/null
    cmake --build --preset fuzz -j "$JOBS"
    mkdir -p build-fuzz/findings
    local failed=0
    for target in tests/fuzz/corpus/*/; do
        local name
        name=$(basename "$target")
        # New inputs go to a work corpus in the build folder; the seeds in the repository stay.
        mkdir -p "build-fuzz/corpus/$name"
        echo "sonvex: fuzzing $name for ${seconds}s" >&2
        if ! "build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="build-fuzz/findings/$name-" \
            "build-fuzz/corpus/$name" "$target" "tests/fuzz/regressions/$name" \
            2> >(grep -E "^(Done|stat::number_of_executed_units|==|SUMMARY|.*runtime error)" >&2); then
            echo "sonvex: $name found a fault; the input is in build-fuzz/findings" >&2
            failed=1
        fi
    done
    return $failed
}

# The operator monkey for minutes with a new seed: random actions on the panel against
# sonvex-sim with line faults, then the device compared with the panel. The same seed in
# SONVEX_MONKEY_SEED replays a session.
run_soak() {
    local minutes=${1:-}
    if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
        echo "usage: $0 soak MINUTES" >&2
        return 2
    fi
    cmake --preset default >/dev/null
    cmake --build --preset default -j "$JOBS" --target gui_monkey_test sonvex-sim
    local seed
    seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
    echo "sonvex: soak for $minutes minute(s), seed $seed (SONVEX_MONKEY_SEED=$seed replays it)"
    # A failed run leaves the simulator's frame log in build/soak. Qt Test ends a test function
    # after 5 minutes unless told otherwise.
    mkdir -p build/soak
    SONVEX_MONKEY_SEED=$seed SONVEX_MONKEY_SECONDS=$((minutes * 60)) QT_QPA_PLATFORM=offscreen \
        SONVEX_MONKEY_KEEP="$PWD/build/soak" QTEST_FUNCTION_TIMEOUT=$(((minutes * 60 + 300) * 1000)) \
        tests/run_isolated.sh build/test-runs build/tests/gui_monkey_test
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
    ensure_test_locale ||
        echo "sonvex: could not generate $TEST_LOCALE; the locale tests will skip" >&2
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
fuzz)
    install_missing
    run_fuzz "$@"
    ;;
soak)
    install_missing
    run_soak "$@"
    ;;
build)
    install_missing
    build_main
    ;;
package)
    install_missing
    build_main
    build_package
    ;;
*)
    echo "usage: $0 run|test|bench|build|package|fuzz [SECONDS]|soak MINUTES" >&2
    exit 2
    ;;
esac
