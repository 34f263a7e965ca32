#!/bin/sh
# Starts Tarvenix from the folder of this script (tarvctl -r runs it detached). Started from cron
# or a service, where no display is named, Tarvenix goes to the machine's first display.
cd "$(dirname "$0")" || exit 1
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  DISPLAY=:0
  export DISPLAY
fi
exec ./Tarvenix "$@"
