#!/usr/bin/env bash
# Installs the Debian 12 packages this project needs (run as root):
#     bash tools/setup_debian.sh            # everything: the build, the program, the tests and
#                                           # the package checks
#     bash tools/setup_debian.sh --package  # only what building the Debian package needs
# Packages already present are left alone, so a second run is quick.
set -euo pipefail

# Building the programs and the package: the compiler and the libraries' headers (libxlsxwriter
# links zlib), the DejaVu Sans the artwork is drawn with at build time, and what cpack uses to
# work out the libraries' packages (file, dpkg-shlibdeps).
package_build=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev libxlsxwriter-dev zlib1g-dev libicu-dev libpq-dev
    fonts-dejavu-core
    file dpkg-dev
)
# What the program needs to run from the build folder: the package's Depends, read from the
# top CMakeLists.txt (the sqlite3 program for telspr-import, the window's fonts, Qt's Russian
# texts), split at the commas, any version in brackets dropped.
root="$(cd "$(dirname "$0")/.." && pwd)"
depends=$(sed -n 's/^set(CPACK_DEBIAN_PACKAGE_DEPENDS "\(.*\)")$/\1/p' "$root/CMakeLists.txt")
mapfile -t program_run < <(tr ',' '\n' <<<"$depends" | sed 's/([^)]*)//; s/^ *//; s/ *$//' | grep .)
if ((${#program_run[@]} == 0)); then
    echo "no set(CPACK_DEBIAN_PACKAGE_DEPENDS \"...\") line found in $root/CMakeLists.txt" >&2
    exit 2
fi
# The tests (a PostgreSQL server of their own, with TLS certificates made by openssl; openpyxl
# and pdftotext reading the outputs; a virtual X display) and the package checks (the
# validators, man, xwininfo, lintian).
tests=(
    postgresql openssl python3 python3-openpyxl poppler-utils xvfb xauth
    desktop-file-utils appstream man-db x11-utils lintian
)

case "${1:-}" in
    "") packages=("${package_build[@]}" "${program_run[@]}" "${tests[@]}") ;;
    --package) packages=("${package_build[@]}") ;;
    *)
        echo "usage: $0 [--package]" >&2
        exit 2
        ;;
esac

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
