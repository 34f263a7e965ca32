#!/bin/sh
# The Debian package installs on this machine with apt-get: its dependencies are met, the kiosk
# account and the rights of the program folder are made, and the installed tarvctl prints its
# usage. A machine with Tarvenix installed, or left behind by a removal, is refused: the tests
# would replace its programs and settings.
. "$(dirname "$0")/lib.sh"

status=$(dpkg-query -W -f='${db:Status-Status}' tarvenix 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != not-installed ]; then
  echo "tarvenix is $status on this machine; the package tests would replace it and its settings." >&2
  echo "Purge it first (apt-get purge tarvenix), or run the tests on a machine without it." >&2
  exit 1
fi
for left in "$program_dir" /var/lib/tarvenix; do
  if [ -e "$left" ]; then
    echo "$left exists (a Tarvenix installed by hand?); the package tests would remove it." >&2
    exit 1
  fi
done
# The clean-up removes only what this installation made: the package, and the account if it
# did not exist.
rm -f "$state/account-made"
getent passwd "$account" >/dev/null || touch "$state/account-made"
touch "$state/installed"

[ -f "$deb" ] || { echo "no package $deb: scripts/package.sh makes it" >&2; exit 1; }
export DEBIAN_FRONTEND=noninteractive
# The recommended packages are the Xorg server and its input driver, which the tests replace by
# Xvfb; the dependencies must all be there.
check "apt-get installs the package" \
  apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$deb"
check "the package is installed" \
  test "$(dpkg-query -W -f='${db:Status-Status} ${Version}' tarvenix)" = "installed $version"

entry=$(getent passwd "$account")
uid=$(echo "$entry" | cut -d: -f3)
check "the kiosk account is a system account ($entry)" test -n "$uid" -a "${uid:-1000}" -lt 1000
check "its home is /var/lib/tarvenix, its shell nologin" \
  test "$(echo "$entry" | cut -d: -f6,7)" = "/var/lib/tarvenix:/usr/sbin/nologin"
check "its home is its own" test "$(stat -c %U /var/lib/tarvenix)" = "$account"
check "the program folder is root's, group-writable for the kiosk, sticky" \
  test "$(stat -c '%U:%G %a' "$program_dir")" = "root:$account 1775"
check "every installed program file is root's and writable by root alone" \
  test -z "$(find "$program_dir" -mindepth 1 \( ! -user root -o -perm /022 \) -print)"
check "the start requests' folder is the kiosk account's" \
  test "$(stat -c '%U:%G %a' /run/tarvenix)" = "$account:$account 770"

usage=$(as_kiosk tarvctl)
code=$?
check "tarvctl on the PATH prints its usage" test "$usage" = "Tarvenix control command
usage: tarvctl [option]
-r :START or RESTART (requre TarvenixRun.sh)
-t :TERMINATE"
check "tarvctl ends with -1 after its usage" test "$code" = 255
check "tarvctl writes its log beside itself, as the kiosk account" \
  test "$(stat -c %U "$program_dir/tarvctl.log" 2>/dev/null)" = "$account"
finish
