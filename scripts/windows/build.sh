#!/usr/bin/env bash
# The Windows build, run by `bash scripts/dev.sh windows` after the Linux
# build (build/): the static Qt once, then prixgeneral.exe cross-built in
# build-windows/, its tests under Wine, the installer, and the installer
# tried in a fresh Wine prefix.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$root/scripts/windows
jobs=$(nproc 2>/dev/null || echo 2)
cache=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}
out=$root/build-windows
packages=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis python3 dpkg-dev
          xvfb xauth xdotool poppler-utils cmake ninja-build qt6-base-dev)

die() { echo "dev.sh windows: $*" >&2; exit 1; }
step() { echo "== $* ($(date -u +%H:%M:%S))"; }

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    [ "$(id -u)" -eq 0 ] || die "run as root to install: ${missing[*]}"
    # wine32 is left out on purpose: it breaks 64-bit prefixes made before it.
    step "installing ${missing[*]}"
    apt-get update -q || die "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends \
        "${missing[@]}" || die "could not install: ${missing[*]}"
fi

step "static Qt for Windows"
qt=$(bash "$here/build-qt.sh" | tail -n1)
[ -x "$qt/bin/qt-cmake" ] || die "no Qt in $qt"

step "cross-building prixgeneral.exe"
# The button icons are shrunk by the Linux build's tool: it cannot run as .exe.
host_tool=$root/build/prescale_icons
[ -x "$host_tool" ] || die "no $host_tool: build the Linux program first (bash scripts/dev.sh windows does)"
host_args=(-DPRIXGENERAL_PRESCALE_TOOL="$host_tool")
"$qt/bin/qt-cmake" -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/windows/mingw64-toolchain.cmake" "${host_args[@]}" \
    || die "configuring $out failed"
cmake --build "$out" --parallel "$jobs" || die "building $out failed"
exe=$out/prixgeneral.exe
# One file that needs nothing beside it: Windows' own DLLs only.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
unexpected=$(echo "$imports" | grep -E '^(lib|qt6|zlib|icu)' || true)
[ -z "$unexpected" ] || die "prixgeneral.exe needs DLLs that Windows does not have: $unexpected"

# Tests share one prefix; it is made once, before ctest starts several at a time.
export WINEPREFIX=$cache/wine-tests
cleanup() { timeout 20 wineserver -k 2>/dev/null || true; }
trap cleanup EXIT
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

step "installing, starting and uninstalling in a fresh prefix"
timeout 900 bash "$here/installer-test.sh" "$installer" || die "the installer test failed"

echo
echo "Windows program: $exe ($(du -h "$exe" | cut -f1))"
echo "Installer:       $installer ($(du -h "$installer" | cut -f1))"
