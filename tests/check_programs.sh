#!/usr/bin/env bash
# Checks the built tools as a user of the release sees them: a version
# resource in each, room for large texts, and the release zip holding the two
# 32-bit programs and a readme that the Notepad of every Windows we name shows
# right (CR LF line ends throughout, code page 932). Their headers and imports
# are checked by tests/platform/check_platform.sh.
set -euo pipefail
build=${1:?usage: check_programs.sh BUILD_ROOT}
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for arch in i686 x86_64; do
  for tool in nvfeed nvfetch; do
    exe=$build/$arch/bin/$tool.exe
    [ -f "$exe" ] || { fail "$exe is missing"; continue; }
    # The version strings are UTF-16 in the resource section.
    $arch-w64-mingw32-objdump -s -j .rsrc "$exe" >/dev/null 2>&1 || fail "$exe has no resource section"
    LC_ALL=C grep -aq "F.i.l.e.V.e.r.s.i.o.n" "$exe" || fail "$exe has no version resource"
    # Large texts need address space more than anything: 4 GiB of it for the
    # 32-bit programs on 64-bit Windows.
    [[ $($arch-w64-mingw32-objdump -p "$exe") == *$'\n\tlarge address aware\n'* ]] ||
      fail "$exe is not large address aware"
    echo "ok: $exe has a version resource and is large address aware"
  done
done

zip=$(ls "$build"/nvtools-*-win32.zip 2>/dev/null | head -1)
if [ -z "$zip" ]; then
  fail "no release zip in $build"
else
  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$listing" = "nvfeed.exe nvfetch.exe readme.txt " ] || fail "$zip holds: $listing"
  for tool in nvfeed nvfetch; do
    unzip -p "$zip" $tool.exe | cmp -s - "$build/i686/bin/$tool.exe" || fail "$zip: $tool.exe is not the 32-bit build"
  done
  readme=$(mktemp)
  trap 'rm -f "$readme"' EXIT
  unzip -p "$zip" readme.txt >"$readme"
  # Every line ends in CR LF: no LF without a CR before it, no CR without an
  # LF after it, and the last line ended too.
  lf=$(tr -cd '\n' <"$readme" | wc -c)
  crlf=$(LC_ALL=C grep -c $'\r$' "$readme" || true)
  cr=$(tr -cd '\r' <"$readme" | wc -c)
  [ "$lf" -gt 0 ] && [ "$crlf" = "$lf" ] && [ "$cr" = "$lf" ] ||
    fail "readme.txt: $lf lines, $crlf of them end in CR LF, $cr CR bytes"
  [ "$(tail -c 2 "$readme" | od -An -tx1 | tr -d ' \n')" = 0d0a ] || fail "readme.txt: the last line has no CR LF"
  # Code page 932: it reads as such, and its Japanese reads back as the tools'
  # own messages (UTF-8 bytes would read as other characters, or not at all).
  if text=$(iconv -f CP932 -t UTF-8 "$readme" 2>/dev/null); then
    grep -q '取得できませんでした' <<<"$text" || fail "readme.txt: the messages do not read as code page 932"
    grep -q '待機中' <<<"$text" || fail "readme.txt: the waiting marker does not read as code page 932"
  else
    fail "readme.txt is not code page 932 text"
  fi
  echo "ok: $zip ($listing; readme.txt: $lf lines, CR LF, code page 932)"
fi

[ $failures -eq 0 ]
