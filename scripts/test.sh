#!/bin/sh
# Sets up, builds all three trees and runs every test: natively and, for the Windows trees,
# under Wine; then makes the packages from them (the package tree) and tests those as installed.
# Ends with the total count of passed and failed tests; a tree that does not build counts as one
# failed test.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

# One Wine prefix for both Windows trees, under build/; made once.
export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p build
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix in $WINEPREFIX"
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null || true
fi

# No Wine server is kept running across the run: services it starts outside CTest would hold
# no display for the window tests, and services started under CTest by a server that stays
# would hold CTest's output pipe open. Each test program brings up its own server.

set +e
passed=0; failed=0; status=0
for t in linux win64 win32 package; do
  echo "== build: $t"
  if ! scripts/build.sh "$t"; then
    echo "== build of $t failed: its tests did not run"
    failed=$((failed + 1)); status=1
    continue
  fi
  echo "== tests: $t"
  log="build/$t/ctest.log"
  if [ "$t" = linux ]; then
    # -noreset: the display would reset whenever its last client goes and refuse the next
    # program starting in that moment (a kiosk of one test just after another test's has ended).
    xvfb-run -a -s "-screen 0 1280x800x24 -noreset" ctest --preset "$t" -j2 --timeout 300 2>&1 | tee "$log"
  elif [ "$t" = package ]; then
    # The package tests install and remove the package and its account on the machine itself:
    # two runs on one machine (two checkouts) take turns.
    flock /var/lock/tarvenix-package-tests ctest --preset "$t" -j2 --timeout 300 2>&1 | tee "$log"
  else
    ctest --preset "$t" -j2 --timeout 300 2>&1 | tee "$log"
  fi
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    echo "== tests of $t gave no summary"
    failed=$((failed + 1)); status=1
    continue
  fi
  total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
  bad=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/')
  passed=$((passed + total - bad)); failed=$((failed + bad))
  [ "$bad" = 0 ] || status=1
done
echo "tests: $passed passed, $failed failed"
exit $status
