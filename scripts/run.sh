#!/usr/bin/env bash
# What `make run` starts: the panel against the built-in simulated transceiver, or, without a
# display, the console driver of the same engine and radio.
set -euo pipefail
build=$1
panel="$build/src/kestrel-panel"
console="$build/src/kestrel-console"
if [ -x "$panel" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$panel" --simulate
elif [ -x "$console" ]; then
  if [ -x "$panel" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): starting the console instead."
    echo "Type 'post 1' to connect, 'get FA' to read a value, 'quit' to end."
  fi
  exec "$console" --simulate
elif [ -x "$build/src/kestrel-sim" ]; then
  exec "$build/src/kestrel-sim"
else
  echo "Nothing to run yet: the engine library and its tests are built. Try 'make test'."
fi
