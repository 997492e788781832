#!/usr/bin/env bash
# Builds, once, the static Qt for 64-bit Windows that the Windows build links,
# from Debian's own source of the Qt the Linux build uses. The result is kept
# outside the work tree and rebuilt only when this recipe changes.
#   bash scripts/windows/build-qt.sh      prints the Qt prefix on its last line
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
qt_version=6.4.2
cache=${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}
prefix=$cache/qt-$qt_version-mingw64-static
toolchain=$root/cmake/windows/mingw64-toolchain.cmake
jobs=${PRIXGENERAL_JOBS:-$(nproc 2>/dev/null || echo 2)}

die() { echo "build-qt.sh: $*" >&2; exit 1; }

# The host Qt runs moc, rcc and uic for this one: both must be the same release.
deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) \
    || die "install qt6-base-dev first (the host Qt)"
case $deb_version in $qt_version+*) ;; *) die "host Qt is $deb_version, this recipe is for $qt_version" ;; esac

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
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_freetype=ON
    -DFEATURE_tabletevent=OFF
    -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
    # Widgets and formats the program never shows: less to build.
    -DFEATURE_graphicsview=OFF -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF
    -DFEATURE_datetimeedit=OFF -DFEATURE_colordialog=OFF -DFEATURE_fontdialog=OFF -DFEATURE_wizard=OFF
    -DFEATURE_dial=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_splashscreen=OFF -DFEATURE_undoview=OFF
    -DFEATURE_keysequenceedit=OFF -DFEATURE_fontcombobox=OFF -DFEATURE_systemtrayicon=OFF
    -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF -DFEATURE_textodfwriter=OFF
)

# Qt 6.4.2 keeps dynamic OpenGL on when OpenGL is off, and the Windows
# platform plugin then calls into OpenGL code that is not there.
qt_fix_file=src/plugins/platforms/windows/qwindowswindow.cpp
qt_fix='/^static inline bool isSoftwareGl()/,/^}/s/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/'

# The cache is keyed by what goes into Qt, not by this script's other lines
# nor by where the work tree is.
recipe=$( (echo "$deb_version"; printf '%s\n' "${qt_features[@]}" "$qt_fix"; cat "$toolchain") \
          | sha256sum | cut -c1-16)
if [ -f "$prefix/.recipe" ] && [ "$(cat "$prefix/.recipe")" = "$recipe" ]; then
    echo "$prefix"
    exit 0
fi

# apt-get source needs a deb-src line for the mirror apt already uses.
if ! apt-get source --print-uris -q qt6-base="$deb_version" >/dev/null 2>&1; then
    mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Origin: Debian' 2>/dev/null \
             | grep -v security | head -n1)
    mirror=${mirror:-http://deb.debian.org/debian/}
    echo "build-qt.sh: adding the Debian source archive ($mirror) to apt"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$mirror" > /etc/apt/sources.list.d/prixgeneral-deb-src.sources
    apt-get update -q || die "apt-get update failed"
fi

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
    sed -i "$qt_fix" "src/$qt_fix_file" && grep -q 'dynamicgl) && QT_CONFIG(opengl)' "src/$qt_fix_file" \
        || die "could not mend $qt_fix_file"
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
echo "$recipe" > "$prefix/.recipe"
cd "$cache"
rm -rf "$work"
echo "build-qt.sh: Qt configured in $((configured - start)) s, built in $((built - configured)) s," \
     "$(du -sh "$prefix" | cut -f1) in $prefix"
echo "$prefix"
