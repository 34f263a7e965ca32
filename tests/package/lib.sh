# Shared helpers of the package tests (sourced): where the packages are, checks that report and go
# on, the kiosk account, a private machine for kiosks, Xvfb, and the kiosk's windows.
# Every test runs as root: it installs packages and acts as the kiosk account.

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
version=$(dpkg-parsechangelog -l "$root/packaging/debian/changelog" -S Version)
deb="$root/build/tarvenix_${version}_amd64.deb"
zip="$root/build/Tarvenix-${version}-windows.zip"
account=tarvenix
program_dir=/opt/tarvenix
# What the tests leave for each other (and for the clean-up): in the package tree.
state=${TX_PACKAGE_STATE:-$root/build/package/state}
results=${TX_PACKAGE_RESULTS:-$root/build/package/results}
mkdir -p "$state" "$results"

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# check DESCRIPTION COMMAND...: runs the command; a failure is reported and the test goes on.
check() {
  what=$1
  shift
  if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
# The test's outcome: 0 when no check failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  exit 0
}

# Runs the rest of the test on a machine of its own: private process, mount and /tmp namespaces,
# so that tarvctl meets only this test's kiosk and the kiosk's requests stay here. A systemd that
# runs the machine is out of reach (its /run/systemd hidden), so nothing the test enables or asks
# for starts a real kiosk session on a developer's machine; systemctl then works on the unit
# files only, as on the test machines. Packages, accounts and other files are the real machine's.
isolate() {
  [ -n "${TX_PACKAGE_ISOLATED:-}" ] && return 0
  TX_PACKAGE_ISOLATED=1 exec unshare --mount --pid --fork --mount-proc sh -c '
    mount -t tmpfs -o mode=1777 tmpfs /tmp && mkdir -m 1777 /tmp/.X11-unix &&
      { [ ! -d /run/systemd ] || mount -t tmpfs tmpfs /run/systemd; } && exec "$0" "$@"' "$0" "$@"
}

# as_kiosk COMMAND...: the command as the kiosk account, with the environment a systemd service
# of that account gets (and nothing of the caller's).
as_kiosk() {
  home=$(getent passwd "$account" | cut -d: -f6)
  setpriv --reuid="$account" --regid="$account" --init-groups \
    env -i HOME="$home" USER="$account" LOGNAME="$account" SHELL=/usr/sbin/nologin \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin "$@"
}

# wait_until SECONDS COMMAND...: true once the command succeeds, false after the time.
wait_until() {
  limit=$(($1 * 10))
  shift
  n=0
  until "$@"; do
    n=$((n + 1))
    [ "$n" -lt "$limit" ] || return 1
    sleep 0.1
  done
}

# The kiosk's process id (the newest Tarvenix of the kiosk account), or nothing.
kiosk_pid() { pgrep -n -u "$account" -x Tarvenix; }
has_kiosk() { kiosk_pid >/dev/null; }
# use_kiosk_display PID: DISPLAY and XAUTHORITY of that process, for xdotool and import.
use_kiosk_display() {
  DISPLAY=$(tr '\0' '\n' <"/proc/$1/environ" | sed -n 's/^DISPLAY=//p')
  XAUTHORITY=$(tr '\0' '\n' <"/proc/$1/environ" | sed -n 's/^XAUTHORITY=//p')
  export DISPLAY XAUTHORITY
}
# The kiosk's main window (visible, class TarvenixClass), or nothing.
main_window() { xdotool search --onlyvisible --pid "$1" --class TarvenixClass 2>/dev/null | head -n 1; }
has_main_window() { [ -n "$(main_window "$1")" ]; }
# The kiosk's question box: a visible window titled "Tarvenix" other than the main window.
question_box() {
  main=$(main_window "$1")
  xdotool search --onlyvisible --pid "$1" --name '^Tarvenix$' 2>/dev/null | grep -vx "$main" | head -n 1
}
has_question_box() { [ -n "$(question_box "$1")" ]; }
# answer_yes PID: waits for the kiosk's question and answers Yes (the box's default button).
answer_yes() {
  wait_until 10 has_question_box "$1" || return 1
  xdotool windowfocus --sync "$(question_box "$1")" key Return
}
gone() { ! kill -0 "$1" 2>/dev/null; }

# start_xvfb: a private Xvfb for the test (DISPLAY set, xvfb_pid its process).
start_xvfb() {
  fifo=$(mktemp -u /tmp/tx-xvfb.XXXXXX) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r number <"$fifo"
  rm -f "$fifo"
  [ -n "$number" ] || return 1
  DISPLAY=":$number"
  export DISPLAY
}
