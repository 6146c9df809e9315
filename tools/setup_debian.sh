#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program, the tests and the package checks
# (dpkg-shlibdeps, the desktop entry, metainfo and man page validators, xwininfo) need (run
# as root).
# Packages already present are left alone, so a second run is quick.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev
    libsqlite3-dev sqlite3 libxlsxwriter-dev libicu-dev libpq-dev postgresql
    fonts-dejavu-core
    python3 python3-openpyxl poppler-utils xvfb xauth openssl
    dpkg-dev desktop-file-utils appstream man-db x11-utils
)
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
