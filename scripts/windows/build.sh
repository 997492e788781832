#!/usr/bin/env bash
# The Windows build on Debian 13, run by `bash scripts/dev.sh windows` (in
# the root of scripts/debian13.sh when on Debian 12): the static Qt once, the
# build tool for the icons built natively, then prixgeneral.exe cross-built in
# build-windows/, its tests under Wine, the installer, and the installer tried
# in a fresh Wine prefix.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/scripts/windows
jobs=$(nproc 2>/dev/null || echo 2)
cache=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}/windows
out=$root/build-windows
# The native build whose prescale_icons shrinks the button icons.
host_build=${PRIXGENERAL_HOST_BUILD:-$root/build}
# shellcheck source=../packages.sh
. "$root/scripts/packages.sh"
packages=("${windows_packages[@]}" xvfb xauth xdotool poppler-utils cmake ninja-build g++ qt6-base-dev libgl-dev
          qt6-l10n-tools)

die() { echo "dev.sh windows: $*" >&2; exit 1; }
step() { echo "== $* ($(date -u +%H:%M:%S))"; }

(. /etc/os-release && [ "${ID:-}" = debian ] && [ "${VERSION_ID:-}" = 13 ]) \
    || die "the Windows build runs on Debian 13; elsewhere run it as: bash scripts/dev.sh windows"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    [ "$(id -u)" -eq 0 ] || die "run as root to install: ${missing[*]}"
    step "installing ${missing[*]}"
    apt-get update -q || die "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends \
        "${missing[@]}" || die "could not install: ${missing[*]}"
fi

step "static Qt for Windows"
qt=$(bash "$here/build-qt.sh")
[ -x "$qt/bin/qt-cmake" ] || die "no Qt in $qt"
qt_source=$(cat "$qt/debian-source.txt") || die "$qt does not say which Debian source it was built from"

step "prescale_icons for this machine"
[ -f "$host_build/CMakeCache.txt" ] || cmake -S "$root" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    || die "configuring $host_build failed"
cmake --build "$host_build" --target prescale_icons --parallel "$jobs" || die "building prescale_icons failed"

step "cross-building prixgeneral.exe"
# A build made against another Qt, or from another place (the Debian 12
# build of before), starts again.
if [ -f "$out/CMakeCache.txt" ] && ! grep -qxF "Qt6_DIR:PATH=$qt/lib/cmake/Qt6" "$out/CMakeCache.txt"; then
    rm -rf "$out"
fi
"$qt/bin/qt-cmake" -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/windows/mingw64-toolchain.cmake" \
    -DPRIXGENERAL_PRESCALE_TOOL="$host_build/prescale_icons" -DPRIXGENERAL_QT_SOURCE="$qt_source" \
    || die "configuring $out failed"
cmake --build "$out" --parallel "$jobs" || die "building $out failed"
# The program's icon at every size Windows asks for. (ImageMagick 7 names
# its tools `magick TOOL`; 6 had `identify` alone.)
identify=(identify)
command -v magick >/dev/null && identify=(magick identify)
icon_sizes=$("${identify[@]}" -format '%wx%h ' "$out/prixgeneral.ico") || die "cannot read $out/prixgeneral.ico"
[ "$icon_sizes" = "16x16 20x20 24x24 32x32 40x40 48x48 64x64 96x96 128x128 256x256 " ] \
    || die "prixgeneral.ico holds the sizes $icon_sizes"
exe=$out/prixgeneral.exe
# One file that needs nothing beside it: Windows' own DLLs only.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
unexpected=$(echo "$imports" | grep -E '^(lib|qt6|zlib|icu)' || true)
[ -z "$unexpected" ] || die "prixgeneral.exe needs DLLs that Windows does not have: $unexpected"

# Tests share one prefix; it is made once, before ctest starts several at a time.
export WINEPREFIX=$cache/wine-tests-$(wine --version | cut -d' ' -f1)
cleanup() { timeout 20 wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
for old in "$cache"/wine-tests-*; do
    [ -e "$old" ] && [ "$old" != "$WINEPREFIX" ] && rm -rf --one-file-system "$old"
done
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    step "making the Wine prefix $WINEPREFIX"
    WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" timeout 180 wineboot -i >/dev/null 2>&1 \
        || die "wineboot failed for $WINEPREFIX"
    timeout 60 wineserver -w || true
fi

step "tests under Wine"
(cd "$out" && timeout 1800 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ctest --output-on-failure --parallel "$jobs" --timeout 600 --exclude-regex '^tst_endtoend$') \
    || die "tests failed under Wine"

step "installer"
(cd "$out" && timeout 600 cpack -G NSIS64) || die "cpack failed"
installer=$(ls "$out"/prixgeneral-*-windows-x64-setup.exe)
[ -f "$installer" ] || die "no installer in $out"

# The installer is tried as on a French Windows.
locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$' || localedef -i fr_FR -f UTF-8 fr_FR.UTF-8 \
    || die "could not generate fr_FR.UTF-8"
step "installing, installing over, starting and uninstalling in a fresh prefix"
timeout 900 bash "$here/installer-test.sh" "$installer" || die "the installer test failed"

echo
echo "Windows program: $exe ($(du -h "$exe" | cut -f1)), Qt from $qt_source"
echo "Installer:       $installer ($(du -h "$installer" | cut -f1))"
