#!/usr/bin/env bash
# A minimal Debian 12 root (the essential packages and apt, from this machine's Debian mirrors)
# made with mmdebstrap, used once and thrown away:
#     bash .ci/fresh_root.sh CHECKOUT.tar RESULTS SCRIPT [FILE]
# The root gets CHECKOUT.tar unpacked in /srv/telspr and FILE in /srv, runs
# `bash /srv/telspr/.ci/SCRIPT [/srv/FILE's name]` as root in a clean environment, and hands
# its /srv/out back into the folder RESULTS. For the hooks mmdebstrap mounts /proc, /sys and
# /dev and keeps services from starting; it unmounts and removes the root however they end.
set -euo pipefail
checkout="$1" results="$2" script="$3" file="${4:-}"

# The machine's own Debian sources when they are for Debian 12; else mmdebstrap's default,
# deb.debian.org with the updates and security suites.
mirrors=()
for list in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
    if [ -f "$list" ] && grep -qw bookworm "$list"; then
        mirrors=("$list")
        break
    fi
done

# The special hooks (tar-in, upload, sync-out) take paths without spaces.
for path in "$checkout" "$results" "$file"; do
    [[ "$path" != *" "* ]] || { echo "fresh_root: a path with a space: $path" >&2; exit 2; }
done
# shellcheck disable=SC2016 # mmdebstrap's shell expands $1, the root's folder
hooks=(--customize-hook='mkdir -p "$1/srv/telspr" "$1/srv/out"')
hooks+=(--customize-hook="tar-in $checkout /srv/telspr")
arguments=
if [ -n "$file" ]; then
    hooks+=(--customize-hook="upload $file /srv/$(basename "$file")")
    arguments="/srv/$(basename "$file")"
fi
hooks+=(--customize-hook="chroot \"\$1\" env -i HOME=/root TERM=dumb \
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
bash /srv/telspr/.ci/$script $arguments")
mkdir -p "$results"
hooks+=(--customize-hook="sync-out /srv/out $results")

mmdebstrap --variant=apt --quiet "${hooks[@]}" bookworm /dev/null "${mirrors[@]}"
