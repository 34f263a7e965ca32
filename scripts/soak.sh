#!/bin/sh
# Soak of the real kiosk for the given minutes (default 10): builds the Linux tree and runs
# tests/soak/soak.py on a private X server, which prints its figures and writes them to
# build/soak-report.txt. Ends with status 0 when the kiosk came through the run unharmed.
set -e
cd "$(dirname "$0")/.."
minutes=${1:-10}
scripts/setup-deps.sh
scripts/build.sh linux
exec python3 tests/soak/soak.py --minutes "$minutes" --report build/soak-report.txt
