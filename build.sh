#!/usr/bin/env bash
# Installs what is missing, builds MRW, then starts the desktop program ("run", the default),
# runs every test ("test") or builds the Debian package ("package"). Extra arguments after
# "run" go to the program.
#
#   ./build.sh run [/D] [--port DEVICE]
#   ./build.sh test
#   ./build.sh package      # build/mrw_<version>_<arch>.deb
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
action=${1:-run}
[ $# -gt 0 ] && shift

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-dev poppler-utils fonts-dejavu-core
    dpkg-dev file lintian man-db bash-completion
    xvfb xdotool imagemagick
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
    # The programs look for their data in /usr/share/mrw as a last resort, as the package puts it.
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr
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
    package)
        rm -f build/mrw_*.deb
        cmake --build build --target package
        ;;
    build)
        ;;
    *)
        echo "usage: $0 [run|test|package|build]" >&2
        exit 2
        ;;
esac
