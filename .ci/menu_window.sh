#!/usr/bin/env bash
# Inside a Debian root where telspr is installed (.ci/run's two roots), as root:
#     bash .ci/menu_window.sh OUT
#     bash .ci/menu_window.sh --account   # only makes the user's account
# A normal user whose home folder's name has spaces and Cyrillic letters starts the menu
# entry's command line twice under Xvfb. The first start must show the main window and copy
# the package's empty directory into the user's data folder. Before the second, the user fills
# that file with telspr-demo's entries; the window then lists them all (house «%») and is
# pictured without the text cursor or the mouse pointer on it: OUT/window.xwd, the virtual
# screen as Xvfb keeps it, which .ci/run compares pixel for pixel between the two roots.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
user=telspr-user
home="/home/Оператор справочной"
app_id=ru.olmarsk.telspr

fail() {
    echo "menu_window: $*" >&2
    exit 1
}

if [ "${1:-}" != --as-user ]; then
    out="${1:?usage: $0 OUT | --account}"
    id "$user" >/dev/null 2>&1 || useradd --create-home --home-dir "$home" --shell /bin/bash "$user"
    [ "$out" != --account ] || exit 0
    mkdir -p "$out"
    shot="$(runuser -u "$user" -- mktemp -d)"
    # What a desktop session gives a program: the user's own HOME and PATH, a UTF-8 locale.
    runuser -u "$user" -- env -i "HOME=$home" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
        bash "$here/.ci/menu_window.sh" --as-user "$shot"
    cp "$shot/window.xwd" "$out/window.xwd"
    rm -rf "$shot"
    exit 0
fi

# The user's part.
shot="$2"
# shellcheck source=../tools/x_display.sh
source "$here/tools/x_display.sh"
work="$(mktemp -d)"
cleanup() {
    x_display_stop
    rm -rf "$work"
}
trap cleanup EXIT

x_display_start "$work" -fbdir "$work" || fail "Xvfb did not start"
screen="$work/Xvfb_screen0"
# A copy of the screen once it has stopped changing (two copies 0.3 s apart agree).
settled_screen() {
    cp "$screen" "$1"
    for _ in $(seq 20); do
        sleep 0.3
        cp "$screen" "$work/next"
        cmp -s "$1" "$work/next" && return 0
        cp "$work/next" "$1"
    done
    fail "the screen keeps changing"
}

# The desktop runs the entry's command line (no field codes in it) from the user's home.
command_line="$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")"
data="$HOME/.local/share/telspr/tel.dll"
# shellcheck disable=SC2086 # the command line is split into words as the desktop does
start "first start" "$HOME" $command_line
stop
cmp -s "$data" /usr/share/telspr/tel.dll || fail "no copy of the empty directory at $data"

telspr-demo --force --city 300 "$data" >/dev/null
# shellcheck disable=SC2086
start "second start" "$HOME" $command_line
window="$(window_id "$main_title")"
settled_screen "$work/before.xwd"
# The house input (33,234 in the window) gets «%», Enter searches.
xdotool mousemove --window "$window" 33 234 click 1
sleep 0.3
xdotool type --delay 50 %
xdotool key Return
sleep 1
# Qt gives its window the input focus; taken back to the root window, no text cursor blinks.
xdotool mousemove 1023 767 windowfocus --sync "$(xwininfo -root | awk '/Window id:/ {print $4}')"
settled_screen "$shot/window.xwd"
! cmp -s "$work/before.xwd" "$shot/window.xwd" || fail "the search changed nothing in the window"
! window_shown "$error_title" || fail "the search brought an error box"
stop
echo "Menu entry as $(id -un) in «$HOME»: main window, $data made from the package's, entries listed"
