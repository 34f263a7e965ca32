#!/bin/sh
# The Windows zip holds exactly the folder an operator copies to the kiosk PC, and the folder
# needs nothing beside it: the 64-bit kiosk and its three hook DLLs, the 32-bit tarvctl, the batch
# file with Windows line ends, the operator's guide; the programs import Windows' own DLLs only
# (and the kiosk its hook DLLs).
. "$(dirname "$0")/lib.sh"

[ -f "$zip" ] || { echo "no zip $zip: scripts/package.sh makes it" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

expected="Tarvenix/
Tarvenix/OPERATORS.md
Tarvenix/TXDetectMouseHook_64.dll
Tarvenix/TXKeyHook_64.dll
Tarvenix/TXMouseHook_64.dll
Tarvenix/Tarvenix.exe
Tarvenix/TarvenixRun.bat
Tarvenix/tarvctl.exe"
check "the zip holds exactly the kiosk's folder" test "$(unzip -Z1 "$zip" | LC_ALL=C sort)" = "$expected"
unzip -q "$zip" -d "$work"
dir="$work/Tarvenix"

type_is() { file -b "$dir/$1" | grep -q "$2"; }
check "Tarvenix.exe is a 64-bit Windows GUI program" type_is Tarvenix.exe 'PE32+ executable (GUI) x86-64'
for dll in TXMouseHook_64.dll TXDetectMouseHook_64.dll TXKeyHook_64.dll; do
  check "$dll is a 64-bit Windows DLL" type_is "$dll" 'PE32+ executable (DLL) .*x86-64'
done
check "tarvctl.exe is a 32-bit Windows console program" type_is tarvctl.exe 'PE32 executable (console) Intel 80386'

# What a program imports beyond Windows' own DLLs (and the folder's hook DLLs).
foreign() {
  objdump -p "$dir/$1" | sed -n 's/^\tDLL Name: //p' |
    grep -viE '^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|uuid|winmm|msvcrt|shlwapi|uxtheme|dwmapi|version|ws2_32|imm32|api-ms-win-.*|TX(Mouse|DetectMouse|Key)Hook_64)\.dll$'
}
for program in Tarvenix.exe tarvctl.exe TXMouseHook_64.dll TXDetectMouseHook_64.dll TXKeyHook_64.dll; do
  check "$program needs no DLL from outside Windows and the folder" test -z "$(foreign "$program")"
done
check "TarvenixRun.bat has Windows line ends" awk '!/\r$/ { bad = 1 } END { exit bad }' "$dir/TarvenixRun.bat"
check "the operator's guide is the project's" cmp -s "$dir/OPERATORS.md" "$root/docs/OPERATORS.md"

# The Task Scheduler files of docs/windows: well-formed, and starting programs of the folder.
for task in "$root"/docs/windows/*.xml; do
  check "$(basename "$task") is well-formed XML" xmllint --noout "$task"
  command=$(sed -n 's|.*<Command>C:\\Tarvenix\\\(.*\)</Command>.*|\1|p' "$task")
  check "$(basename "$task") starts $command of the folder" test -n "$command" -a -f "$dir/$command"
done
finish
