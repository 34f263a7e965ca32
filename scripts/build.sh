#!/bin/sh
# Configures and builds the given trees (default: linux win64 win32) from CMakePresets.json.
set -e
cd "$(dirname "$0")/.."
trees=${*:-linux win64 win32}
for t in $trees; do
  [ -f "build/$t/build.ninja" ] || cmake --preset "$t" >/dev/null
  cmake --build --preset "$t"
done
