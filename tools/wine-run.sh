#!/usr/bin/env bash
# Runs a Windows program of the x64 build under Wine, in the project's own prefix.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${KX_WINEPREFIX:-$root/build/wine-prefix}"
# No debugger on a crash: Wine's would wait on its dialog until the test's time-out, where
# without it the program ends at once and the fault's address stays in the output.
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
exec wine "$@"
