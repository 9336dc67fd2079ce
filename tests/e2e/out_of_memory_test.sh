#!/bin/sh
# A text too large for the memory nvfeed can have ends in order: the failure
# report on standard output, exit status 1, nothing delivered, no crash. The
# tool's address space is capped (ulimit -v) a little above what Wine itself
# takes, and an endless input is piped in.
#
#   out_of_memory_test.sh <nvfeed.exe> <norvale_stub.exe>
#
# TOOL_WINE names nvfeed's loader, STUB_WINE the editor's (shell_rig.sh). The
# Wine server must be running already: started under the cap, it would share
# it.
set -u
if [ $# -ne 2 ]; then
  echo "usage: $0 <nvfeed.exe> <norvale_stub.exe>" >&2
  exit 2
fi
NVFEED=$1
STUB=$2
HEADROOM_KIB=$((128 << 10))

. "$(dirname "$0")/shell_rig.sh"
start_stub "$STUB_WINE" "$STUB" --waiting --put-mode=-1 --save-puts="$(winpath "$WORK/received")"

# What Wine reserves for a started tool differs from machine to machine, so
# the cap is measured: the address space of nvfeed waiting on a silent pipe.
# Read well after its start, while it waits in its first read.
sleep 6 | "$TOOL_WINE" "$NVFEED" "/w=$HWND" &
waiting=$!
sleep 4
base=$(awk '/^VmSize:/ { print $2 }' "/proc/$waiting/status" 2>/dev/null)
wait "$waiting"
if [ -z "$base" ]; then
  echo "FAIL: could not read the address space of a waiting nvfeed" >&2
  exit 1
fi
cap=$((base + HEADROOM_KIB))

started=$(date +%s)
(
  ulimit -v "$cap"
  yes 'a line of text, over and over, until memory runs out' |
    timeout 300 "$TOOL_WINE" "$NVFEED" "/w=$HWND" >"$WORK/out" 2>"$WORK/err"
)
status=$?
echo "[ figure ] capped at $((cap >> 10)) MiB of address space ($((base >> 10)) MiB for Wine at start):" \
     "exit status $status after $(( $(date +%s) - started )) s"

failed=0
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status, not 1" >&2; failed=1; }
first=$(head -n 1 "$WORK/out" | tr -d '\r')
[ "$first" = "Out of memory in $(basename "$NVFEED") at run." ] ||
  { echo "FAIL: the report's first line reads: $first" >&2; failed=1; }
[ ! -s "$WORK/err" ] || { echo "FAIL: something on standard error" >&2; failed=1; }
sleep 1
[ ! -f "$WORK/received" ] || { echo "FAIL: the editor received a text" >&2; failed=1; }
[ "$failed" -eq 0 ] && echo "ok: out of memory ends with the failure report and exit status 1"
exit "$failed"
