#!/bin/sh
# nvfeed with standard input from the Unix side of Wine: a shell pipe (which
# cannot be peeked, and whose end is a read of 0 bytes) and a shell redirect
# from a file. Each text is fed to a waiting stand-in editor and fetched back
# with nvfetch; the bytes must match.
#
#   unix_pipe_test.sh <folder of nvfeed.exe and nvfetch.exe> <norvale_stub.exe>
#
# Uses WINEPREFIX as set; TOOL_WINE names the loader of the tools and of the
# editor, which are of one width (shell_rig.sh); FEED_TIMEOUT the seconds one
# tool may run (60).
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 <tools folder> <norvale_stub.exe>" >&2
  exit 2
fi
BIN=$1
STUB=$2
LIMIT="timeout ${FEED_TIMEOUT:-60}"  # a tool that never sees the end of its input fails, not hangs

. "$(dirname "$0")/shell_rig.sh"

# Put mode 0 makes every put replace the whole text, so each fetch shows
# exactly the last text delivered.
start_stub "$TOOL_WINE" "$STUB" --waiting --put-mode=-1

FAILED=0

# check <what> <file of expected bytes>: fetches the editor's text and compares.
check() {
  $LIMIT "$TOOL_WINE" "$BIN/nvfetch.exe" "/w=$HWND" >"$WORK/fetched" 2>"$WORK/fetch.err"
  if ! cmp -s "$1" "$WORK/fetched" || [ -s "$WORK/feed.err" ] || [ -s "$WORK/feed.out" ] ||
     [ "$FEED_STATUS" -ne 0 ]; then
    echo "FAIL: $2 (nvfeed exit $FEED_STATUS, $(wc -c <"$WORK/fetched") bytes back," \
         "$(wc -c <"$1") expected, stderr $(wc -c <"$WORK/feed.err") bytes)" >&2
    FAILED=1
  else
    echo "ok: $2"
  fi
}

# feed_pipe <file>: nvfeed reads the file through a Unix pipe.
# feed_redirect <file>: nvfeed reads the file as a Unix redirect.
feed_pipe() {
  cat "$1" | $LIMIT "$TOOL_WINE" "$BIN/nvfeed.exe" "/w=$HWND" >"$WORK/feed.out" 2>"$WORK/feed.err"
  FEED_STATUS=$?
}
feed_redirect() {
  $LIMIT "$TOOL_WINE" "$BIN/nvfeed.exe" "/w=$HWND" <"$1" >"$WORK/feed.out" 2>"$WORK/feed.err"
  FEED_STATUS=$?
}

printf 'a\r\nb' >"$WORK/small"
feed_pipe "$WORK/small"
check "$WORK/small" "a, CR LF, b through a Unix pipe"

# 1 MiB without NUL bytes.
head -c 1500000 /dev/urandom | tr -d '\000' | head -c 1048576 >"$WORK/big"
feed_pipe "$WORK/big"
check "$WORK/big" "1 MiB through a Unix pipe"

printf 'x\ny\r\n' >"$WORK/file"
feed_redirect "$WORK/file"
check "$WORK/file" "a Unix file redirect"

feed_redirect "$WORK/big"
check "$WORK/big" "1 MiB from a Unix file redirect"

# Empty input delivers nothing: the editor keeps the last text.
: >"$WORK/empty"
feed_pipe "$WORK/empty"
check "$WORK/big" "an empty Unix pipe leaves the text alone"

exit $FAILED
