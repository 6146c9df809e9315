#!/usr/bin/env bash
# Inside .ci/run's second fresh Debian 12 root, as root: installs the package with apt and
# nothing it does not depend on, starts its menu entry as a normal user and pictures the window
# (.ci/menu_window.sh), then purges the package and lists what is left. Writes to /srv/out:
# window.xwd, times, and the figures: dependencies (what apt installs with the package),
# disk-space (what that takes), left-in-home and left-in-system.
#     bash .ci/install_root.sh /srv/telspr_1.0_amd64.deb
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
deb="$1"
out=/srv/out
mkdir -p "$out"
export CI_TIMES="$out/times" DEBIAN_FRONTEND=noninteractive
# shellcheck source=stage.sh
source "$here/.ci/stage.sh"

apt-get update -qq
# What apt brings on this bare root with the package (its own line included).
apt-get install -s --no-install-recommends "$deb" | awk '/^Inst / {print $2}' >"$out/dependencies"
grep -qx telspr "$out/dependencies" || { echo "install_root: apt would not install telspr" >&2; exit 1; }
apt-get install --assume-no --no-install-recommends "$deb" 2>&1 |
    sed -n 's/^After this operation, \(.*\) of additional disk space will be used.*/\1/p' >"$out/disk-space" || true
echo "apt installs $(($(wc -l <"$out/dependencies") - 1)) packages with telspr, $(cat "$out/disk-space") in all"

# The tools of the check, not of the package: a virtual X display, xwininfo, xdotool; and the
# user's account. What is there now is not counted as left behind by the package.
stage "Check tools installed" apt-get install -y -qq --no-install-recommends xvfb x11-utils xdotool
bash "$here/.ci/menu_window.sh" --account
find /usr /etc | sort >"$out/before"

stage "Package installed with apt" apt-get install -y --no-install-recommends "$deb"
stage "Menu entry started by a user" bash "$here/.ci/menu_window.sh" "$out"

stage "Package purged" apt-get purge -y -qq telspr
stage "Its dependencies removed" apt-get autoremove -y -qq --purge
find /usr /etc | sort >"$out/after"
comm -13 "$out/before" "$out/after" >"$out/left-in-system"
home="$(getent passwd telspr-user | cut -d: -f6)"
find "$home" -mindepth 1 \( -type f -o -type l \) >"$out/left-in-home"
echo "Left under /usr and /etc after the purge: $(wc -l <"$out/left-in-system") paths"
sed 's/^/    /' "$out/left-in-system"
echo "Left in the user's home:"
sed 's/^/    /' "$out/left-in-home"
if grep -E 'telspr|olmarsk' "$out/left-in-system"; then
    echo "install_root: the purge left the package's files behind" >&2
    exit 1
fi
