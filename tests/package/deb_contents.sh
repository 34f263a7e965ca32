#!/bin/sh
# The Debian package as built: lintian finds no error and no warning (the overrides carry their
# reasons), its dependencies name the package of every library its programs and libraries link,
# and the installed kiosk looks for no library in its own folder but its three hook libraries.
. "$(dirname "$0")/lib.sh"

[ -f "$deb" ] || { echo "no package $deb: scripts/package.sh makes it" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lintian --fail-on error,warning --display-info "$deb" >"$work/lintian" 2>&1
code=$?
grep -v 'running with root privileges' "$work/lintian"
check "lintian passes the package" test "$code" = 0
check "lintian reports no error or warning" sh -c "! grep -qE '^[EW]: ' '$work/lintian'"

dpkg-deb -x "$deb" "$work/root"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for elf in $(find "$work/root/opt" -type f \( -name Tarvenix -o -name tarvctl -o -name '*.so' \)); do
  for lib in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | grep -v '^\$ORIGIN/'); do
    path=$(ldconfig -p | awk -v lib="$lib" '$1 == lib && /x86-64/ { print $NF; exit }')
    owner=$(dpkg -S "$(readlink -f "$path")" 2>/dev/null | head -n 1 | cut -d: -f1)
    [ -n "$owner" ] || owner=$(dpkg -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1)
    case ", $depends," in
      *", $owner "* | *", $owner,"*) ;;
      *) fail "${elf#"$work/root"} links $lib (package ${owner:-unknown}), which Depends does not name" ;;
    esac
  done
done
[ "$failures" -ne 0 ] || echo "ok: Depends names the package of every library linked"

kiosk="$work/root$program_dir/Tarvenix"
check "the installed kiosk has no library search path" sh -c "! readelf -d '$kiosk' | grep -qE 'RPATH|RUNPATH'"
for hook in TXMouseHook_64 TXDetectMouseHook_64 TXKeyHook_64; do
  check "it names lib$hook.so by its place beside it" sh -c "readelf -d '$kiosk' | grep -qF '[\$ORIGIN/lib$hook.so]'"
done
entry="$work/root/usr/share/tarvenix/tarvenix.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
check "the autostart entry starts the installed run script ($exec_line)" \
  test "$exec_line" = "$program_dir/TarvenixRun.sh" -a -x "$work/root$exec_line"
check "the autostart entry is an application entry" grep -qx 'Type=Application' "$entry"
finish
