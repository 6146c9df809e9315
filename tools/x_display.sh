# shellcheck shell=bash
# Sourced by the scripts that start the program on a virtual X display and watch its windows
# (tools/check_package.sh, .ci/menu_window.sh). Needs Xvfb and xwininfo (x11-utils). The
# sourcing script gives `fail MESSAGE` and the folder `$work` for the program's log.

main_title="Телефонный справочник г.Ольмарск 2004"
error_title="Телефонный справочник г.Ольмарск"

# x_display_start FOLDER [Xvfb options...]: starts Xvfb, 1024x768, and points DISPLAY at it.
# Without -noreset the server resets whenever its last client leaves, and a program starting
# meanwhile cannot connect.
x_display_pid=
x_display_start() {
    local folder="$1"
    shift
    exec 3>"$folder/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset "$@" >/dev/null 2>&1 &
    x_display_pid=$!
    exec 3>&-
    for _ in $(seq 50); do
        [ -s "$folder/display" ] && break
        sleep 0.1
    done
    [ -s "$folder/display" ] || return 1
    DISPLAY=":$(cat "$folder/display")"
    export DISPLAY
}

# Stops the program started on the display, if it still runs (a check that failed half-way
# leaves it there), then the display. Both waited for: a server still going away keeps its
# display's socket from the next one.
x_display_stop() {
    if [ -n "${program_pid:-}" ]; then
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
        program_pid=
    fi
    if [ -n "$x_display_pid" ]; then
        kill "$x_display_pid" 2>/dev/null || true
        wait "$x_display_pid" 2>/dev/null || true
        x_display_pid=
    fi
}

# The id of the program's window with exactly this title, if it is on the display. Its windows
# carry the class ("telspr" ...); the 1x1 helper window Qt names after the application has none.
# xwininfo shows the UTF-8 titles only in a UTF-8 locale.
window_id() {
    LC_ALL=C.UTF-8 xwininfo -root -tree | awk -v title="\"$1\": (\"telspr\"" 'index($0, title) {print $1; exit}'
}
window_shown() {
    [ -n "$(window_id "$1")" ]
}

# await_window PID: waits up to 5 s for the program's first window. Returns 0 for the main
# window, 1 for an error box (one comes before the main window is shown), 2 when the program
# ended, 3 when nothing came.
await_window() {
    for _ in $(seq 50); do
        window_shown "$error_title" && return 1
        window_shown "$main_title" && return 0
        kill -0 "$1" 2>/dev/null || return 2
        sleep 0.1
    done
    return 3
}

# await_no_window: waits up to 5 s for the program's windows to go; fails if one stays.
await_no_window() {
    for _ in $(seq 50); do
        window_shown "$main_title" || window_shown "$error_title" || return 0
        sleep 0.1
    done
    return 1
}

# start LABEL FOLDER COMMAND...: starts a program in FOLDER and waits for its main window.
program_pid=
start() {
    local label="$1" folder="$2"
    shift 2
    (cd "$folder" && exec "$@") >"$work/program.log" 2>&1 &
    program_pid=$!
    local outcome=0
    await_window "$program_pid" || outcome=$?
    case $outcome in
        1) fail "$label: an error box appeared" ;;
        2) fail "$label: the program ended: $(cat "$work/program.log")" ;;
        3) fail "$label: no main window within 5 s" ;;
    esac
}
stop() {
    kill "$program_pid"
    wait "$program_pid" || true
    program_pid=
    await_no_window || fail "a window stayed after the program ended"
}
