#!/usr/bin/env bash
# What ships: velmora.exe needs only DLLs that come with Windows, and
# velmora-windows.zip holds the program, "StringData.txt" and the Data folder.
#   package_test.sh PROGRAM.exe ZIP
set -uo pipefail
program=${1:?usage: package_test.sh PROGRAM.exe ZIP}
zip=$(realpath -m "${2:?zip}")
failures=0
Fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

system_dlls="kernel32.dll user32.dll gdi32.dll opengl32.dll winmm.dll msvcrt.dll advapi32.dll shell32.dll ole32.dll"
imports=$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[[ -n $imports ]] || Fail "no imports read from $program"
for dll in $imports; do
  [[ " $system_dlls " == *" $dll "* ]] || Fail "velmora.exe needs $dll, which Windows does not bring"
done

listing=$(cmake -E tar tf "$zip" | sed 's:/$::') || Fail "no readable $zip (build the velmora-windows-zip target)"
for entry in velmora.exe StringData.txt "Data/Fonts/Small.txt" "Data/title.png" "Data/love.ogg"; do
  grep -qx "$entry" <<<"$listing" || Fail "$zip lacks $entry"
done
if grep -q -E '\.dll$' <<<"$listing"; then Fail "$zip carries DLLs"; fi
unpacked=$(mktemp -d)
(cd "$unpacked" && cmake -E tar xf "$zip" velmora.exe)
cmp -s "$unpacked/velmora.exe" "$program" || Fail "the zip's velmora.exe is not the one just built"
rm -rf "$unpacked"
((failures == 0))
