#!/usr/bin/env bash
# Makes docs/screenshot.png: the real main window on a virtual X display, showing the demo
# directory after a search. Run tools/run_demo.sh's set-up first (or this does the build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/tools/build.sh" "$root/build" >/dev/null
mkdir -p "$root/demo" "$root/docs"
cd "$root/demo"
[ -f tel.dll ] || "$root/build/tools/demo/telspr-demo" tel.dll
xvfb-run -a -s "-screen 0 1024x768x24" "$root/build/tools/screenshot/window_screenshot" "$root/docs/screenshot.png"
echo "Wrote $root/docs/screenshot.png"
