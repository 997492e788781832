# The Debian packages the Linux build and its tests need; the same names on
# Debian 12 and Debian 13. Sourced by dev.sh and debian13.sh.
linux_packages=(qt6-base-dev libgl-dev cmake g++ ninja-build fonts-dejavu-core
                poppler-utils xvfb xauth xdotool libxcb1-dev desktop-file-utils dpkg-dev file lintian appstream)
