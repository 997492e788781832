#!/usr/bin/env bash
# Sets up everything Prix général needs on Debian 12, builds it and then
# either starts the program or runs the whole test suite.
#   bash scripts/dev.sh run     build and start the program
#   bash scripts/dev.sh test    build and run every test, plain and under sanitizers
#   bash scripts/dev.sh bench   build and run the benchmark
#   bash scripts/dev.sh windows build prixgeneral.exe and its installer, test both under Wine
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
packages=(qt6-base-dev libgl-dev cmake g++ ninja-build fonts-dejavu-core
          poppler-utils xvfb xauth xdotool libxcb1-dev desktop-file-utils dpkg-dev file lintian appstream)

die() { echo "dev.sh: $*" >&2; exit 1; }

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    command -v apt-get >/dev/null || die "apt-get not found: install ${missing[*]} by hand"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || die "run as root (or install sudo) to install: ${missing[*]}"
        sudo=(sudo)
    fi
    echo "dev.sh: installing ${missing[*]}"
    "${sudo[@]}" apt-get update -q || die "apt-get update failed: check the network and the package sources"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}" \
        || die "could not install: ${missing[*]}"
}

# build PRESET: the configure and build presets of CMakePresets.json
build() {
    (cd "$root" && cmake --preset "$1") || die "configuring the $1 build failed"
    (cd "$root" && cmake --build --preset "$1" --parallel "$jobs") || die "building the $1 build failed"
}

run_tests() {
    (cd "$root" && ctest --preset "$1" --parallel "$jobs")
}

case "${1:-}" in
run)
    install_missing
    build default
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        die "no display found. Start it under a virtual X server instead:
    xvfb-run -a bash scripts/dev.sh run"
    fi
    exec "$root/build/prixgeneral"
    ;;
test)
    install_missing
    build default
    run_tests default
    build asan
    run_tests asan
    ;;
bench)
    install_missing
    build default
    cmake --build "$root/build" --target bench_prixgeneral --parallel "$jobs"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$root/build/bench/bench_prixgeneral"
    ;;
windows)
    install_missing
    # Build-time tools (prescale_icons) run from the Linux build.
    build default
    exec bash "$root/scripts/windows/build.sh"
    ;;
*)
    echo "usage: bash scripts/dev.sh run|test|bench|windows" >&2
    exit 2
    ;;
esac
