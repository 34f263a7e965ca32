#!/bin/sh
# Starts Tarvenix from the folder of this script (tarvctl -r runs it detached).
cd "$(dirname "$0")" || exit 1
exec ./Tarvenix "$@"
