#!/usr/bin/env bash
# Installs what is missing, builds MRW, then starts the desktop program ("run", the default)
# or runs every test ("test"). Extra arguments after "run" go to the program.
#
#   ./build.sh run [/D] [--port DEVICE]
#   ./build.sh test
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
action=${1:-run}
[ $# -gt 0 ] && shift

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-dev poppler-utils fonts-dejavu-core
)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
}

install_missing
build
case "$action" in
    run)
        exec build/bin/mrw "$@"
        ;;
    test)
        ctest --test-dir build --output-on-failure -j "$(nproc)"
        ;;
    build)
        ;;
    *)
        echo "usage: $0 [run|test|build]" >&2
        exit 2
        ;;
esac
