#!/bin/sh
# The installed kiosk as its session starts it: the session's own start script, as the kiosk
# account, on an Xvfb display. It shows the bundled demo page, completes its settings file and
# writes its logs in the program folder as the kiosk account, which cannot change the installed
# programs nor slip a library in beside them; tarvctl -t and a Yes end it and the session.
. "$(dirname "$0")/lib.sh"
isolate "$@"

out="$results/kiosk"
rm -rf "$out"
mkdir -p "$out"
session=""
planted="libc.so.6 libgtk-3.so.0 libX11.so.6"
cleanup() {
  [ -z "$session" ] || kill "$session" 2>/dev/null
  pkill -KILL -u "$account" 2>/dev/null
  for lib in $planted; do rm -f "$program_dir/$lib"; done
}
trap cleanup EXIT

# The installed programs stay as they are whatever the kiosk account tries.
for f in $(find "$program_dir" -mindepth 1 -user root -type f); do
  as_kiosk sh -c ": >>'$f'" 2>/dev/null && fail "the kiosk account could write $f"
  as_kiosk rm -f "$f" 2>/dev/null
  as_kiosk mv -f "$f" "$f.moved" 2>/dev/null
  as_kiosk chmod 0777 "$f" 2>/dev/null
  as_kiosk ln -sf /bin/true "$f" 2>/dev/null
  test -f "$f" -a ! -L "$f" -a ! -e "$f.moved" || fail "the kiosk account could remove or replace $f"
done
check "the kiosk account changed no mode" \
  test -z "$(find "$program_dir" -mindepth 1 -user root -perm /022 -print)"
check "the kiosk account cannot add to the engine's extension folder" \
  sh -c '! setpriv --reuid='"$account"' --regid='"$account"' --init-groups touch '"$program_dir"'/webext/x 2>/dev/null'
# Files under the names of system libraries beside the kiosk: never loaded.
for lib in $planted; do
  as_kiosk sh -c "echo 'not a library' >'$program_dir/$lib'" || fail "the kiosk account cannot create files beside the programs"
done

as_kiosk sh -c "printf '[Setting]\nBlank=\"file:///usr/share/tarvenix/demo/index.html\"\nAccessLog=1\nStatusFile=1\n' >'$program_dir/Tarvenix.ini'"
as_kiosk /usr/libexec/tarvenix/tarvenix-session /usr/bin/Xvfb -screen 0 1280x800x24 -nolisten tcp \
  >"$out/session.log" 2>&1 &
session=$!

check "the session starts the kiosk as the kiosk account" wait_until 30 has_kiosk
pid=$(kiosk_pid)
[ -n "$pid" ] || { cat "$out/session.log" >&2; finish; }
use_kiosk_display "$pid"
check "the kiosk shows its window on the session's display ($DISPLAY)" wait_until 30 has_main_window "$pid"
loaded() { grep -q 'ドキュメント完了.*(開始フレームと一致)' "$program_dir/access.log" 2>/dev/null; }
check "the demo page has loaded (access log)" wait_until 30 loaded
# The engine paints a moment after the load: the demo page's header colour at its top.
painted() {
  import -window root "$out/screenshot.png" 2>/dev/null &&
    convert "$out/screenshot.png" -crop 1x80+20+0 -depth 8 txt:- 2>/dev/null | grep -qi '#1D4E6B'
}
check "the screen shows the demo page (screenshot $out/screenshot.png)" wait_until 15 painted

owned() { test -f "$program_dir/$1" && test "$(stat -c %U "$program_dir/$1")" = "$account"; }
check "the kiosk completed its settings file" grep -q '^FullScreen=1' "$program_dir/Tarvenix.ini"
check "the settings file is the kiosk account's" owned Tarvenix.ini
month=$(date +%Y%m).log
check "the program log $month is written by the kiosk account" owned "$month"
check "the access log is written by the kiosk account" owned access.log
check "the hook libraries' log is written by the kiosk account" owned TXHook.log
check "no file planted beside the kiosk was loaded" \
  sh -c "! grep -E '$program_dir/lib(c|gtk|X11)' /proc/$pid/maps"

# The status file, and the fleet's alert rules on the series it has.
check "the status file is written by the kiosk account" wait_until 10 owned Tarvenix.prom
rules="$root/examples/fleet/prometheus/tarvenix-rules.yml"
check "the alert rules are rules: a name, an expression and a severity each" python3 -c '
import sys, yaml
rules = [r for g in yaml.safe_load(open(sys.argv[1]))["groups"] for r in g["rules"]]
sys.exit(0 if rules and all(r.get("alert") and r.get("expr") and r.get("labels", {}).get("severity") for r in rules) else 1)
' "$rules"
for series in $(grep -o 'tarvenix_[a-z_]*' "$rules" | sort -u); do
  check "the alert rules' series $series is in the status file" grep -q "^# TYPE $series " "$program_dir/Tarvenix.prom"
done

check "tarvctl -t asks the kiosk to close" test "$(as_kiosk tarvctl -t)" = Ok
check "Yes to the question closes the kiosk" answer_yes "$pid"
check "the kiosk ends" wait_until 15 gone "$pid"
wait "$session"
code=$?
session=""
check "the session ends with the kiosk's status 0" test "$code" = 0
check "the session's X server has gone" sh -c "! pgrep -u $account -x Xvfb"
cp "$program_dir/$month" "$out/" 2>/dev/null
finish
