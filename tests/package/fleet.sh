#!/bin/sh
# The fleet playbook (examples/fleet) against this machine as its only kiosk (-c local): the
# first run installs the package, puts the group's settings in place and restarts the kiosk with
# tarvctl -r (which hands the start to the enabled session); a second run changes nothing and
# restarts nothing; a changed setting restarts the kiosk again. The machine is left as it was.
. "$(dirname "$0")/lib.sh"
isolate "$@"

out="$results/fleet"
rm -rf "$out"
mkdir -p "$out"
status() { dpkg-query -W -f='${db:Status-Status}' tarvenix 2>/dev/null; }
if [ -n "$(status)" ] && [ "$(status)" != not-installed ] || [ -e "$program_dir" ]; then
  echo "tarvenix is on this machine already; the playbook's test would replace it." >&2
  exit 1
fi
made=""
getent passwd "$account" >/dev/null || made=yes
cleanup() {
  [ -z "$(status)" ] || [ "$(status)" = not-installed ] || dpkg --purge tarvenix >/dev/null
  systemctl disable tarvenix-kiosk.service >/dev/null 2>&1
  rm -rf /var/cache/tarvenix-fleet
  if [ -n "$made" ] && getent passwd "$account" >/dev/null; then
    deluser --system --quiet "$account" 2>/dev/null
    getent group "$account" >/dev/null && delgroup --system --quiet "$account"
  fi
}
trap cleanup EXIT

printf '[kiosks]\nlocalhost ansible_connection=local ansible_python_interpreter=/usr/bin/python3\n' >"$out/inventory"
# The test machine has no Xorg to install (Xvfb stands in for it elsewhere), nor the network.
play() {
  log="$out/run$1.log"
  shift
  ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ansible-playbook -i "$out/inventory" \
    "$root/examples/fleet/site.yml" -e "tarvenix_package=$deb" -e '{"tarvenix_session_packages": []}' \
    "$@" >"$log" 2>&1
  code=$?
  sed -n '/PLAY RECAP/,$p' "$log"
  return $code
}
recap() { grep -E '^localhost +:' "$1" | sed 's/  */ /g'; }
changed() { recap "$out/run$1.log" | sed -n 's/.* changed=\([0-9]*\).*/\1/p'; }
request=/run/tarvenix/start

check "the first run succeeds" play 1
check "the first run changes the machine" test "$(changed 1)" -gt 0
check "it installs the package" test "$(status)" = installed
check "it puts the group's settings in place" grep -qx 'Blank="file:///usr/share/tarvenix/demo/index.html"' "$program_dir/Tarvenix.ini"
every_key() {
  for key in FullScreen NewWindow RightButton Scroll IeVersion AccessLog MouseOn TopMostLevel GestureOff \
    GestureZoomOff GesturePanOff GestureRotateOff GestureTwoFingerTapOff GesturePressAndTapOff Blank \
    DetectSize DetectInterval DetectPos; do
    grep -q "^$key=" "$program_dir/Tarvenix.ini" || return 1
  done
}
check "with every key of Tarvenix's own" every_key
check "and the group's status file" grep -qx 'StatusFile=1' "$program_dir/Tarvenix.ini"
check "owned by the kiosk account" test "$(stat -c %U:%G "$program_dir/Tarvenix.ini")" = "$account:$account"
check "it enables the kiosk session" systemctl -q is-enabled tarvenix-kiosk.service
check "it restarts the kiosk with tarvctl -r (a start request for the session)" test -e "$request"
check "tarvctl logged the restart" grep -q 'paramator -r call' "$program_dir/tarvctl.log"
rm -f "$request"

check "the second run succeeds" play 2
check "the second run changes nothing" test "$(changed 2)" = 0
check "and restarts nothing" test ! -e "$request"

check "a run with a changed setting succeeds" play 3 -e '{"tarvenix_settings": {"Blank": "\"about:blank\""}}'
check "it changes the settings" grep -qx 'Blank="about:blank"' "$program_dir/Tarvenix.ini"
check "and restarts the kiosk" test -e "$request"
finish
