#!/usr/bin/env bash
# Checks that Windows programs load on the oldest Windows we name, from their
# PE headers and import tables. Wine loads anything; the Windows loader
# refuses a program that imports a single function the system lacks.
#
#   check_platform.sh i686|x86_64 PROGRAM...
#
# i686 (the release): PE32 for i386, OS and subsystem version 4.0 or lower,
# imports only from KERNEL32 (functions that Windows 95 exports), USER32 and
# msvcrt.dll (functions on the allow-lists beside this script: present on
# Windows 95 and in msvcrt.dll 4.2 to 6.0).
# x86_64: PE32+ for AMD64, versions 5.2 (XP x64) or lower, the same three
# DLLs, and nothing beyond those lists but what allowed-xp-x64.txt names: no
# import that came with Vista or later.
#
# Prints one line per program ("checked: ..."), and one "FAIL: ..." line per fault;
# exits 1 when there is any.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=${1:?usage: check_platform.sh i686|x86_64 PROGRAM...}
shift
[ $# -gt 0 ] || { echo "usage: check_platform.sh i686|x86_64 PROGRAM..." >&2; exit 2; }

case $arch in
  i686) objdump=i686-w64-mingw32-objdump format=pei-i386 machine=i386 magic=010b max_version=4.0
        extra=/dev/null missing="is not exported by Windows 95" ;;
  x86_64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 machine=i386:x86-64 magic=020b
          max_version=5.2 extra=$here/allowed-xp-x64.txt
          missing="is not exported by Windows 95, nor listed as present on XP x64" ;;
  *) echo "check_platform.sh: unknown architecture $arch" >&2; exit 2 ;;
esac

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Whether version $1 (major.minor) is at most $2.
version_at_most() {
  [[ $1 =~ ^[0-9]+\.[0-9]+$ ]] || return 1
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, x, "."); split(b, y, ".");
    exit !(x[1] < y[1] || (x[1] == y[1] && x[2] <= y[2])) }'
}

# "DLL function" for every import, "DLL #ordinal" for an import by number.
imports() {
  "$objdump" -p "$1" | awk '
    /^\tDLL Name: / { dll = $3; next }
    /^\tvma: / { in_table = 1; next }
    in_table && /^\t[0-9a-f]+\t/ { print dll, ($3 == "<none>" ? "#" $2 : $3); next }
    { in_table = 0 }'
}

for exe in "$@"; do
  name=$(basename "$exe")
  [ -f "$exe" ] || { fail "$exe is missing"; continue; }
  header=$("$objdump" -f "$exe" 2>&1 || true)
  private=$("$objdump" -p "$exe" 2>/dev/null || true)

  grep -q "file format $format\$" <<<"$header" || fail "$name is not $format"
  grep -q "^architecture: $machine," <<<"$header" || fail "$name is not for $machine"
  grep -q "^Magic[[:space:]]*$magic" <<<"$private" || fail "$name: optional header magic is not $magic"
  field() { awk -v f="$1" '$1 == f { print $2 }' <<<"$private"; }
  os=$(field MajorOSystemVersion).$(field MinorOSystemVersion)
  subsystem=$(field MajorSubsystemVersion).$(field MinorSubsystemVersion)
  version_at_most "$os" "$max_version" || fail "$name asks for OS version $os (at most $max_version)"
  version_at_most "$subsystem" "$max_version" ||
    fail "$name asks for subsystem version $subsystem (at most $max_version)"
  grep -q "^Subsystem.*(Windows CUI)" <<<"$private" || fail "$name is not a console program"

  list=$(imports "$exe" || true)
  [ -n "$(grep -i '^kernel32\.dll ' <<<"$list" || true)" ] ||
    fail "$name: no KERNEL32 import found (is the import table readable?)"
  faults=$(awk -v k95="$here/win95-kernel32-exports.txt" -v user32="$here/allowed-user32.txt" \
               -v msvcrt="$here/allowed-msvcrt.txt" -v extra="$extra" -v missing="$missing" '
    function load(file, prefix,   line) {
      while ((getline line < file) > 0) {
        sub(/#.*/, "", line); gsub(/[ \t\r]+$/, "", line); sub(/^[ \t]+/, "", line)
        if (line == "") continue
        if (prefix == "") { split(line, f, /[ \t]+/); ok[toupper(f[1]) " " f[2]] = 1 }
        else ok[prefix " " line] = 1
      }
    }
    BEGIN { load(k95, "KERNEL32.DLL"); load(user32, "USER32.DLL"); load(msvcrt, "MSVCRT.DLL"); load(extra, "") }
    NF >= 2 {
      dll = toupper($1)
      if (dll != "KERNEL32.DLL" && dll != "USER32.DLL" && dll != "MSVCRT.DLL") { bad[dll] = 1; next }
      if ($2 ~ /^#/) print $1 " imports by ordinal " $2 ", which no export list can vouch for"
      else if (!((dll " " $2) in ok))
        print $1 " " $2 " " (dll == "KERNEL32.DLL" ? missing : "is not on the allow-list")
    }
    END { for (d in bad) print "imports from " d ", which is none of KERNEL32, USER32 and msvcrt.dll" }
  ' <<<"$list")
  if [ -n "$faults" ]; then
    while IFS= read -r line; do fail "$name: $line"; done <<<"$faults"
  fi
  echo "checked: $name ($arch, OS $os, subsystem $subsystem, $(wc -l <<<"$list") imports)"
done

[ "$failures" -eq 0 ]
