#!/usr/bin/env bash
# Remakes the guide's pictures from the real program: both tabs after a day's
# counts and "Calculer", under a virtual X server, and the first page of the
# sheet that "Imprimer" writes.
#   bash tools/guide_pictures.sh [PATH/TO/prixgeneral]   (default: build/prixgeneral)
# Needs Xvfb, xdotool and pdftoppm (Debian: xvfb, xdotool, poppler-utils).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(readlink -f "${1:-$root/build/prixgeneral}")
out=$root/docs/guide
crop=$root/scripts/windows/screenshot.py
[ -x "$program" ] || { echo "guide_pictures.sh: build the program first ($program)" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-pictures.XXXXXX")
xvfb_pid=
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/screen" "$work/bin" "$work/club" "$work/runtime"
chmod 700 "$work/runtime"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 -fbdir "$work/screen" 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.2; done
export DISPLAY=:$(head -n1 "$work/display")

# The sheet is recorded, not shown: no PDF viewer starts.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$work/opened.log" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# A club's settings: three prizes of 30, 20 and 10 %, rounded to 5 €, and its crest.
cp "$root/resources/blason.png" "$work/club/blason.png"
printf '3.5;0.5;3;20;3;pourcent;30;20;10;0;0;blason.png;5' > "$work/club/save.ini"

# A French system, as the clubs': decimal commas in the spin boxes.
(cd "$work/club" && PATH=$work/bin:$PATH QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work/runtime LANG=fr_FR.UTF-8 \
    exec "$program" >/dev/null 2>&1) &
program_pid=$!
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Calcul Prix g.+n.+raux$' | head -n1)

shoot() {
    sleep 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    python3 "$crop" "$work/screen/Xvfb_screen0" "$X" "$Y" "$WIDTH" "$HEIGHT" "$1"
}

# Without a window manager a click makes the window active: on the category
# list, which Escape closes again, leaving the keyboard there.
xdotool mousemove --window "$window" 530 44 click 1
sleep 1
xdotool key Escape
xdotool mousemove 1020 760
# Focus order: category, "Nombre de mises", "Nombre de noirs remboursés", "Calculer".
xdotool key --delay 80 Tab
xdotool type --delay 80 120
xdotool key --delay 80 Tab
xdotool type --delay 80 60
xdotool key --delay 80 Tab space
shoot "$out/calcul.png"

xdotool key ctrl+p
for _ in $(seq 100); do [ -s "$work/opened.log" ] && break; sleep 0.2; done
[ -s "$work/opened.log" ] || { echo "guide_pictures.sh: no sheet was printed" >&2; exit 1; }
pdftoppm -png -r 60 -f 1 -l 1 -singlefile "$(head -n1 "$work/opened.log")" "$work/feuille"
cp "$work/feuille.png" "$out/feuille.png"

# The tabs sit below the pages: "Configuration" is the second.
xdotool mousemove --window "$window" 125 663 click 1
xdotool mousemove 1020 760
shoot "$out/configuration.png"

# Two more categories on "Calcul", then the day's account on "Journée".
# type_into X Y TEXT: clicks a field of the window and replaces its text.
type_into() {
    xdotool mousemove --window "$window" "$1" "$2" click 1
    xdotool key ctrl+a
    xdotool type --delay 60 "$3"
}
category() {
    xdotool mousemove --window "$window" 40 663 click 1
    xdotool mousemove --window "$window" 530 44 click 1
    sleep 0.5
    # shellcheck disable=SC2086 # one key name a word
    xdotool key --delay 80 $1 Return
    xdotool key --delay 80 Tab
    xdotool type --delay 80 "$2"
    xdotool key --delay 80 Tab
    xdotool type --delay 80 "$3"
    xdotool key --delay 80 Tab space Tab space
    sleep 2
}
category Down 57 3
category "Down Down" 20 0
xdotool mousemove --window "$window" 205 663 click 1
sleep 1
type_into 515 374 150
type_into 110 453 2
type_into 110 478 1
type_into 110 503 2
type_into 230 403 1
type_into 520 531 "Léa Martin"
xdotool mousemove 1020 760
shoot "$out/journee.png"
ls -l "$out"/*.png
