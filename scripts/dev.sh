#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (as root):
#   scripts/dev.sh run     installs what is missing, builds, starts the program
#   scripts/dev.sh test    installs what is missing, builds, runs every test
#   scripts/dev.sh matrix  the further builds CI runs the tests in: Clang on the parts without
#                          Qt, and GCC with AddressSanitizer and UndefinedBehaviorSanitizer
# Our own builds treat warnings as errors; a plain `cmake` build of the project does not.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl1-mesa-dev
          fonts-liberation2 fonts-dejavu-core qt6-translations-l10n qt6-svg-dev zlib1g-dev)
# The real-window check: a private X server, a small window manager, X events and screenshots,
# and a clipboard filled from the shell (xclip); python3 for what the simulated plotter
# received, its buffer queries left out. LinuxCNC's interpreter rs274, which the
# standard NC reading is compared with (run as a program by a test only; nothing of the
# program depends on it); hp2xx only as the yardstick of bench/preview_vs_hp2xx.sh.
test_packages=(xvfb openbox x11-utils xdotool x11-apps netpbm xclip python3 linuxcnc-uspace hp2xx)
matrix_packages=(clang)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DPLOTALON_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# run_tests DIR [ctest options...]
run_tests() {
    local dir=$1
    shift
    (cd "$dir" && ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@")
}

build() {
    configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
}

matrix() {
    install_missing "${packages[@]}" "${test_packages[@]}" "${matrix_packages[@]}"
    # The comparison with LinuxCNC's interpreter runs its 300 programs in the first build only:
    # it spends its time in the other program, and alone it would double these runs.
    local once=(-E 'Rs274Differential')
    # A second compiler where the output is made: the engine, the editing core, the sender and
    # the preview's model with their tests and the command-line tools. The windows are
    # compiled by GCC twice already, and leaving them out keeps CI short on two cores.
    echo "== Clang, the parts without Qt"
    CXX=clang++ configure_and_build build-clang -DCMAKE_BUILD_TYPE=Debug -DPLOTALON_WITH_BENCH=OFF \
        -DPLOTALON_WITH_QT=OFF
    run_tests build-clang "${once[@]}"
    # -O1 keeps the instrumented tests fast; -g1 keeps file and line in the reports.
    echo "== GCC, AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build build-sanitize -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="-O1 -g1" \
        -DPLOTALON_WITH_BENCH=OFF -DPLOTALON_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
        LSAN_OPTIONS=suppressions="$PWD/scripts/lsan.supp" \
        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_tests build-sanitize "${once[@]}"
}

case "${1:-}" in
    run)
        install_missing "${packages[@]}"
        build
        if [ -x build/app/plotalon ]; then
            exec build/app/plotalon "${@:2}"
        else
            exec build/tools/plotalon-convert --help
        fi
        ;;
    test)
        install_missing "${packages[@]}" "${test_packages[@]}"
        build
        run_tests build
        ;;
    matrix)
        matrix
        ;;
    *)
        echo "usage: scripts/dev.sh run|test|matrix" >&2
        exit 2
        ;;
esac
