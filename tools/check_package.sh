#!/usr/bin/env bash
# Checks the Debian package as a desktop uses it:
#     bash tools/check_package.sh                  # builds it first (cpack -G DEB in build/)
#     bash tools/check_package.sh telspr_1.0_amd64.deb
# The package's fields and files; lintian (Debian's default profile) has nothing to say; the
# desktop entry, the AppStream metainfo and the man page pass their validators. The launcher,
# unpacked and started under Xvfb on fresh accounts whose folder names have spaces and
# Cyrillic letters, shows the main window and no error box within 5 s, makes the directory file
# in the user's data folder and nowhere else, and reuses it on the next start. (CI installs the
# package into a fresh Debian root and looks at the window there: .ci/run.)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
given="${1:-}"

bash "$root/tools/setup_debian.sh"
# shellcheck source=x_display.sh
source "$root/tools/x_display.sh"

work="$(mktemp -d)"
cleanup() {
    x_display_stop
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "check_package: $*" >&2
    exit 1
}

app_id=ru.olmarsk.telspr

# The package and its contents.
if [ -n "$given" ]; then
    deb="$(realpath "$given")"
else
    bash "$root/tools/build.sh" "$build" >/dev/null
    (cd "$build" && cpack -G DEB -B "$work/deb" >/dev/null)
    deb="$(echo "$work"/deb/telspr_*_*.deb)"
fi
[ -f "$deb" ] || fail "no package ${given:-made in $work/deb}"
echo "Package: $(basename "$deb"), installed size $(dpkg-deb -f "$deb" Installed-Size) KiB"
dpkg-deb -f "$deb" Depends
# The summary is the first line only, and the text under it is plain indented lines.
description="$(dpkg-deb -f "$deb" Description)"
[ "$(sed -n 2p <<<"$description" | sed 's/^ *//')" != "$(head -n1 <<<"$description")" ] ||
    fail "the description repeats its summary: $description"
! grep -q '^ *;' <<<"$description" || fail "the description has lines starting with ';'"
unpacked="$work/unpacked"
dpkg-deb -x "$deb" "$unpacked"
for file in usr/bin/telspr usr/bin/telspr-launch usr/bin/telspr-import usr/bin/telspr-demo \
    usr/share/telspr/tel.dll "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" usr/share/man/man1/telspr.1.gz \
    usr/share/man/man1/telspr-import.1.gz usr/share/man/man1/telspr-demo.1.gz \
    usr/share/man/man1/telspr-launch.1.gz \
    usr/share/doc/telspr/copyright usr/share/doc/telspr/changelog.gz \
    "usr/share/icons/hicolor/32x32/apps/$app_id.png" \
    "usr/share/icons/hicolor/64x64/apps/$app_id.png" \
    "usr/share/icons/hicolor/128x128/apps/$app_id.png"; do
    [ -f "$unpacked/$file" ] || fail "the package lacks /$file"
done

# The validators: each must find nothing to say. lintian, as root, says so on stderr.
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>"$work/lintian.err" ||
    fail "lintian: $(cat "$work/lintian" "$work/lintian.err")"
[ ! -s "$work/lintian" ] || fail "lintian: $(cat "$work/lintian")"
desktop_notes="$(desktop-file-validate "$unpacked/usr/share/applications/$app_id.desktop" 2>&1)" ||
    fail "desktop-file-validate: $desktop_notes"
[ -z "$desktop_notes" ] || fail "desktop-file-validate: $desktop_notes"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app_id.metainfo.xml" >"$work/appstream" 2>&1 ||
    fail "appstreamcli validate: $(cat "$work/appstream")"
# The page is UTF-8 with Russian text, as a Russian user's terminal shows it.
LC_ALL=C.UTF-8 man --warnings -l "$unpacked/usr/share/man/man1/telspr.1.gz" >"$work/man.txt" 2>"$work/man.err"
[ ! -s "$work/man.err" ] || fail "man --warnings: $(cat "$work/man.err")"
grep -q "XDG_DATA_HOME/telspr" "$work/man.txt" || fail "the man page does not say where tel.dll is"
echo "lintian, desktop entry, metainfo and man page: nothing to say"

x_display_start "$work" || fail "Xvfb did not start"

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

echo "Package checks passed."
