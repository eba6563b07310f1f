# Shared by the set-up commands: install what a fresh Debian 12 machine lacks, then build.
set -euo pipefail

ZANTRO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ZANTRO_BUILD="${ZANTRO_BUILD:-$ZANTRO_ROOT/build}"

ZANTRO_PACKAGES=(
    g++ cmake make
    qt6-base-dev libqt6sql6-ibase
    firebird3.0-server-core firebird3.0-utils firebird3.0-server libfbclient2 firebird-dev
    g++-mingw-w64-x86-64 wine64
    xvfb xauth python3 time
)

install_missing_packages() {
    local missing=()
    for package in "${ZANTRO_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -q
    # The server package asks no questions and is not started by installing it.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$ZANTRO_ROOT" -B "$ZANTRO_BUILD" -DCMAKE_BUILD_TYPE="${ZANTRO_BUILD_TYPE:-RelWithDebInfo}" > /dev/null
    cmake --build "$ZANTRO_BUILD" -j "$(nproc)"
}
