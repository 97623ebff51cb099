#!/usr/bin/env bash
# One entry point for a fresh Debian 12 machine (as root):
#   scripts/dev.sh run   installs what is missing, builds, starts the program
#   scripts/dev.sh test  installs what is missing, builds, runs every test
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
          fonts-liberation2 fonts-dejavu-core)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)"
}

case "${1:-}" in
    run)
        install_missing
        build
        if [ -x build/app/plotalon ]; then
            exec build/app/plotalon "${@:2}"
        else
            exec build/tools/plotalon-convert --help
        fi
        ;;
    test)
        install_missing
        build
        cd build && ctest --output-on-failure -j"$(nproc)" --timeout 600
        ;;
    *)
        echo "usage: scripts/dev.sh run|test" >&2
        exit 2
        ;;
esac
