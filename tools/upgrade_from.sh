#!/usr/bin/env bash
# A club's upgrade, in a fresh Wine prefix: OLD_SETUP.exe installed, then
# NEW_SETUP.exe run over it (it runs the old version's uninstaller), then the
# new version uninstalled. After each step, what the installers added to the
# Start menu (+) or took from it (-) and the registry keys either version may
# have written. Fails if the uninstall leaves any of them, or the user's file.
# In the Debian 13 root, once the Windows build is there, with both installers
# inside this tree (the root sees nothing else), e.g. in build-windows/:
#   bash scripts/debian13.sh exec bash tools/upgrade_from.sh OLD_SETUP.exe NEW_SETUP.exe
set -uo pipefail

old=$(readlink -f "${1:?usage: upgrade_from.sh OLD_SETUP.exe NEW_SETUP.exe}")
new=$(readlink -f "${2:?usage: upgrade_from.sh OLD_SETUP.exe NEW_SETUP.exe}")
[ -f "$old" ] && [ -f "$new" ] || { echo "upgrade_from.sh: no $old or no $new" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/prixgeneral-upgrade.XXXXXX")
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/windows/common.sh"

start_x 1280x1024
new_prefix
drive=$WINEPREFIX/drive_c
# Start-menu entries, folders too, under both the user's and all users' menus.
start_menu() { find "$drive" -path '*/Start Menu/*' -printf '%P\n' | sed 's,.*/Start Menu/,,' | LC_ALL=C sort; }
wine_menu=$(start_menu)
keys=("Software\\Compagnie d'arc" "Software\\Club de tir à l'arc"
      'Software\Microsoft\Windows\CurrentVersion\Uninstall\prixgeneral')
show() {
    echo "== $1"
    echo "Start menu (beside Wine's own):"
    comm -3 <(echo "$wine_menu") <(start_menu) | sed -e 's/^\t/  + /;t' -e 's/^/  - /' | tee "$work/menu"
    left=$(cat "$work/menu")
    local root key found
    for root in HKLM HKCU; do
        for key in "${keys[@]}"; do
            if found=$(timeout 60 wine reg query "$root\\$key" /s 2>/dev/null); then
                found=$(iconv -f CP437 -t UTF-8 <<<"$found" | tr -d '\r' | grep -v '^$' | sed 's/^/  /')
                echo "$root\\$key:${found:+$'\n'}${found:- (there, empty)}"
                left+=" $root\\$key"
            else
                echo "$root\\$key: (none)"
            fi
        done
    done
    echo "Documents\\Prix général: $(ls -A "$drive"/users/*/Documents/Prix\ général 2>/dev/null | tr '\n' ' ')"
}

run() { timeout 300 wine "$@" || die "$* failed"; timeout 120 wineserver -w; }
run "$old" /S
show "after installing $(basename "$old")"
# The user's own files, which neither version may touch.
folder=$(echo "$drive"/users/*/Documents/Prix\ général)
printf 'feuille\n' >"$folder/journal.csv"
run "$new" /S
show "after installing $(basename "$new") over it"
run "$drive/Program Files/Prix général/Uninstall.exe" /S
show "after uninstalling"
[ -z "$left" ] || die "the uninstall left:$left"
[ -f "$folder/journal.csv" ] || die "the user's $folder/journal.csv is gone"
note "nothing left but the user's folder"
