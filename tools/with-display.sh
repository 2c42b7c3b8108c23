#!/usr/bin/env bash
# Runs a command with a display: the caller's own when it has one, otherwise a private Xvfb
# server that lives exactly as long as the command.
set -uo pipefail
if [[ -n "${DISPLAY:-}" && "${KX_FORCE_XVFB:-0}" != 1 ]]; then
  exec "$@"
fi
for n in $(seq 91 140); do
  [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 50); do
    [[ -e /tmp/.X11-unix/X$n ]] && break
    sleep 0.1
  done
  if kill -0 "$xvfb_pid" 2>/dev/null; then
    export DISPLAY=":$n"
    "$@"
    rc=$?
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    exit "$rc"
  fi
done
echo "with-display: could not start Xvfb" >&2
exit 1
