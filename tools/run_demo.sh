#!/usr/bin/env bash
# Installs what is missing, builds, makes a demo directory in ./demo (once) and starts the
# program there.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/setup_debian.sh"
bash "$root/tools/build.sh" "$root/build"
mkdir -p "$root/demo"
cd "$root/demo"
[ -f tel.dll ] || "$root/build/tools/demo/telspr-demo" tel.dll
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$root/build/app/telspr"
fi
echo "No display here: starting the program on a virtual X display (tools/screenshot.sh takes a picture of it)."
exec xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/app/telspr"
