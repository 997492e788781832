#!/usr/bin/env bash
# The real prixgeneral.exe under Wine, as a club runs it: a virtual X screen,
# the Windows platform plugin, key presses from outside, the sheet read back
# on the Linux side, and the sheet handed to the .pdf handler that the
# prefix registers (a stand-in that records what it was given).
#   scripts/windows/endtoend.sh PATH/TO/prixgeneral.exe
# Then closed by the close button of the frame Wine draws in a virtual
# desktop, and by Alt+F4 there, and with names typed in the list; killed
# with work in it and started again, which offers the work back; the day's
# and the season's statements printed from "Journée"; then once more at 144 dpi on a 1920 x 1008
# screen (a 1080-pixel laptop at 150 % above its taskbar): the whole window
# must fit.
set -uo pipefail

exe=$(readlink -f "${1:?usage: endtoend.sh prixgeneral.exe}")
work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-wine-e2e.XXXXXX")
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
for tool in Xvfb xdotool pdftotext wine; do
    command -v "$tool" >/dev/null || die "$tool is missing"
done

title='^Calcul Prix g.+n.+raux$'
club=$work/club
mkdir -p "$club"

start_x 1920x1008
new_prefix
# The stand-in viewer: `start` finds it through the .pdf association.
mkdir -p "$WINEPREFIX/drive_c/viewer"
printf '@echo off\r\n>>"C:\\viewer\\opened.txt" echo %%~1\r\n' > "$WINEPREFIX/drive_c/viewer/open.bat"
wine_reg add 'HKCR\.pdf' /ve /d PrixGeneral.TestViewer /f
wine_reg add 'HKCR\PrixGeneral.TestViewer\shell\open\command' /ve \
    /d 'C:\windows\system32\cmd.exe /c C:\viewer\open.bat "%1"' /f
opened=$WINEPREFIX/drive_c/viewer/opened.txt

start_program() {
    (cd "$club" && exec timeout 300 wine "$exe" >"$work/program.log" 2>&1) &
    program_pid=$!
    window=$(wait_window "$title") || exit 1
}

keys() { timeout 30 xdotool key --delay 60 "$@" 2>/dev/null || die "xdotool key $*"; }
type_text() { timeout 30 xdotool type --delay 60 "$1" || die "xdotool type $1"; }

# ended_after WHAT: the program must end, with 0.
ended_after() {
    local status=0
    wait_for 30 bash -c "! kill -0 $program_pid 2>/dev/null" || die "the program did not end after $1"
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || die "the program ended with $status after $1"
}

# Closes the window from the keyboard, as Windows users do.
close_program() {
    # Wine 10 may close the window before the key is let go, which xdotool
    # reports as an error: whether the program ended is what counts.
    timeout 30 xdotool key --window "$window" alt+F4 2>/dev/null || true
    ended_after alt+F4
}

# --- A day of shoot, as on Linux ------------------------------------------
settings='3.5;0.5;3;20;3;pourcent;40;25;15;7;9;:/blason.png;5'
printf '%s' "$settings" > "$club/save.ini"
start_program
note "window $window is up"
# With no window manager the window takes the keyboard when clicked. A click
# on nbMises gives it the focus; Ctrl+A then lets the typing replace its 0.
# (Under Wine 10 a click on comboBox, first in the focus order, opens no list
# and leaves the keyboard nowhere.)
focus_mises() {
    timeout 30 xdotool mousemove --window "$window" 192 101 click 1 || die "could not click the window"
    sleep 1
    keys ctrl+a
}
focus_mises
# nbMises, nbNoirsPayes, "Calculer", "Imprimer".
type_text 123
keys Tab
type_text 45
keys Tab space Tab space
wait_for 60 test -s "$opened" || die "nothing was handed to the .pdf handler"
sheet=$club/prixGeneral_arc_classique.pdf
expected=$(winepath -w "$sheet" 2>/dev/null)
got=$(tr -d '\r' < "$opened")
[ "${got,,}" = "${expected,,}" ] || die "the handler got \"$got\", not \"$expected\""
head -c5 "$sheet" | grep -q '%PDF-' || die "no PDF at $sheet"
text=$(pdftotext -enc UTF-8 "$sheet" - | tr -s ' \n' '  ')
for piece in "Prix général arc classique" "Montant des prix" "Somme à distribuer : 321 €" \
             "123 mises effectuées" "45 noirs payés" "1er (40 %) : 130 €" "2ème (25 %) : 80 €" \
             "3ème (15 %) : 50 €" "du 4ème au 23ème : 3 €" "Fraction honteux : 1 €"; do
    case $text in *"$piece"*) ;; *) die "\"$piece\" is not on the sheet: $text" ;; esac
done
note "sheet checked, handed to the handler as $got"
# PRIXGENERAL_SCREENSHOT=FILE.png keeps a picture of the window as it is now.
if [ -n "${PRIXGENERAL_SCREENSHOT:-}" ]; then
    eval "$(timeout 30 xdotool getwindowgeometry --shell "$window")"
    python3 "$(dirname "${BASH_SOURCE[0]}")/screenshot.py" "$work/screen/Xvfb_screen0" "$X" "$Y" "$WIDTH" "$HEIGHT" \
        "$PRIXGENERAL_SCREENSHOT" || note "no screenshot"
fi

# Qt's own context menu speaks French: its "Co&ller" pastes on L, which
# nothing in the English menu answers. 7 is copied, then pasted after itself.
focus_mises
type_text 7
keys ctrl+a ctrl+c End
timeout 30 xdotool mousemove --window "$window" 192 101 click 3 || die "could not right-click nbMises"
sleep 1
keys l
sleep 1
keys Escape # an English menu would still be open
rm -f "$opened"
keys ctrl+p
# The count changed since "Calculer": "Imprimer" asks first, and Enter
# recalculates and prints.
sleep 2
keys Return
wait_for 60 test -s "$opened" || die "ctrl+p, then Enter, handed nothing to the .pdf handler"
text=$(pdftotext -enc UTF-8 "$sheet" - | tr -s ' \n' '  ')
case $text in *"77 mises effectuées"*) ;; *) die "the context menu did not paste in French (no Co&ller): $text" ;; esac
note "the context menu is French"

# On to "Configuration" and "Sauvegarder": the 13 fields read at start must be
# what is written back, so the file is replaced first. The handler's console
# took the keyboard: back to nbMises, then past nbNoirsPayes, "Calculer",
# "Imprimer", sommeNoirs and sommePrix to the tab bar; then the fields of
# "Configuration" down to the club's name, and "Sauvegarder".
printf 'replaced behind the program' > "$club/save.ini"
focus_mises
keys Tab Tab Tab Tab Tab Tab Right Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space
wait_for 30 bash -c "[ \"\$(cat '$club/save.ini')\" = '$settings' ]" \
    || die "save.ini holds \"$(cat "$club/save.ini")\", not \"$settings\""
note "save.ini written back field for field"
close_program

# --- The frame Windows draws ----------------------------------------------
# Without a virtual desktop Wine leaves the frame to the X window manager
# (none here); in one, Wine draws it as Windows does, greyed buttons included.
timeout 60 wineserver -k
stop_x
start_x 1280x1024
# A click on the middle of the title bar makes the window active again.
activate() {
    eval "$(timeout 30 xdotool getwindowgeometry --shell "$window")"
    timeout 30 xdotool mousemove --window "$window" $((WIDTH / 2)) 15 click 1 || die "could not click the title bar"
    sleep 1
}
# start_in_desktop [FOLDER]: in FOLDER, by default the club's.
start_in_desktop() {
    (cd "${1:-$club}" && exec timeout 300 wine explorer /desktop=frame,1280x1024 "$exe" >"$work/program.log" 2>&1) &
    program_pid=$!
    window=$(wait_window "$title") || exit 1
    sleep 2
}
start_in_desktop
eval "$(timeout 30 xdotool getwindowgeometry --shell "$window")"
if [ -n "${PRIXGENERAL_SCREENSHOT:-}" ]; then
    python3 "$(dirname "${BASH_SOURCE[0]}")/screenshot.py" "$work/screen/Xvfb_screen0" "$X" "$Y" "$WIDTH" 40 \
        "${PRIXGENERAL_SCREENSHOT%.png}-frame.png" || note "no screenshot"
fi
# The X, last in the title bar: 16 x 14 pixels at 96 dpi, inside the frame.
timeout 30 xdotool mousemove --window "$window" $((WIDTH - 14)) 15 click 1 || die "could not click the title bar"
ended_after "a click on the title bar's close button"
start_in_desktop
close_program
note "closed by the title bar's close button and by alt+F4 in a virtual desktop"
# Names typed into the list and not printed: the close button asks first,
# Enter keeps them, and only "Fermer sans imprimer" closes. From comboBox,
# nine Tabs reach the list.
start_in_desktop
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab
type_text "Jean Dupont"
timeout 30 xdotool mousemove --window "$window" $((WIDTH - 14)) 15 click 1 || die "could not click the title bar"
sleep 3
kill -0 "$program_pid" 2>/dev/null || die "the close button threw away the names typed in the list"
question=$(wait_window '^Prix g.+n.+ral$') || die "the question's title bar does not say \"Prix général\""
keys Return
# Enter must answer the question, and keep the window: a missed key would
# leave the question open for the keys that follow.
wait_for 10 window_gone "$question" || die "the close question is still open after Enter"
sleep 2
kill -0 "$program_pid" 2>/dev/null || die "Enter on the question closed the window and lost the names"
! window_gone "$window" && [ "$(wait_window "$title")" = "$window" ] \
    || die "the program's window is not there any more after Enter on the close question"
timeout 30 xdotool mousemove --window "$window" $((WIDTH - 14)) 15 click 1 || die "could not click the title bar"
sleep 3
keys shift+Tab space
ended_after '"Fermer sans imprimer"'
note "with names typed, the close button asked: Enter kept them, \"Fermer sans imprimer\" closed"

# --- Kept across a crash ---------------------------------------------------
# In a fresh folder: the counts, "Calculer" and a name typed into the list,
# then the program ended the way Windows ends a process, TerminateProcess
# (taskkill /F), with no close. The next start offers the work back in a box
# of its own; Enter takes it, and the name prints.
crash=$work/crash
mkdir -p "$crash"
printf '%s' "$settings" > "$crash/save.ini"
start_in_desktop "$crash"
# The window opens on the category: nbMises, nbNoirsPayes, "Calculer", then
# "Imprimer", sommeNoirs, sommePrix, the tab bar and sommeEncaisse to the list.
keys Tab
type_text 123
keys Tab
type_text 45
keys Tab space Tab Tab Tab Tab Tab Tab ctrl+End Return
type_text "Jean Dupont"
kept=$crash/recuperation-1.txt
wait_for 20 grep -q "Jean Dupont" "$kept" 2>/dev/null || die "no $kept with the name typed after 20 s"
note "the work is kept: recuperation-1.txt holds the name ($(wc -c < "$kept") bytes)"
timeout 60 wine taskkill /F /IM prixgeneral.exe >/dev/null 2>&1 || die "taskkill /F could not end prixgeneral.exe"
wait_for 30 bash -c "! kill -0 $program_pid 2>/dev/null" || die "the program still runs after taskkill /F"
wait "$program_pid" 2>/dev/null
program_pid=
[ -f "$kept" ] && [ -f "$crash/recuperation-1.lock" ] || die "the kill took the kept work or its lock with it"
note "ended by taskkill /F: recuperation-1.txt and its lock are left behind"
rm -f "$opened"
start_in_desktop "$crash"
offer=$(wait_window '^Prix g.+n.+ral$') || die "no offer of the kept work at the next start"
note "the next start offers the work in a window titled \"$(xdotool getwindowname "$offer")\""
keys Return
wait_for 10 window_gone "$offer" || die "the offer is still open after Enter"
keys ctrl+p
wait_for 60 test -s "$opened" || die "ctrl+p after taking the work back handed nothing to the .pdf handler"
got=$(tr -d '\r' < "$opened")
sheet=$(winepath -u "$got" 2>/dev/null)
text=$(pdftotext -enc UTF-8 "$sheet" - | tr -s ' \n' '  ')
for piece in "Jean Dupont" "123 mises effectuées" "45 noirs payés"; do
    case $text in *"$piece"*) ;; *) die "\"$piece\" is not on the sheet taken back ($got): $text" ;; esac
done
note "Enter took the work back; ctrl+p printed it: ${got##*\\} holds \"Jean Dupont\""
# The handler's console took the keyboard: a click on the title bar gives it back.
activate
close_program
start_in_desktop "$crash"
! wait_for 5 bash -c "[ -n \"\$(timeout 10 xdotool search --onlyvisible --name '^Prix g.+n.+ral\$' 2>/dev/null)\" ]" \
    || die "after a normal close the next start still offers work"
left=$(cd "$crash" && ls recuperation-*.txt 2>/dev/null)
[ -z "$left" ] || die "after a normal close the next start leaves $left"
note "closed normally, the next start offers nothing and leaves no recuperation-*.txt"

# --- The day's statements -------------------------------------------------
# That day's sheet printed, on to "Journée": Ctrl+Tab twice leaves the focus
# on the tab bar, from which 4 Tabs pass the day, the journal's button and the
# table to fondDeCaisse; 19 more pass the 15 notes and coins, the prizes not
# collected, the deposit and the reason to comptePar, then "Imprimer le
# bilan" and "Bilan de la saison" (Enter presses the focused button).
today=$(date +%F)
year=$(date +%Y)
[ "$(date +%-m)" -ge 9 ] || year=$((year - 1))
season=$year-$((year + 1))
rm -f "$opened"
keys ctrl+Tab ctrl+Tab
sleep 1
keys Tab Tab Tab Tab
type_text 150
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab
type_text "Lea Martin"
keys Tab Return
statement=$crash/bilan_${today}_n1.pdf
wait_for 60 grep -qi "bilan_${today}_n1.pdf" "$opened" 2>/dev/null \
    || die "\"Imprimer le bilan\" handed no bilan_${today}_n1.pdf to the .pdf handler (it got: $(tr -d '\r' < "$opened" 2>/dev/null))"
head -c5 "$statement" | grep -q '%PDF-' || die "no PDF at $statement"
note "\"Imprimer le bilan\" wrote bilan_${today}_n1.pdf and handed it to the handler"
activate
keys Tab Return
wait_for 60 grep -qi "bilan_saison_$season.pdf" "$opened" 2>/dev/null \
    || die "\"Bilan de la saison\" handed no bilan_saison_$season.pdf to the handler (it got: $(tr -d '\r' < "$opened"))"
head -c5 "$crash/bilan_saison_$season.pdf" | grep -q '%PDF-' || die "no PDF at $crash/bilan_saison_$season.pdf"
note "\"Bilan de la saison\" wrote bilan_saison_$season.pdf and handed it to the handler"
book=$crash/caisse.csv
[ -f "$book" ] || die "no caisse.csv after \"Imprimer le bilan\""
rows=$(tr -d '\r' < "$book")
[ "$(printf '%s\n' "$rows" | wc -l)" -eq 2 ] || die "caisse.csv holds other than a header and one row: $rows"
head -n1 "$book" | grep -q $'^\xEF\xBB\xBFN°;Date;Heure;Fond de caisse;' || die "caisse.csv's header is $(head -n1 "$book")"
row=$(printf '%s\n' "$rows" | sed -n 2p)
case $row in "1;$today;"*";150,00;"*"Lea Martin") ;; *) die "caisse.csv's row is \"$row\"" ;; esac
note "caisse.csv: its header and one row: $row"
if command -v pdftotext >/dev/null; then
    text=$(pdftotext -enc UTF-8 "$statement" - | tr -s ' \n' '  ')
    for piece in "Bilan de la journée du" "arc classique" "430,50" "150,00" "Lea Martin"; do
        case $text in *"$piece"*) ;; *) die "\"$piece\" is not in the day's statement: $text" ;; esac
    done
    note "the day's statement reads: $(printf '%s' "$text" | grep -o 'Bilan de la journée du [^0-9]*[0-9]* [^ ]* [0-9]*')"
    text=$(pdftotext -enc UTF-8 "$crash/bilan_saison_$season.pdf" - | tr -s ' \n' '  ')
    for piece in "Bilan de la saison $season" "430,50"; do
        case $text in *"$piece"*) ;; *) die "\"$piece\" is not in the season's statement: $text" ;; esac
    done
    note "the season's statement reads: Bilan de la saison $season, 430,50 € taken"
fi
# All of it printed: the close asks nothing and leaves no work to offer.
activate
close_program
left=$(cd "$crash" && ls recuperation-*.txt 2>/dev/null)
[ -z "$left" ] || die "closing after the statements leaves $left"
note "closed after the statements: nothing asked, no recuperation-*.txt"

# --- 144 dpi on a 1920 x 1008 screen --------------------------------------
timeout 60 wineserver -k
stop_x
start_x 1920x1008
wine_reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f
wine_reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels /t REG_DWORD /d 144 /f
timeout 60 wineserver -w
start_program
sleep 2
eval "$(timeout 30 xdotool getwindowgeometry --shell "$window")"
note "at 144 dpi the window is ${WIDTH}x${HEIGHT} at ${X},${Y}"
[ "$HEIGHT" -gt 800 ] || die "the window is ${HEIGHT} pixels high: not scaled for 144 dpi"
[ "$Y" -ge 0 ] && [ $((Y + HEIGHT)) -le 1008 ] && [ "$X" -ge 0 ] && [ $((X + WIDTH)) -le 1920 ] \
    || die "the window (${WIDTH}x${HEIGHT} at ${X},${Y}) does not fit the 1920x1008 screen"
close_program
note "passed"
