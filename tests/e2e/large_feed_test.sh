#!/bin/sh
# nvfeed takes a text larger than a 32-bit process finds room for in one
# stretch (320 MiB by default) through a Unix pipe and hands it to the editor
# byte for byte. The editor is a 64-bit stand-in whatever the tool's width,
# and saves what it receives: under 32-bit Wine a text this large cannot be
# fetched back (Wine's own cross-process WM_GETTEXT stops answering near
# 250 MiB there).
#
#   large_feed_test.sh <nvfeed.exe> <64-bit norvale_stub.exe> [MiB]
#
# TOOL_WINE names nvfeed's loader, STUB_WINE the editor's (shell_rig.sh).
set -u
if [ $# -lt 2 ]; then
  echo "usage: $0 <nvfeed.exe> <64-bit norvale_stub.exe> [MiB]" >&2
  exit 2
fi
NVFEED=$1
STUB=$2
MIB=${3:-320}
REAP=$(cd "$(dirname "$0")/../.." && pwd)/bench/reap.py

. "$(dirname "$0")/shell_rig.sh"
start_stub "$STUB_WINE" "$STUB" --waiting --put-mode=-1 --save-puts="$(winpath "$WORK/received")"

# Random bytes without NUL, which a text cannot carry.
head -c $((MIB << 20)) /dev/urandom | tr '\000' '\001' >"$WORK/text"

cat "$WORK/text" | timeout 300 python3 "$REAP" "$WORK/reap" "$TOOL_WINE" "$NVFEED" "/w=$HWND" \
  >"$WORK/out" 2>"$WORK/err"
status=$?
read -r wall _ rss _ <"$WORK/reap" || true
echo "[ figure ] $MIB MiB from a Unix pipe: ${wall:-?} s, peak resident memory $(( ${rss:-0} / 1024 )) MiB"
if [ "$status" -ne 0 ] || [ -s "$WORK/out" ] || [ -s "$WORK/err" ]; then
  echo "FAIL: nvfeed ended with status $status; standard output:" >&2
  head -c 400 "$WORK/out" "$WORK/err" >&2
  exit 1
fi

# The editor saves the text once the put is done, while it still runs.
for _ in $(seq 1 600); do
  [ -f "$WORK/received" ] && break
  sleep 0.1
done
if cmp "$WORK/text" "$WORK/received"; then
  echo "ok: $MIB MiB delivered byte for byte"
else
  echo "FAIL: the editor received $(wc -c <"$WORK/received" 2>/dev/null || echo no) bytes," \
       "not the $MIB MiB fed" >&2
  exit 1
fi
