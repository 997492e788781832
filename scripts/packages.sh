# The Debian packages the Linux build and its tests need; the same names on
# Debian 12 and Debian 13. Sourced by dev.sh, debian13.sh and windows/build.sh.
# qt6-translations-l10n holds Qt's own French; locales and libc-l10n give the
# tests a French system (fr_FR.UTF-8, which dev.sh generates); qt6-l10n-tools
# has lrelease, which compiles the program's own French for Qt's texts.
linux_packages=(qt6-base-dev libgl-dev cmake g++ ninja-build fonts-dejavu-core
                poppler-utils xvfb xauth xdotool libxcb1-dev desktop-file-utils dpkg-dev file lintian appstream
                qt6-translations-l10n qt6-l10n-tools locales libc-l10n)
# What the Windows build adds on Debian 13: the cross compiler, Wine for the
# tests, NSIS for the installer, dpkg-dev to unpack Qt's source, the French
# of that Qt release, which goes into the program, ImageMagick for the
# program's icon, and liblnk-utils' lnkinfo, with which the installer test
# reads the Start-menu entries.
# wine32 is left out on purpose: it breaks 64-bit prefixes made before it.
windows_packages=(g++-mingw-w64-x86-64-posix wine wine64 fonts-wine nsis python3 dpkg-dev qt6-translations-l10n
                  imagemagick liblnk-utils)
