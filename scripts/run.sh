#!/usr/bin/env bash
# What `make run` starts: the most complete program the build has.
set -euo pipefail
build=$1
if [ -x "$build/src/kestrel-console" ]; then
  exec "$build/src/kestrel-console" --simulate
elif [ -x "$build/src/kestrel-sim" ]; then
  exec "$build/src/kestrel-sim"
else
  echo "Nothing to run yet: the engine library and its tests are built. Try 'make test'."
fi
