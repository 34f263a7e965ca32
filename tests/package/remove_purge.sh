#!/bin/sh
# An upgrade and a removal of the package keep the operator's settings and logs in the program
# folder; a purge removes them, saying what it removes, with the kiosk account's home and the
# session's state. Also the clean-up after the other package tests: the machine is left as it
# was, the account removed if the installation made it.
. "$(dirname "$0")/lib.sh"
isolate "$@"

export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$@"; }
status() { dpkg-query -W -f='${db:Status-Status}' tarvenix 2>/dev/null; }
work=$(mktemp -d)
cleanup() {
  [ -z "$(status)" ] || [ "$(status)" = not-installed ] || dpkg --purge tarvenix >/dev/null
  if [ -f "$state/account-made" ] && getent passwd "$account" >/dev/null; then
    deluser --system --quiet "$account"
    getent group "$account" >/dev/null && delgroup --system --quiet "$account"
  fi
  rm -f "$state/account-made" "$state/installed"
  rm -rf "$work"
}

# A Tarvenix that the installation test refused is somebody else's: left alone.
if [ ! -f "$state/installed" ]; then
  echo "the installation test installed nothing: nothing to remove" >&2
  rm -rf "$work"
  exit 1
fi
trap cleanup EXIT
if [ "$(status)" != installed ]; then
  echo "tarvenix is not installed (its installation failed?): only the clean-up runs" >&2
  exit 1
fi

# The operator's files: the settings (completed by the kiosk when its test ran) and logs.
as_kiosk sh -c "[ -f '$program_dir/Tarvenix.ini' ] || printf '[Setting]\nBlank=\"\"\n' >'$program_dir/Tarvenix.ini'"
as_kiosk sh -c "echo '; the operator was here' >>'$program_dir/Tarvenix.ini'"
as_kiosk tarvctl -t >/dev/null
operators() {
  dpkg-query -L tarvenix 2>/dev/null | sort >"$work/packaged"
  find "$program_dir" -type f | sort | comm -23 - "$work/packaged" | xargs -r md5sum
}
operators >"$work/before"
echo "the operator's files:"
cat "$work/before"
check "the operator's files include the settings and a log" \
  sh -c "grep -q '/Tarvenix.ini\$' '$work/before' && grep -q '/tarvctl.log\$' '$work/before'"

# An upgrade: the same package one version later.
dpkg-deb -R "$deb" "$work/next"
sed -i "s/^Version: .*/Version: ${version}+next/" "$work/next/DEBIAN/control"
dpkg-deb --root-owner-group -b "$work/next" "$work/tarvenix_next.deb" >/dev/null
check "apt-get upgrades the package" apt_get install "$work/tarvenix_next.deb"
check "the upgrade is installed" test "$(dpkg-query -W -f='${Version}' tarvenix)" = "${version}+next"
operators >"$work/after-upgrade"
check "the upgrade keeps the operator's settings and logs" cmp -s "$work/before" "$work/after-upgrade"
check "the program folder keeps its rights" test "$(stat -c '%U:%G %a' "$program_dir")" = "root:$account 1775"

check "dpkg -r removes the package" dpkg -r tarvenix
check "its programs are gone" test ! -e "$program_dir/Tarvenix" -a ! -e /usr/bin/tarvctl
operators >"$work/after-remove"
check "the removal keeps the operator's settings and logs" cmp -s "$work/before" "$work/after-remove"

names=$(sed 's|.*/||' "$work/before" | sort | tr '\n' ' ')
dpkg --purge tarvenix >"$work/purge" 2>&1
code=$?
cat "$work/purge"
check "dpkg --purge purges the package" test "$code" = 0 -a -z "$(status | grep -v not-installed)"
said() { grep -q "removing the settings and logs in $program_dir: $(echo $names)\$" "$work/purge"; }
check "the purge names the settings and logs it removes" said
check "the purge says it removes the kiosk account's home" grep -q "removing /var/lib/tarvenix" "$work/purge"
check "the program folder is gone" test ! -e "$program_dir"
check "the kiosk account's home is gone" test ! -e /var/lib/tarvenix
check "the session's state is gone" test ! -e /run/tarvenix
check "no statoverride is left" sh -c "! dpkg-statoverride --list '$program_dir' >/dev/null"
check "no unit is left enabled or masked" \
  test -z "$(find /etc/systemd/system -name 'tarvenix-kiosk.*' 2>/dev/null)"
check "the purge keeps the account and says how to remove it" \
  sh -c "getent passwd $account >/dev/null && grep -q 'deluser --system $account' '$work/purge'"
made=""
[ -f "$state/account-made" ] && made=yes
trap - EXIT
cleanup
if [ -n "$made" ]; then
  check "the account made by the installation is removed" sh -c "! getent passwd $account >/dev/null"
  check "and its group" sh -c "! getent group $account >/dev/null"
fi
finish
