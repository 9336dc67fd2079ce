#!/usr/bin/env bash
# Checks the built Windows programs as a user's Windows would see them: the
# executable format for each width, imports from system DLLs only, a version
# resource, and the release zip holding the two 32-bit programs.
set -euo pipefail
build=${1:?usage: check_programs.sh BUILD_ROOT}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

check() {  # arch objdump format magic
  local arch=$1 objdump=$2 format=$3
  for tool in nvfeed nvfetch; do
    local exe=$build/$arch/bin/$tool.exe
    [ -f "$exe" ] || { fail "$exe is missing"; continue; }
    "$objdump" -f "$exe" | grep -q "file format $format" || fail "$exe is not $format"
    local dlls
    dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
    for dll in $dlls; do
      case "$dll" in kernel32.dll | user32.dll | msvcrt.dll) ;; *) fail "$exe imports $dll" ;; esac
    done
    # The version strings are UTF-16 in the resource section.
    "$objdump" -s -j .rsrc "$exe" >/dev/null 2>&1 || fail "$exe has no resource section"
    LC_ALL=C grep -aq "F.i.l.e.V.e.r.s.i.o.n" "$exe" || fail "$exe has no version resource"
    echo "ok: $exe ($format; imports: $dlls)"
  done
}

check i686 i686-w64-mingw32-objdump pei-i386
check x86_64 x86_64-w64-mingw32-objdump pei-x86-64

zip=$(ls "$build"/nvtools-*-win32.zip 2>/dev/null | head -1)
if [ -z "$zip" ]; then
  fail "no release zip in $build"
else
  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$listing" = "nvfeed.exe nvfetch.exe readme.txt " ] || fail "$zip holds: $listing"
  for tool in nvfeed nvfetch; do
    unzip -p "$zip" $tool.exe | cmp -s - "$build/i686/bin/$tool.exe" || fail "$zip: $tool.exe is not the 32-bit build"
  done
  echo "ok: $zip ($listing)"
fi

[ $failures -eq 0 ]
