#!/usr/bin/env bash
# Runs the Linux test suite on Debian 13 (Qt 6.8) from a Debian 12 machine,
# in a Debian 13 root made from Debian's archive and kept in the cache.
#   bash scripts/debian13.sh root         make the root if it is missing; print its path
#   bash scripts/debian13.sh test [DEB]   copy this tree into the root, run `dev.sh test` there
#                                         (plain build); then install the package DEB, built on
#                                         Debian 12, in the root and drive the installed program,
#                                         and run the window tests of DEB's build there
#   bash scripts/debian13.sh windows      the Windows build there (scripts/windows/build.sh), on
#                                         this tree itself: build-windows/ lands here
#   bash scripts/debian13.sh exec COMMAND...
#                                         COMMAND in this tree, in the root as `windows` makes
#                                         it, once the Windows build is there (to run again one
#                                         of its tests: tools/repeat_test.sh)
#   bash scripts/debian13.sh --suite forky root|test [DEB]
#                                         the same in a root of Debian testing (forky), for
#                                         developers trying the next Qt; not part of `dev.sh test`
# Needs root (debootstrap, mount, chroot). Each run works on an overlay of the
# cached root, so the root itself stays as it was made.
set -euo pipefail

src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cache=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}
# shellcheck source=packages.sh
. "$src/scripts/packages.sh"

die() { echo "debian13.sh: $*" >&2; exit 1; }

suite=trixie
if [ "${1:-}" = --suite ]; then
    [ $# -ge 2 ] || die "--suite needs a suite's name"
    suite=$2
    shift 2
fi

# The recipe: whatever changes goes into the root's name, so a changed recipe
# makes a new root.
variant=minbase
# xdg-utils: the package's recommendation, so installing it needs no network.
root_packages=("${linux_packages[@]}" xdg-utils)
case "$suite" in
trixie)
    name=debian13
    release="Debian 13"
    # The Windows toolchain, without what it only recommends (Wine's is most
    # of a desktop).
    bare_packages=("${windows_packages[@]}")
    ;;
forky)
    name=debian-forky
    release="Debian testing (forky)"
    bare_packages=()
    ;;
*) die "no root for the suite '$suite' (trixie, forky)" ;;
esac
# Security updates, and the sources of both suites: the Windows Qt is built
# from Debian's maintained qt6-base source.
extra_sources="Types: deb deb-src
URIs: @MIRROR@
Suites: $suite $suite-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
URIs: http://security.debian.org/debian-security/
Suites: $suite-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
# Testing: its one suite, whose archive may serve a Release file past its
# validity date for a while.
[ "$suite" = trixie ] || extra_sources="Types: deb
URIs: @MIRROR@
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
Check-Valid-Until: no"
recipe=$(printf '%s\n' "$suite" "$variant" "${root_packages[@]}" -- "${bare_packages[@]}" "$extra_sources" \
         | sha256sum | cut -c1-12)
rootdir=$cache/$name-$recipe
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, mount and chroot): run it as root or with sudo"

# Everything mounted here is unmounted on every exit, newest first; a mount
# still busy is detached lazily rather than left behind.
mounted=()
scratch=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" \
            || echo "debian13.sh: could not unmount ${mounted[i]}" >&2
    done
    mounted=()
}
# Whether anything is mounted on or below the directory.
in_use() { findmnt -rn -o TARGET | awk -v d="$1" '$0 == d || index($0, d "/") == 1 { f = 1 } END { exit !f }'; }
cleanup() {
    local i
    unmount_all
    for i in "${scratch[@]}"; do
        # --one-file-system: never reach into a mount that is somehow still there.
        in_use "$i" || rm -rf --one-file-system "$i"
    done
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

bind() {
    mkdir -p "$2"
    mount --rbind "$1" "$2"
    mounted+=("$2")
    mount --make-rslave "$2"
}

# The host's devices, processes and system, as a program in the root needs them.
bind_system() {
    local d
    for d in proc sys dev; do
        bind "/$d" "$1/$d"
    done
}

in_root() {
    local dir=$1
    shift
    chroot "$dir" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive TERM="${TERM:-dumb}" CI="${CI:-}" "$@"
}

# Built beside its final place and renamed into it once whole, so a run that
# was killed half-way never leaves a root that looks done.
make_root() {
    [ -f "$rootdir/.complete" ] && return 0
    command -v debootstrap >/dev/null || {
        echo "debian13.sh: installing debootstrap"
        apt-get -o DPkg::Lock::Timeout=600 install -y -q debootstrap \
            || { apt-get update -q && apt-get -o DPkg::Lock::Timeout=600 install -y -q debootstrap; } \
            || die "could not install debootstrap"
    }
    mkdir -p "$cache"
    local old log=$cache/$name-$recipe.log
    for old in "$cache/$name"-*; do
        [ -e "$old" ] && [ "$old" != "$rootdir" ] && [ "$old" != "$log" ] || continue
        if in_use "$old"; then
            echo "debian13.sh: $old is in use; left alone" >&2
            continue
        fi
        echo "debian13.sh: removing $old (another recipe, or a run cut short)"
        rm -rf --one-file-system "$old"
    done
    local tmp
    tmp=$(mktemp -d "$cache/$name-$recipe.partial.XXXXXX")
    scratch+=("$tmp")
    failed() { tail -n 20 "$log" >&2; die "$1 (the whole log: $log)"; }
    # The mirror apt already uses; debootstrap's own default otherwise.
    local mirror
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Origin: Debian' 2>/dev/null \
             | grep -v -e security -e snapshot | head -n1 || true)
    echo "debian13.sh: making the $release root in $rootdir (a few minutes; log: $log)"
    local where=(${mirror:+"$mirror"})
    # A debootstrap older than the suite knows it by the script of unstable.
    [ -e "/usr/share/debootstrap/scripts/$suite" ] \
        || where=("${mirror:-http://deb.debian.org/debian/}" /usr/share/debootstrap/scripts/sid)
    debootstrap --variant="$variant" "$suite" "$tmp" "${where[@]}" >"$log" 2>&1 \
        || failed "debootstrap failed"
    cp /etc/resolv.conf "$tmp/etc/resolv.conf" 2>/dev/null || true
    # No service starts inside the root.
    printf '#!/bin/sh\nexit 101\n' >"$tmp/usr/sbin/policy-rc.d"
    chmod +x "$tmp/usr/sbin/policy-rc.d"
    # debootstrap's own sources.list names the suite's binaries alone.
    rm -f "$tmp/etc/apt/sources.list"
    echo "${extra_sources//@MIRROR@/${mirror:-http://deb.debian.org/debian/}}" >"$tmp/etc/apt/sources.list.d/debian.sources"
    bind_system "$tmp"
    in_root "$tmp" apt-get update -q >>"$log" 2>&1 || failed "apt-get update failed in the root"
    in_root "$tmp" apt-get install -y -q "${root_packages[@]}" >>"$log" 2>&1 \
        || failed "could not install in the root: ${root_packages[*]}"
    [ ${#bare_packages[@]} -eq 0 ] \
        || in_root "$tmp" apt-get install -y -q --no-install-recommends "${bare_packages[@]}" >>"$log" 2>&1 \
        || failed "could not install in the root: ${bare_packages[*]}"
    in_root "$tmp" apt-get clean
    rm -f "$log"
    unmount_all
    echo "$recipe" >"$tmp/.complete"
    mv -T "$tmp" "$rootdir"
    scratch=()
    echo "debian13.sh: root ready"
}

# The tracked tree as it stands now, uncommitted changes included, without
# the builds.
copy_tree() {
    mkdir -p "$2"
    if git -C "$1" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$1" ls-files -z --cached --others --exclude-standard \
            | (cd "$1" && tar --null --ignore-failed-read -T - -cf -) 2>/dev/null | tar -C "$2" -xf -
    else
        tar -C "$1" --exclude='./build*' -cf - . | tar -C "$2" -xf -
    fi
}

# A throw-away overlay on the cached root, with the host's system bound in;
# sets `top`, its top folder.
open_overlay() {
    make_root
    local run old
    # What a run that was killed left behind.
    for old in "$cache/$name"-run.*; do
        [ -d "$old" ] && ! in_use "$old" || continue
        rm -rf --one-file-system "$old"
    done
    run=$(mktemp -d "$cache/$name-run.XXXXXX")
    scratch+=("$run")
    mkdir "$run/upper" "$run/work" "$run/merged"
    mount -t overlay overlay -o "lowerdir=$rootdir,upperdir=$run/upper,workdir=$run/work" "$run/merged" \
        || die "could not mount an overlay on the root (the kernel's overlay file system is needed)"
    mounted+=("$run/merged")
    bind_system "$run/merged"
    top=$run/merged
}

run_tests() {
    local deb=${1:-}
    [ -z "$deb" ] || [ -f "$deb" ] || die "no package at $deb"
    open_overlay
    copy_tree "$src" "$top/root/prixgeneral"
    echo "debian13.sh: the test suite on $release, $(in_root "$top" dpkg-query -W -f='Qt ${Version}' qt6-base-dev)"
    # The build with the default generator is the same tree's as on Debian 12.
    in_root "$top" env PRIXGENERAL_NO_ASAN=1 PRIXGENERAL_NO_MAKE=1 bash /root/prixgeneral/scripts/dev.sh test

    [ -n "$deb" ] || return 0
    echo "debian13.sh: installing $(basename "$deb") in the $release root"
    cp "$deb" "$top/tmp/"
    # What it depends on and recommends is in the root already: nothing is fetched.
    in_root "$top" apt-get install -y -q "/tmp/$(basename "$deb")" \
        || die "the Debian 12 package does not install on $release"
    local version
    version=$(in_root "$top" /usr/bin/prixgeneral --version) || die "the installed prixgeneral --version failed"
    echo "debian13.sh: $version"
    # The installed program, driven from the keyboard as the built one is.
    in_root "$top" env PRIXGENERAL_PROGRAM=/usr/bin/prixgeneral \
        /root/prixgeneral/build/tests/tst_endtoend \
        || die "the installed program failed its end-to-end test on $release"

    # The window tests of the package's own build, made on Debian 12, on
    # Debian 13's Qt. They find their build, and the tree it was made from,
    # where they were made: an overlay there takes what ctest writes.
    local build tree run=${top%/merged} started=$SECONDS
    build=$(cd "$(dirname "$deb")" && pwd)
    tree=$build
    [ "${build#"$src"/}" = "$build" ] || tree=$src
    mkdir -p "$top$tree" "$run/tree-upper" "$run/tree-work"
    mount -t overlay overlay -o "lowerdir=$tree,upperdir=$run/tree-upper,workdir=$run/tree-work" "$top$tree" \
        || die "could not mount an overlay on $tree"
    mounted+=("$top$tree")
    echo "debian13.sh: the window tests built with the package, on $release's Qt"
    in_root "$top" ctest --test-dir "$build" -L window --output-on-failure \
        || die "the window tests built with the package failed on $release's Qt"
    echo "debian13.sh: those took $((SECONDS - started)) s"
}

# The tree is bound in rather than copied, so the build and its Qt stay
# from one run to the next: the tree's build-windows/, and the Qt and Wine
# prefix in the cache's windows/ folder.
open_windows() {
    [ "$suite" = trixie ] || die "the Windows build runs on Debian 13 alone"
    local old
    # What the Windows build on Debian 12 kept: Qt 6.4, its build, its Wine prefix.
    for old in "$cache/qt-6.4.2-mingw64-static" "$cache/qt-build" "$cache/wine-tests"; do
        [ -e "$old" ] || continue
        echo "debian13.sh: removing $old (the Windows build is made on Debian 13 now)"
        rm -rf --one-file-system "$old"
    done
    open_overlay
    mkdir -p "$cache/windows"
    bind "$src" "$top/root/prixgeneral"
    bind "$cache/windows" "$top/root/.cache/prixgeneral/windows"
}

run_windows() {
    open_windows
    echo "debian13.sh: the Windows build on Debian 13"
    # The icons' build tool is built against the root's Qt, in the overlay.
    in_root "$top" env PRIXGENERAL_HOST_BUILD=/root/host-build PRIXGENERAL_JOBS="${PRIXGENERAL_JOBS:-}" \
        bash /root/prixgeneral/scripts/windows/build.sh
}

case "${1:-}" in
root) make_root; echo "$rootdir" ;;
test) run_tests "${2:-}" ;;
windows) run_windows ;;
exec)
    shift
    [ $# -gt 0 ] || die "exec needs a command"
    open_windows
    in_root "$top" bash -c 'cd /root/prixgeneral && exec "$@"' exec "$@"
    ;;
*) echo "usage: bash scripts/debian13.sh [--suite trixie|forky] root|test [package.deb]|windows|exec COMMAND..." >&2
   exit 2 ;;
esac
