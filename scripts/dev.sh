#!/usr/bin/env bash
# Sets up everything Prix général needs on Debian 12 or Debian 13, builds it
# and then either starts the program or runs the whole test suite.
#   bash scripts/dev.sh run      build and start the program
#   bash scripts/dev.sh test     build and run every test, plain and under sanitizers; on
#                                Debian 12 also the plain suite on Debian 13 and the package there
#   bash scripts/dev.sh debian13 only the Debian 13 part of `test` (scripts/debian13.sh)
#   bash scripts/dev.sh testing  the plain suite on Debian testing (forky), in a root made as the
#                                Debian 13 one; not part of `test`, as testing moves
#   bash scripts/dev.sh bench    build and run the benchmark
#   bash scripts/dev.sh windows  build prixgeneral.exe and its installer, test both under Wine
#                                (on Debian 13; from Debian 12 in the Debian 13 root)
# PRIXGENERAL_NO_ASAN=1 leaves out the sanitized build, PRIXGENERAL_NO_MAKE=1 the build with CMake's
# default generator, PRIXGENERAL_NO_DEBIAN13=1 the Debian 13 part.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
# shellcheck source=packages.sh
. "$root/scripts/packages.sh"
packages=("${linux_packages[@]}")

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

# The tests of a failure on a French system need fr_FR.UTF-8; they skip without it.
french_locale() {
    locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$' && return 0
    [ "$(id -u)" -eq 0 ] || { echo "dev.sh: fr_FR.UTF-8 is not generated (as root: localedef -i fr_FR -f UTF-8 fr_FR.UTF-8)"; return 0; }
    localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 || echo "dev.sh: could not generate fr_FR.UTF-8"
}

# build PRESET: the configure and build presets of CMakePresets.json
build() {
    (cd "$root" && cmake --preset "$1") || die "configuring the $1 build failed"
    (cd "$root" && cmake --build --preset "$1" --parallel "$jobs") || die "building the $1 build failed"
}

# The presets build with Ninja; this builds the program and its tests once
# more with CMake's default generator (Unix Makefiles), as `cmake -S . -B
# build && cmake --build build` does, so a rule that only Ninja gets right
# fails here.
build_default_generator() {
    cmake -S "$root" -B "$root/build-make" || die "configuring build-make with the default generator failed"
    cmake --build "$root/build-make" --parallel "$jobs" || die "building build-make with the default generator failed"
}

run_tests() {
    (cd "$root" && ctest --preset "$1" --parallel "$jobs")
}

on_debian12() {
    [ -r /etc/os-release ] && (. /etc/os-release && [ "${ID:-}" = debian ] && [ "${VERSION_ID:-}" = 12 ])
}

# scripts/debian13.sh ARGS..., as root.
in_debian13() {
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || die "the Debian 13 root needs root (debootstrap, mount, chroot): run as root
or with sudo, or leave the Debian 13 part of the tests out with PRIXGENERAL_NO_DEBIAN13=1"
        sudo=(sudo env "PRIXGENERAL_CACHE=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}")
    fi
    "${sudo[@]}" bash "$root/scripts/debian13.sh" "$@"
}

# The plain suite in a Debian 13 root, then the package built here installed
# and started there: the one package a club downloads runs on both.
debian13() {
    (cd "$root/build" && cpack -G DEB >/dev/null) || die "building the Debian package failed"
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")
    in_debian13 test "$root/build/prixgeneral_${version}_amd64.deb"
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
    french_locale
    build default
    run_tests default
    [ -n "${PRIXGENERAL_NO_MAKE:-}" ] || build_default_generator
    if [ -z "${PRIXGENERAL_NO_ASAN:-}" ]; then
        build asan
        run_tests asan
    fi
    if on_debian12 && [ -z "${PRIXGENERAL_NO_DEBIAN13:-}" ]; then
        debian13
    fi
    ;;
debian13)
    install_missing
    build default
    debian13
    ;;
testing)
    in_debian13 --suite forky test
    ;;
bench)
    install_missing
    build default
    cmake --build "$root/build" --target bench_prixgeneral --parallel "$jobs"
    QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$root/build/bench/bench_prixgeneral"
    ;;
windows)
    # Debian 13's maintained Qt is built for Windows with Debian 13's tools.
    if on_debian12; then
        in_debian13 windows
        exit
    fi
    install_missing
    # Build-time tools (prescale_icons) run from the Linux build.
    build default
    exec bash "$root/scripts/windows/build.sh"
    ;;
*)
    echo "usage: bash scripts/dev.sh run|test|debian13|testing|bench|windows" >&2
    exit 2
    ;;
esac
