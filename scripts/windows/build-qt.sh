#!/usr/bin/env bash
# Builds, once, the static Qt for 64-bit Windows that the Windows build links,
# from Debian 13's maintained source of the Qt its Linux build uses. The
# result is kept outside the work tree and rebuilt only when this recipe
# changes, Debian's source version included: a security update rebuilds it.
#   bash scripts/windows/build-qt.sh      prints the Qt prefix on its standard output
# Runs on Debian 13, as root (apt-get): in the root of scripts/debian13.sh
# from Debian 12.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
qt_version=6.8.2
cache=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}/windows
prefix=$cache/qt-$qt_version-mingw64-static
toolchain=$root/cmake/windows/mingw64-toolchain.cmake
jobs=${PRIXGENERAL_JOBS:-$(nproc 2>/dev/null || echo 2)}

die() { echo "build-qt.sh: $*" >&2; exit 1; }
# Everything but the prefix goes to the log: the build's progress and times.
exec 3>&1 1>&2

# The host Qt runs moc, rcc and uic for this one: both must be the same release.
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) \
    || die "install qt6-base-dev first (the host Qt)"
case $host_version in $qt_version+*) ;; *) die "host Qt is $host_version, this recipe is for $qt_version" ;; esac

# apt-get source needs deb-src lines for the mirror apt already uses.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if ! apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Version: '; then
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Origin: Debian' 2>/dev/null \
             | grep -v -e security -e snapshot | head -n1)
    mirror=${mirror:-http://deb.debian.org/debian/}
    echo "build-qt.sh: adding the Debian source archive ($mirror) to apt"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\nTypes: deb-src\nURIs: http://security.debian.org/debian-security/\nSuites: %s-security\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$mirror" "$codename" "$codename" "$codename" > /etc/apt/sources.list.d/prixgeneral-deb-src.sources
fi
# What the archive holds today, so an update is seen; offline, what apt knew.
apt-get update -q >/dev/null 2>&1 || echo "build-qt.sh: apt-get update failed: going on with the sources apt knew" >&2
deb_version=
for v in $(apt-cache showsrc qt6-base 2>/dev/null | sed -n 's/^Version: //p'); do
    case $v in $qt_version+*) ;; *) continue ;; esac
    if [ -z "$deb_version" ] || dpkg --compare-versions "$v" gt "$deb_version"; then deb_version=$v; fi
done
[ -n "$deb_version" ] || die "apt knows no qt6-base $qt_version source: check the deb-src lines"

# Only Core, Gui, Widgets and Test, with their own bundled libraries, linked
# statically with the C and C++ runtimes so the program is one file.
# Tablet support is off because Debian's source drops the tablet library; with
# Direct2D off Qt also drops the DirectWrite font engine and nothing links.
qt_features=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DBUILD_SHARED_LIBS=OFF
    -DFEATURE_static_runtime=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_dbus=OFF
    # As configure's -no-opengl: FEATURE_opengl=OFF alone leaves dynamic
    # OpenGL on, and the Windows plugin then calls OpenGL code that is not there.
    -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_freetype=ON
    -DFEATURE_tabletevent=OFF
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    # Qt 6.8's Windows 11 style draws its shadows with graphics view.
    -DFEATURE_graphicsview=ON
    # Widgets and formats the program never shows: less to build.
    -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF -DFEATURE_wizard=OFF
    -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_splashscreen=OFF -DFEATURE_undoview=OFF
    -DFEATURE_keysequenceedit=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_systemtrayicon=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
)

# The cache is keyed by what goes into Qt, not by this script's other lines
# nor by where the work tree is.
recipe=$( (echo "$deb_version"; printf '%s\n' "${qt_features[@]}"; cat "$toolchain") \
          | sha256sum | cut -c1-16)
if [ -f "$prefix/.recipe" ] && [ "$(cat "$prefix/.recipe")" = "$recipe" ]; then
    echo "build-qt.sh: $(cat "$prefix/debian-source.txt") for Windows, as built before, in $prefix"
    echo "$prefix" >&3
    exit 0
fi

# Qt builds of other recipes.
for old in "$cache"/qt-*-mingw64-static; do
    [ -e "$old" ] && [ "$old" != "$prefix" ] || continue
    echo "build-qt.sh: removing $old"
    rm -rf --one-file-system "$old"
done

# A build cut short (a CI timeout, a reboot) goes on where it stopped.
work=$cache/qt-build
rm -rf "$prefix"
if [ -f "$work/recipe" ] && [ "$(cat "$work/recipe")" = "$recipe" ] && [ -d "$work/src" ]; then
    echo "build-qt.sh: going on with the Qt build in $work"
    cd "$work"
else
    rm -rf "$work"
    mkdir -p "$work"
    cd "$work"
    apt-get source -q --download-only qt6-base="$deb_version" || die "could not fetch Debian's qt6-base source"
    dpkg-source -x ./*.dsc src >/dev/null || die "could not unpack the qt6-base source"
    echo "$recipe" > recipe
fi

start=$(date +%s)
cmake -S src -B build -G Ninja "${qt_features[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
    || die "configuring Qt failed (see above)"
configured=$(date +%s)
nice cmake --build build --parallel "$jobs" || die "building Qt failed (see above)"
cmake --install build >/dev/null || die "installing Qt into $prefix failed"
built=$(date +%s)
# Named in the program's SOURCE.txt and by the build's last lines.
echo "qt6-base $deb_version" > "$prefix/debian-source.txt"
echo "$recipe" > "$prefix/.recipe"
cd "$cache"
rm -rf "$work"
echo "build-qt.sh: Qt $deb_version configured in $((configured - start)) s, built in $((built - configured)) s," \
     "$(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix" >&3
