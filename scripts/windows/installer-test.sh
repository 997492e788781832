#!/usr/bin/env bash
# The installer in a fresh Wine prefix: a silent install (/S), the program
# started from where its Start-menu entry points, and a silent uninstall that
# leaves the user's own files.
#   scripts/windows/installer-test.sh PATH/TO/prixgeneral-...-setup.exe
set -uo pipefail

installer=$(readlink -f "${1:?usage: installer-test.sh SETUP.exe}")
work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-wine-install.XXXXXX")
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/common.sh"

start_x 1280x1024
new_prefix
drive=$WINEPREFIX/drive_c
timeout 300 wine "$installer" /S || die "the installer failed"
timeout 120 wineserver -w

dir="$drive/Program Files/Prix général"
for file in prixgeneral.exe Uninstall.exe licences/LICENSE.txt licences/Qt-LGPL-3.txt licences/Qt-GPL-3.txt \
            licences/SOURCE.txt; do
    [ -f "$dir/$file" ] || die "the installer did not put $file into $dir"
done
# Whoever is given the program can find the very Qt source inside it.
grep -qE '^Debian.s source package qt6-base [0-9][^ ]*\+dfsg[^ ]*:$' "$dir/licences/SOURCE.txt" \
    || die "SOURCE.txt does not name the Debian source of the Qt inside: $(cat "$dir/licences/SOURCE.txt")"
# The guide, with every picture it names, as the tree has it.
guide=$here/../../docs/guide
for file in guide.html $(sed -n 's/.*<img src="\([^"]*\)".*/\1/p' "$guide/guide.html"); do
    cmp -s "$guide/$file" "$dir/guide/$file" || die "the installer did not put guide/$file into $dir as it is"
done
guide_link=$(find "$drive/users" -path '*Start Menu/Programs/Guide de Prix général.lnk' | head -n1)
[ -n "$guide_link" ] || die "no Start-menu entry \"Guide de Prix général\""
guide_target=$(python3 "$here/lnk.py" "$guide_link" | head -n1)
[ "${guide_target,,}" = 'c:\program files\prix général\guide\guide.html' ] || die "the guide's entry opens \"$guide_target\""
link=$(find "$drive/users" -path '*Start Menu/Programs/Prix général.lnk' | head -n1)
[ -n "$link" ] || die "no Start-menu entry \"Prix général\""
{ read -r target; read -r workdir; } < <(python3 "$here/lnk.py" "$link")
note "Start-menu entry: $target, in $workdir"
[ "${target,,}" = 'c:\program files\prix général\prixgeneral.exe' ] || die "the entry starts \"$target\""
case $workdir in *'\Documents\Prix général') ;; *) die "the entry starts in \"$workdir\"" ;; esac
folder=$(winepath -u "$workdir" 2>/dev/null)
[ -d "$folder" ] || die "the installer did not make $workdir"

# Started as the entry starts it, the program writes where the user can.
(cd "$folder" && exec timeout 120 wine "$(winepath -u "$target")" >/dev/null 2>&1) &
program_pid=$!
window=$(wait_window '^Calcul Prix g.+n.+raux$') || exit 1
timeout 30 xdotool key --window "$window" alt+F4 2>/dev/null
wait_for 30 bash -c "! kill -0 $program_pid 2>/dev/null" || die "the program did not end"
wait "$program_pid" || die "the program ended with an error"
program_pid=
printf 'the club'"'"'s own settings' > "$folder/save.ini"

timeout 300 wine "$dir/Uninstall.exe" /S || die "the uninstaller failed"
timeout 120 wineserver -w
[ ! -e "$dir" ] || die "the uninstaller left $(cd "$dir" && find . -mindepth 1 | head -n5 | tr '\n' ' ')"
[ ! -e "$link" ] || die "the uninstaller left the Start-menu entry"
[ ! -e "$guide_link" ] || die "the uninstaller left the guide's Start-menu entry"
[ -f "$folder/save.ini" ] || die "the uninstaller removed the user's own files"
if timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\prixgeneral' >/dev/null 2>&1; then
    die "the uninstaller left its registry entry"
fi
note "passed"
