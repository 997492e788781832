# The Debian packages the Linux build and its tests need; the same names on
# Debian 12 and Debian 13. Sourced by dev.sh, debian13.sh and windows/build.sh.
linux_packages=(qt6-base-dev libgl-dev cmake g++ ninja-build fonts-dejavu-core
                poppler-utils xvfb xauth xdotool libxcb1-dev desktop-file-utils dpkg-dev file lintian appstream)
# What the Windows build adds on Debian 13: the cross compiler, Wine for the
# tests, NSIS for the installer, and dpkg-dev to unpack Qt's source.
# wine32 is left out on purpose: it breaks 64-bit prefixes made before it.
windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis python3 dpkg-dev)
