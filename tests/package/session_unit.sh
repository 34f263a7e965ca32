#!/bin/sh
# The installed units of the kiosk session pass systemd's own check (syntax, the programs they
# name, the account), without a word of warning.
. "$(dirname "$0")/lib.sh"

report=$(systemd-analyze verify /lib/systemd/system/tarvenix-kiosk.service /lib/systemd/system/tarvenix-kiosk.path 2>&1)
code=$?
echo "$report"
check "systemd-analyze verify passes the units" test "$code" = 0
quiet() { case "$report" in *tarvenix*) return 1 ;; esac; }
check "and finds nothing to say about them" quiet
check "the session's PAM service is installed" test -f /etc/pam.d/tarvenix-kiosk
check "the session's X server settings are installed" test -f /etc/X11/tarvenix-kiosk.conf
finish
