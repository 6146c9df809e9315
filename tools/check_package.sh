#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) and checks it as a desktop uses it. From the
# unpacked package: the desktop entry, the AppStream metainfo and the man page pass their
# validators; the launcher, started under Xvfb on fresh accounts whose folder names have
# spaces and Cyrillic letters, shows the main window and no error box within 5 s, makes the
# directory file in the user's data folder and nowhere else, and reuses it on the next start.
# With --install the package is also installed with apt, started through its menu entry's
# command line the same way, and removed again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
install=false
[ "${1:-}" = --install ] && install=true

bash "$root/tools/setup_debian.sh"
bash "$root/tools/build.sh" "$build" >/dev/null

work="$(mktemp -d)"
chmod 755 "$work"  # apt reads the package as its own user
xvfb_pid=
cleanup() {
    # Waited for: a server still going away keeps its display's socket from the next one.
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}

app_id=ru.olmarsk.telspr
main_title="Телефонный справочник г.Ольмарск 2004"
error_title="Телефонный справочник г.Ольмарск"

# The package and its contents.
(cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
deb="$(echo "$work"/deb/telspr_*_*.deb)"
[ -f "$deb" ] || fail "no package made in $work/deb"
echo "Package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends
unpacked="$work/unpacked"
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/telspr usr/bin/telspr-launch usr/bin/telspr-import usr/bin/telspr-demo \
    usr/share/telspr/tel.dll "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/telspr.1.gz \
    "usr/share/icons/hicolor/32x32/apps/$app_id.png" \
    "usr/share/icons/hicolor/64x64/apps/$app_id.png" \
    "usr/share/icons/hicolor/128x128/apps/$app_id.png"; do
    [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done

# The validators: each must find nothing to say.
desktop_notes="$(desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop" 2>&1)" ||
    fail "desktop-file-validate: $desktop_notes"
[ -z "$desktop_notes" ] || fail "desktop-file-validate: $desktop_notes"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream")"
# The page is UTF-8 with Russian text, as a Russian user's terminal shows it.
LC_ALL=C.UTF-8 man --warnings -l "$unpacked/usr/share/man/man1/telspr.1.gz" >"$work/man.txt" 2>"$work/man.err"
[ ! -s "$work/man.err" ] || fail "man --warnings: $(cat "$work/man.err")"
grep -q "XDG_DATA_HOME/telspr" "$work/man.txt" || fail "the man page does not say where tel.dll is"
echo "Desktop entry, metainfo and man page: valid"

# A virtual X display for the program's windows. Without -noreset the server resets whenever
# its last client leaves, and a program starting meanwhile cannot connect.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

# Whether a window of the program with exactly this title is on the display. Its windows
# carry the class ("telspr" ...); the 1x1 helper window Qt names after the application has none.
window_shown() {
    xwininfo -root -tree | grep -qF "\"$1\": (\"telspr\""
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
    for _ in $(seq 50); do
        window_shown "$main_title" || window_shown "$error_title" || return 0
        sleep 0.1
    done
    fail "a window stayed after the program ended"
}

# The check must be able to see an error box: the bare program in a folder without tel.dll
# reports one.
mkdir -p "$work/empty"
(cd "$work/empty" && exec "$unpacked/usr/bin/telspr") >"$work/program.log" 2>&1 &
program_pid=$!
outcome=0
await_window "$program_pid" || outcome=$?
[ "$outcome" = 1 ] || fail "no error box seen for a missing tel.dll (outcome $outcome): $(cat "$work/program.log")"
stop

# account LABEL LAUNCHER HOME [XDG_DATA_HOME]: two starts of the launcher on a fresh account,
# from a working folder of its own; the directory file must appear in the data folder only.
account() {
    local label="$1" launcher="$2" home="$3" data_home="${4:-}"
    local data="${data_home:-$home/.local/share}/telspr"
    local cwd="$work/cwd $label"
    mkdir -p "$home" "$cwd"
    local env=(env -u XDG_DATA_HOME "HOME=$home" "LC_ALL=C.UTF-8")
    [ -z "$data_home" ] || env+=("XDG_DATA_HOME=$data_home")

    start "$label, first start" "$cwd" "${env[@]}" "$launcher"
    [ "$(readlink "/proc/$program_pid/cwd")" = "$data" ] ||
        fail "$label: the program's working folder is $(readlink "/proc/$program_pid/cwd"), not $data"
    stop
    local made
    made="$(find "$work" -path "$unpacked" -prune -o -path "$work/deb" -prune -o \
        -name '*tel.dll*' -print)"
    [ "$made" = "$data/tel.dll" ] || fail "$label: directory files made: ${made:-none}"
    cmp -s "$data/tel.dll" "$unpacked/usr/share/telspr/tel.dll" ||
        fail "$label: $data/tel.dll is not the packaged empty directory"

    # The second start opens the same file, with what was put into it in between.
    sqlite3 "$data/tel.dll" "INSERT INTO tel (tel, fam) VALUES ('12345', 'Проверкин')"
    local inode
    inode="$(stat -c %i "$data/tel.dll")"
    start "$label, second start" "$cwd" "${env[@]}" "$launcher"
    stop
    [ "$(stat -c %i "$data/tel.dll")" = "$inode" ] || fail "$label: tel.dll was replaced"
    [ "$(sqlite3 "$data/tel.dll" "SELECT count(*) FROM tel")" = 1 ] || fail "$label: the entry is gone"
    rm -f "$data/tel.dll"  # not to be counted as made by the next account
    echo "Launcher, $label: main window, no error box, $data/tel.dll made once and reused"
}

account "default data folder" "$unpacked/usr/bin/telspr-launch" "$work/домашняя папка"
account "XDG_DATA_HOME" "$unpacked/usr/bin/telspr-launch" "$work/home" "$work/мои данные/data"

if $install; then
    dpkg-query -W -f='${Status}' telspr 2>/dev/null | grep -q "install ok installed" &&
        fail "telspr is installed already; --install would replace it"
    export DEBIAN_FRONTEND=noninteractive
    # Only what the package depends on: the program must run without its recommendations.
    apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
    trap 'apt-get purge -y -qq telspr >/dev/null; cleanup' EXIT
    # What the menu runs: the entry's command line, through PATH.
    command_line="$(sed -n 's/^Exec=//p' "/usr/share/applications/$app_id.desktop")"
    account "installed, menu entry" "$(command -v "$command_line")" "$work/установлено"
fi
echo "Package checks passed."
