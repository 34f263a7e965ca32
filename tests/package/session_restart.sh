#!/bin/sh
# The kiosk session's restart rule, under a stand-in for systemd that runs the installed units
# (no systemd runs on the test machines): a killed kiosk is started again, one that tarvctl -t
# and a Yes end stays ended, and tarvctl -r, answered Yes, ends the kiosk and has the session
# start it again through its start request, as it starts a stopped session.
. "$(dirname "$0")/lib.sh"
isolate "$@"

out="$results/session_restart"
rm -rf "$out"
mkdir -p "$out"
events="$out/events"
: >"$events"
unit=/lib/systemd/system/tarvenix-kiosk.service
standin=""
cleanup() {
  if [ -n "$standin" ]; then
    kill -TERM "$standin" 2>/dev/null
    wait "$standin" 2>/dev/null
  fi
  pkill -KILL -u "$account" 2>/dev/null
  systemctl disable tarvenix-kiosk.service >/dev/null 2>&1
  rm -f /run/tarvenix/start
}
trap cleanup EXIT

starts() { grep -c '^start ' "$events"; }
new_kiosk() {
  # A kiosk other than $1 with its window.
  p=$(kiosk_pid)
  [ -n "$p" ] && [ "$p" != "$1" ] && use_kiosk_display "$p" && has_main_window "$p"
}

python3 "$here/unit_standin.py" "$unit" /lib/systemd/system/tarvenix-kiosk.path "$events" \
  /usr/bin/Xvfb -screen 0 1280x800x24 -nolisten tcp >"$out/session.log" 2>&1 &
standin=$!
check "the session starts a kiosk" wait_until 30 new_kiosk none
first=$(kiosk_pid)

kill -KILL "$first"
check "a killed kiosk ends the session, which is started again" wait_until 30 new_kiosk "$first"
check "the stand-in saw the session end with a failure and start again" \
  grep -q '^end exited 137 restart$' "$events"
second=$(kiosk_pid)

check "tarvctl -t asks the kiosk to close" test "$(as_kiosk tarvctl -t)" = Ok
check "Yes to the question closes the kiosk" answer_yes "$second"
check "the kiosk ends" wait_until 15 gone "$second"
sleep 4
check "a kiosk ended through its question is not started again" \
  test "$(kiosk_pid)" = "" -a "$(starts)" = 2
check "the stand-in saw the session end with status 0 and leave it" \
  test "$(tail -n 1 "$events")" = "end exited 0 stay"

# Enabled, the session starts the kiosk for tarvctl -r.
check "systemctl enables the session" systemctl enable tarvenix-kiosk.service
restart_out=$(as_kiosk tarvctl -r)
check "tarvctl -r with no kiosk running answers Ok" test "$restart_out" = Ok
check "tarvctl -r starts the stopped session through its request" wait_until 30 new_kiosk "$second"
third=$(kiosk_pid)
check "the session took its start request away" test ! -e /run/tarvenix/start

as_kiosk tarvctl -r >"$out/restart.out" 2>&1 &
ctl=$!
check "Yes to the question of tarvctl -r closes the kiosk" answer_yes "$third"
wait "$ctl"
code=$?
check "tarvctl -r answers Ok once the kiosk has gone" test "$(cat "$out/restart.out")" = Ok -a "$code" = 0
check "tarvctl -r has the session start the kiosk again" wait_until 30 new_kiosk "$third"
check "the session ended with status 0 before it was started again" \
  test "$(grep -c '^end exited 0 stay$' "$events")" = 2
cat "$events"
finish
