#!/usr/bin/env bash
# Runs one Windows program under Wine: ctest's emulator for the test
# programs, and the scripts' way to start prixgeneral.exe.
#   scripts/windows/wine-run.sh PROGRAM.exe [ARGUMENTS...]
# WINEPREFIX defaults to the tests' own prefix (made by scripts/dev.sh
# windows); PRIXGENERAL_WINE_TIMEOUT (seconds, default 300) ends a program
# that hangs.
set -euo pipefail

export WINEPREFIX=${WINEPREFIX:-${PRIXGENERAL_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/prixgeneral}/windows/wine-tests-$(wine --version | cut -d' ' -f1)}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
# Wine passes no QT_* variable to Windows programs; WINEQT_* arrives as QT_*.
for name in $(compgen -e); do
    case $name in QT_*) export "WINE$name=${!name}" ;; esac
done
# QtTest writes to the debugger channel on Windows unless told otherwise.
export WINEQT_FORCE_STDERR_LOGGING=1
exec timeout -k 10 "${PRIXGENERAL_WINE_TIMEOUT:-300}" wine "$@"
