#!/bin/sh
# Passes when check_platform.sh refuses PROGRAM for importing FUNCTION: the
# check must be able to fail, or it checks nothing.
#
#   check_refuses.sh i686|x86_64 PROGRAM FUNCTION
here=$(cd "$(dirname "$0")" && pwd)
out=$("$here/check_platform.sh" "$1" "$2")
status=$?
printf '%s\n' "$out"
if [ "$status" -eq 0 ]; then
  echo "FAIL: the platform check passed $2, which imports $3"
  exit 1
fi
printf '%s\n' "$out" | grep -q "^FAIL: .* $3 is not exported by Windows 95" || {
  echo "FAIL: the platform check refused $2, but not for $3"
  exit 1
}
