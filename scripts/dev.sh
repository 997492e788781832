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
          poppler-utils xvfb xauth xdotool libxcb1-dev desktop-file-utils dpkg-dev file)

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

# build DIR [cmake options...]
build() {
    local dir=$1; shift
    cmake -S "$root" -B "$dir" -G Ninja "$@" || die "configuring $dir failed"
    cmake --build "$dir" --parallel "$jobs" || die "building $dir failed"
}

run_tests() {
    local dir=$1
    (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$jobs")
}

case "${1:-}" in
run)
    install_missing
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
        die "no display found. Start it under a virtual X server instead:
    xvfb-run -a bash scripts/dev.sh run"
    fi
    exec "$root/build/prixgeneral"
    ;;
test)
    install_missing
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    run_tests "$root/build"
    build "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DPRIXGENERAL_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_tests "$root/build-asan"
    ;;
bench)
    install_missing
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$root/build" --target bench_prixgeneral --parallel "$jobs"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$root/build/bench/bench_prixgeneral"
    ;;
windows)
    install_missing
    # Build-time tools run from the Linux build.
    build "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec bash "$root/scripts/windows/build.sh"
    ;;
*)
    echo "usage: bash scripts/dev.sh run|test|bench|windows" >&2
    exit 2
    ;;
esac
