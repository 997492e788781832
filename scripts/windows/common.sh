# Shared by the Wine scripts: a throw-away Wine prefix on a virtual X screen,
# every Wine call under a time limit, and everything ended on exit.
# Sourced; the caller sets `work` (a scratch folder) first.

die() { echo "${0##*/}: FAIL: $*" >&2; exit 1; }
note() { echo "${0##*/}: $*"; }

export WINEPREFIX=$work/prefix
export WINEDEBUG=-all
# No Mono or Gecko downloads, and no Linux menu entries for what gets installed.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine links the prefix's Documents to the home folder: keep it in here.
export HOME=$work/home
mkdir -p "$HOME"

xvfb_pid=
program_pid=
main_pid=$BASHPID
wine_cleanup() {
    [ "$BASHPID" = "$main_pid" ] || return 0
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    timeout 20 wineserver -k 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
    return 0
}
trap wine_cleanup EXIT

# start_x WIDTHxHEIGHT: a virtual screen of its own, on a free display. Its
# picture is kept in $work/screen/Xvfb_screen0 (scripts/windows/screenshot.py).
start_x() {
    mkdir -p "$work/screen"
    # Xvfb writes the display once it takes connections; a file left by the
    # previous screen would name it before the new one is up.
    rm -f "$work/display"
    Xvfb -displayfd 3 -nolisten tcp -screen 0 "$1x24" -fbdir "$work/screen" 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    local i
    for i in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.2
    done
    [ -s "$work/display" ] || die "Xvfb did not start"
    export DISPLAY=:$(head -n1 "$work/display")
}

stop_x() {
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
}

new_prefix() {
    timeout 180 wineboot -i >/dev/null 2>&1 || die "wineboot could not make $WINEPREFIX"
    timeout 60 wineserver -w
}

# wine_reg ARGS...: `reg` inside the prefix.
wine_reg() {
    timeout 60 wine reg "$@" >/dev/null 2>&1 || die "wine reg $*"
}

# find_window PATTERN: the id of a visible window whose name matches, or
# nothing. While a program starts, Wine makes and destroys windows of its
# own; one destroyed while xdotool reads it ends xdotool on an X error
# (BadWindow), so one search that found nothing proves nothing.
find_window() {
    timeout 10 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1
}

# wait_window PATTERN: the id of the one visible window whose name matches,
# searched again until it is there (60 s at most).
wait_window() {
    local found= deadline=$((SECONDS + 60))
    while [ -z "$found" ] && [ "$SECONDS" -lt "$deadline" ]; do
        found=$(find_window "$1")
        [ -n "$found" ] || sleep 0.5
    done
    if [ -z "$found" ]; then
        [ -z "$program_pid" ] || kill -0 "$program_pid" 2>/dev/null || note "the program has ended" >&2
        die "no window \"$1\" appeared"
    fi
    echo "$found"
}

# window_gone ID: whether the window no longer exists. (A search for its
# name would take an X error for "gone".)
window_gone() {
    ! xdotool getwindowname "$1" >/dev/null 2>&1
}

# wait_for SECONDS COMMAND...: until COMMAND succeeds.
wait_for() {
    local limit=$1 i
    shift
    for i in $(seq $((limit * 5))); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}
