#!/usr/bin/env bash
# Runs a Windows program of the x64 build under Wine, in the project's own prefix.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KX_WINEPREFIX:-$root/build/wine-prefix}"
# No debugger on a crash: Wine's would wait on its dialog until the test's time-out, where
# without it the program ends at once and the fault's address stays in the output.
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wine "$@"
rc=$?
# A test that fails without a line of its own output still says how Wine ended it.
if [ "$rc" -ne 0 ]; then echo "wine-run: $(basename "$1") ended with exit code $rc" >&2; fi
exit "$rc"
