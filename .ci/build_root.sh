#!/usr/bin/env bash
# Inside .ci/run's first fresh Debian 12 root, as root, in a copy of the checkout: follows the
# README. The package is built as its Install section says (only what that needs installed, no
# tests), then the README's test command runs every test and its demo command starts the
# program, tools/check_package.sh checks the package, and the package, installed here as well,
# has its menu entry's window pictured as the reference for the second root. Last, the
# README's walk-through for a shared directory runs on this root's own PostgreSQL cluster
# (.ci/walk_through.sh). Writes to /srv/out: the package, window.xwd, times, walk-through.
set -euo pipefail
cd "$(dirname "$0")/.."
out=/srv/out
mkdir -p "$out"
export CI_TIMES="$out/times"
# shellcheck source=stage.sh
source .ci/stage.sh

# The README's Install section, word for word up to the apt line.
stage "Package built as the README's Install says" bash -euc '
    bash tools/setup_debian.sh --package
    bash tools/build.sh build -DBUILD_TESTING=OFF
    (cd build && cpack -G DEB)
'
deb="$(echo build/telspr_*_amd64.deb)"
cp "$deb" "$out/"
stage "The README's test command" bash tools/run_tests.sh
stage "The README's demo command" bash .ci/demo_command.sh
stage "Package checks" bash tools/check_package.sh "$deb"
# shellcheck disable=SC2016 # expanded by the inner shell
stage "Package installed here, reference window" bash -euc '
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$1" xdotool
    bash .ci/menu_window.sh "$2"
' - "$deb" "$out"
stage "The administrator's walk-through on a throwaway server" bash .ci/walk_through.sh "$out"
