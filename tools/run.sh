#!/usr/bin/env bash
# Builds the clock corrector and starts it under Wine in the prefix's virtual desktop, so
# that the window's caption is drawn. Without a display of your own it runs on a private Xvfb.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
tools/setup.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 --target clock-corrector
set +e
# The prefix puts every program into one virtual desktop (tools/setup.sh); the desktop is
# closed with the program, before a private display goes away.
export WINEPREFIX="$root/build/wine-prefix"
tools/with-display.sh bash -c 'tools/wine-run.sh build/x64/app/clock-corrector.exe; rc=$?; wineserver -k; exit $rc'
rc=$?
echo "clock-corrector ended with exit code $rc"
exit $rc
