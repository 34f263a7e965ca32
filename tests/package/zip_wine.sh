#!/bin/sh
# The zip's folder, unpacked, runs under Wine as it will on the kiosk PC: tarvctl.exe prints its
# usage, and Tarvenix.exe starts from the folder, finds its hook DLLs there and writes its settings
# file and program log beside itself.
#   zip_wine.sh          the start-up
#   zip_wine.sh window   also its window, and tarvctl.exe -t ending it after a Yes
. "$(dirname "$0")/lib.sh"
isolate "$@"

[ -f "$zip" ] || { echo "no zip $zip: scripts/package.sh makes it" >&2; exit 1; }
out="$results/zip_wine${1:+_$1}"
rm -rf "$out"
mkdir -p "$out"
# The prefix of the window tests (one at a time, RESOURCE_LOCK wine_display), on a private Xvfb.
WINEPREFIX="$root/build/wineprefix-display"
export WINEPREFIX
wine_run() { "$root/cmake/wine-run" "$@"; }
server=/usr/lib/wine/wineserver
[ -x "$server" ] || server=$(command -v wineserver)
kiosk=""
cleanup() {
  "$server" -k 2>/dev/null
  [ -z "$kiosk" ] || wait "$kiosk" 2>/dev/null
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT
start_xvfb || { echo "no Xvfb" >&2; exit 1; }
unzip -q "$zip" -d "$out"
dir="$out/Tarvenix"
cd "$dir" || exit 1

usage=$(wine_run 32 tarvctl.exe | tr -d '\r')
check "tarvctl.exe prints its usage" test "$usage" = "Tarvenix control command
usage: tarvctl [option]
-r :START or RESTART (requre TarvenixRun.bat)
-t :TERMINATE"

wine_run 64 Tarvenix.exe >"$out/kiosk.out" 2>&1 &
kiosk=$!
month=$(date +%Y%m).log
check "Tarvenix.exe writes its settings file beside itself" wait_until 60 test -s "$dir/Tarvenix.ini"
check "and completes it" wait_until 10 grep -q '^DetectPos=2' "$dir/Tarvenix.ini"
check "Tarvenix.exe writes its program log beside itself" wait_until 10 test -f "$dir/$month"

if [ "${1:-}" = window ]; then
  # Wine names its X windows by the program, not by the window class: the kiosk's window is the
  # one titled "Tarvenix" that covers the screen, its question box another one of that title.
  titled() { xdotool search --onlyvisible --name '^Tarvenix$' 2>/dev/null; }
  window() {
    for w in $(titled); do
      [ "$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')" = 1280 ] && echo "$w" && return
    done
  }
  has_window() { [ -n "$(window)" ]; }
  check "Tarvenix.exe shows its window, full screen" wait_until 60 has_window
  main=$(window)
  import -window root "$out/screenshot.png" 2>/dev/null
  check "tarvctl.exe -t asks it to close" test "$(wine_run 32 tarvctl.exe -t | tr -d '\r')" = Ok
  box() { titled | grep -vx "$main" | head -n 1; }
  has_box() { [ -n "$(box)" ]; }
  check "Tarvenix.exe asks its question" wait_until 10 has_box
  xdotool windowfocus --sync "$(box)" key Return
  check "Yes ends Tarvenix.exe" wait_until 20 gone "$kiosk"
fi
cp "$dir/$month" "$out/" 2>/dev/null
finish
