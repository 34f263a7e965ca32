#!/bin/sh
# Sets up and builds the Linux tree, then starts what exists of the kiosk.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh linux
echo "Built into build/linux/bin:"
ls build/linux/bin
