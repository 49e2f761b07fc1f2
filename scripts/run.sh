#!/usr/bin/env bash
# What `make run` starts: the panel against the built-in simulated transceiver, or, without a
# display, the console driver of the same engine and radio.
set -euo pipefail
build=$1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/src/kestrel-panel" --simulate
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): starting the console instead."
echo "Type 'post 1' to connect, 'get FA' to read a value, 'quit' to end."
exec "$build/src/kestrel-console" --simulate
