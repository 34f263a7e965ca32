#!/bin/sh
# Starts Tarvenix from the folder of this script (tarvctl -r runs it detached). Started from cron
# or a service, where no display is named, Tarvenix goes to the machine's first display.
#
# The installed copy knows the kiosk session (a systemd unit with an X server of its own, where
# nobody else could start the kiosk): while that session is enabled or running, this script only
# asks it to start the kiosk, by making the request file that the session's path unit watches.
session='@TX_SESSION_UNIT@'
request='@TX_SESSION_REQUEST@'
cd "$(dirname "$0")" || exit 1
if [ -n "$session" ] && command -v systemctl >/dev/null 2>&1 &&
  { systemctl -q is-enabled "$session" 2>/dev/null || systemctl -q is-active "$session" 2>/dev/null; }; then
  [ -e "$request" ] || : >"$request" || {
    echo "TarvenixRun.sh: cannot ask $session to start the kiosk ($request)" >&2
    exit 1
  }
  exit 0
fi
if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
  DISPLAY=:0
  export DISPLAY
fi
exec ./Tarvenix "$@"
