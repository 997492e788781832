#!/usr/bin/env bash
# The installer in a fresh Wine prefix: a silent install (/S), the program
# started from where its Start-menu entry points, the installer run again over
# it as on a French Windows up to "Lancer Prix général", which hands the entry
# to explorer.exe, and a silent uninstall. None touches the user's own files
# or shows a word of English.
#   scripts/windows/installer-test.sh PATH/TO/prixgeneral-...-setup.exe
set -uo pipefail

installer=$(readlink -f "${1:?usage: installer-test.sh SETUP.exe}")
work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-wine-install.XXXXXX")
here=$(dirname "${BASH_SOURCE[0]}")
source "$here/common.sh"

start_x 1280x1024
new_prefix
drive=$WINEPREFIX/drive_c
command -v lnkinfo >/dev/null || die "lnkinfo is missing (Debian: liblnk-utils)"
# The names the installers added to the Start menu or took from it, folders too.
menu_names() { find "$drive" -path '*/Start Menu/*' -printf '%f\n' | sort; }
start_menu() { comm -3 <(echo "$wine_menu") <(menu_names) | tr -d '\t'; }
wine_menu=$(menu_names)
# lnk_field SHORTCUT FIELD: a field of a Windows shortcut as liblnk-utils'
# lnkinfo prints it ("Local path", "Working directory"). Since 2024 it
# writes a backslash as \\.
lnk_field() {
    local info
    info=$(lnkinfo "$1" 2>&1) || die "lnkinfo cannot read $1: $info"
    sed -n "s/^\t$2\t*: //p" <<<"$info" | head -n1 | sed 's/\\\\/\\/g'
}
# started LOG: the processes Wine's trace+process (with +pid) saw start, one a
# line: the id of the process that started it, its own, and its command line
# (Wine writes é as \00e9, a quote as \" and a backslash as \\).
started() {
    perl -CO -ne '
        if (/^(\w+):(\w+):trace:process:CreateProcessInternalW app (.*) cmdline (.*)$/) {
            my ($thread, $app, $line) = ("$1:$2", $3, $4);
            $command{$thread} = $line =~ /^L"(.*)"$/ ? $1 : $app =~ /^L"(.*)"$/ ? $1 : $line;
        } elsif (/^(\w+):(\w+):trace:process:CreateProcessInternalW started process pid (\w+)/) {
            my ($parent, $child, $line) = (hex $1, hex $3, delete $command{"$1:$2"});
            next unless defined $line;
            $line =~ s/\\(?:([0-9a-f]{4})|(.))/defined $1 ? chr hex $1 : $2/ge;
            printf "%x %x %s\n", $parent, $child, $line;
        }' "$1"
}
timeout 300 wine "$installer" /S || die "the installer failed"
timeout 120 wineserver -w
# The two entries alone: no folder, no version in a name.
links=$(start_menu)
[ "$links" = $'Guide de Prix général.lnk\nPrix général.lnk' ] || die "the Start menu holds: ${links//$'\n'/, }"

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
guide_target=$(lnk_field "$guide_link" 'Local path') || exit 1
[ "${guide_target,,}" = 'c:\program files\prix général\guide\guide.html' ] || die "the guide's entry opens \"$guide_target\""
link=$(find "$drive/users" -path '*Start Menu/Programs/Prix général.lnk' | head -n1)
[ -n "$link" ] || die "no Start-menu entry \"Prix général\""
target=$(lnk_field "$link" 'Local path') || exit 1
workdir=$(lnk_field "$link" 'Working directory') || exit 1
note "Start-menu entry: $target, in $workdir"
[ "${target,,}" = 'c:\program files\prix général\prixgeneral.exe' ] || die "the entry starts \"$target\""
case $workdir in *'\Documents\Prix général') ;; *) die "the entry starts in \"$workdir\"" ;; esac
folder=$(winepath -u "$workdir" 2>/dev/null)
[ -d "$folder" ] || die "the installer did not make $workdir"

# Started as the entry starts it, the program writes where the user can.
(cd "$folder" && exec timeout 120 wine "$(winepath -u "$target")" >/dev/null 2>&1) &
program_pid=$!
title='^Calcul Prix g.+n.+raux$'
window=$(wait_window "$title") || exit 1
timeout 30 xdotool key --window "$window" alt+F4 2>/dev/null
wait_for 30 bash -c "! kill -0 $program_pid 2>/dev/null" || die "the program did not end"
wait "$program_pid" || die "the program ended with an error"
program_pid=
printf '3.5;0.5;3;20;3;pourcent;40;25;15;7;9;:/blason.png;5' > "$folder/save.ini"
printf '\xef\xbb\xbfDate;Heure\r\n2026-12-09;14:32\r\n' > "$folder/journal.csv"
printf '%%PDF-1.4 feuille\n' > "$folder/prixGeneral_arc_classique.pdf"
cp -a "$folder" "$work/club"

# Every page with Enter; the pages' texts (Wine's trace of what they draw),
# their window names, the processes started and the files the program opens
# are kept, each trace line with the id of its process.
log=$work/french.log
LANG=fr_FR.UTF-8 WINEDEBUG=+pid,trace+text,trace+file,trace+process timeout 300 wine "$installer" >/dev/null 2>"$log" &
setup_pid=$!
for _ in $(seq 30); do
    [ -n "$(find_window "$title")" ] && break
    setup=$(find_window 'Prix g.+n.+ral [0-9]')
    [ -z "$setup" ] || { xdotool getwindowname "$setup" && xdotool mousemove --window "$setup" 30 30 click 1 key Return; } \
        >>"$work/titles" 2>/dev/null
    sleep 2
done
window=$(wait_window "$title") || exit 1
timeout 30 xdotool key --window "$window" alt+F4 2>/dev/null
wait_for 30 window_gone "$window" || die "the program did not end"
wait "$setup_pid" || die "the installer failed over the installed program"
timeout 120 wineserver -w
# The finish page hands the Start-menu entry to explorer.exe, which starts
# the program; the installer, which runs elevated, does not start it itself.
# (Under Wine that explorer.exe starts it; on Windows it passes it on to the
# shell already running, as the user logged in.)
finish_command="\"C:\\windows\\explorer.exe\" \"$(winepath -w "$link" 2>/dev/null)\""
explorer= program= program_parent=
while read -r parent child command; do
    if [ "${command,,}" = "${finish_command,,}" ]; then
        explorer=$child
        note "the finish page ran: $command"
    elif [[ ${command,,} = *'\prix général\prixgeneral.exe'* ]]; then
        program=$child program_parent=$parent
        note "which started: $command"
    fi
done < <(started "$log")
[ -n "$explorer" ] || die "the finish page did not run $finish_command; the processes started: $(started "$log" | cut -d' ' -f3- | tr '\n' ';')"
[ -n "$program" ] || die "the finish page did not start the program"
[ "$program_parent" = "$explorer" ] || die "the program was started by process $program_parent, not by the finish page's explorer.exe ($explorer)"
grep -aqE "^0*$program:[0-9a-f]+:trace:file:.*Documents\\\\\\\\Prix g[^ ]*ral\\\\\\\\save\.ini" "$log" \
    || die "the program the finish page started did not open save.ini in Documents\\Prix général"
! grep -aq 'dossier dans le menu D' "$log" || die "the installer asks for a Start-menu folder"
# (Wine writes é as \00e9, and a line end as \n.)
english=$( (sed -n 's/.*DrawTextExW L"\(\([^"\\]\|\\.\)*\)".*/\1/p' "$log" | sed -e 's/\\[0-9a-f]\{4\}/é/g' -e 's/\\[rn]/ /g'
            cat "$work/titles"; echo "$links"; start_menu) \
          | grep -iwE 'the|you|is|already|install|want|before|setup|next|back|cancel|finish|close|browse|click|folder|failed|registry|entry|choose')
[ -z "$english" ] || die "English in the installer: $english"
[ -s "$work/titles" ] && grep -q DrawTextExW "$log" || die "nothing of the installer's texts was traced"
[ "$(timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | grep -c 'DisplayName.*Prix g')" = 1 ] \
    || die "not one entry in the list of installed programs after installing over"
[ "$(start_menu)" = "$links" ] || die "the Start-menu entries after installing over: $(start_menu | tr '\n' ' ')"
diff -r "$work/club" "$folder" >/dev/null || die "installing over changed the club's folder"

timeout 300 wine "$dir/Uninstall.exe" /S || die "the uninstaller failed"
timeout 120 wineserver -w
[ ! -e "$dir" ] || die "the uninstaller left $(cd "$dir" && find . -mindepth 1 | head -n5 | tr '\n' ' ')"
[ ! -e "$link" ] || die "the uninstaller left the Start-menu entry"
[ ! -e "$guide_link" ] || die "the uninstaller left the guide's Start-menu entry"
[ -z "$(start_menu)" ] || die "the uninstaller left or took in the Start menu: $(start_menu | tr '\n' ' ')"
diff -r "$work/club" "$folder" >/dev/null || die "the uninstaller changed the user's own files"
if timeout 60 wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\prixgeneral' >/dev/null 2>&1; then
    die "the uninstaller left its registry entry"
fi
note "passed"
