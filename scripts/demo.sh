#!/bin/sh
# Sets up, builds the Linux tree and starts the kiosk on its bundled demo page. Without a display
# it starts one under Xvfb and saves a screenshot once the page has loaded.
set -e
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh linux

# The kiosk's folder: the program with its libraries, tarvctl, the run script and the settings.
kiosk=build/demo
mkdir -p "$kiosk"
bin=build/linux/bin
cp -f "$bin/Tarvenix" "$bin"/libTX*_64.so "$bin/tarvctl" "$bin/TarvenixRun.sh" "$kiosk/"
rm -rf "$kiosk/webext" && cp -r "$bin/webext" "$kiosk/"
if [ ! -f "$kiosk/Tarvenix.ini" ]; then
  printf '[Setting]\nBlank="file://%s/examples/demo/index.html"\nAccessLog=1\n' "$PWD" > "$kiosk/Tarvenix.ini"
fi

xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  i=0; until xdpyinfo >/dev/null 2>&1; do i=$((i + 1)); [ $i -lt 100 ] || exit 1; sleep 0.1; done
  echo "No display found: started Xvfb on $DISPLAY"
fi

log="$kiosk/access.log"
seen=$( [ -f "$log" ] && wc -c < "$log" || echo 0)
"$kiosk/Tarvenix" &
pid=$!
echo "Tarvenix runs (pid $pid) on $DISPLAY with the demo page."
i=0
while kill -0 "$pid" 2>/dev/null && [ $i -lt 300 ]; do
  if [ -f "$log" ] && tail -c +"$((seen + 1))" "$log" | grep -q 'ドキュメント完了.*(開始フレームと一致)'; then
    # The engine paints a moment after the load has completed: wait for the page's colours.
    j=0
    while [ $j -lt 50 ]; do
      import -window root "$kiosk/screenshot.png"
      [ "$(identify -format %k "$kiosk/screenshot.png" 2>/dev/null || echo 0)" -gt 16 ] && break
      j=$((j + 1)); sleep 0.1
    done
    echo "The page has loaded; screenshot: $kiosk/screenshot.png"
    break
  fi
  i=$((i + 1)); sleep 0.1
done
echo "End it with: $kiosk/tarvctl -t   (then answer Yes), or press Ctrl+C here."
wait "$pid" || true
