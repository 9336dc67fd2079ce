# Sourced by the shell end-to-end tests: the Wine loaders, a scratch folder,
# and the stand-in editor program started under Wine and stopped when the
# test ends.
#
#   . shell_rig.sh
#   start_stub LOADER STUB_EXE [EDITOR OPTIONS...]   # sets HWND, or fails the test
#
# TOOL_WINE names the tools' loader (default wine64; set but empty: this
# machine cannot run them, and the test exits 77, which ctest counts as
# skipped); STUB_WINE the 64-bit editor's. WORK is the scratch folder, removed
# at the end.
TOOL_WINE=${TOOL_WINE-/usr/lib/wine/wine64}
STUB_WINE=${STUB_WINE:-/usr/lib/wine/wine64}
if [ -z "$TOOL_WINE" ]; then
  echo "skipped: no Wine loader for these tools on this machine"
  exit 77
fi
export WINEDEBUG=${WINEDEBUG:--all}

WORK=$(mktemp -d)
STUB_PID=
stop_stub() {
  if [ -n "$STUB_PID" ]; then
    kill "$STUB_PID" 2>/dev/null
    wait "$STUB_PID" 2>/dev/null
  fi
  STUB_PID=
}
trap 'stop_stub; rm -rf "$WORK"' EXIT

start_stub() {
  loader=$1
  exe=$2
  shift 2
  "$loader" "$exe" --exit-after=600 "$@" >"$WORK/stub.out" 2>&1 </dev/null &
  STUB_PID=$!
  HWND=
  for _ in $(seq 1 100); do
    HWND=$(head -n 1 "$WORK/stub.out" 2>/dev/null | tr -dc '0-9')
    [ -n "$HWND" ] && return 0
    sleep 0.1
  done
  echo "FAIL: the stand-in editor did not start" >&2
  cat "$WORK/stub.out" >&2
  exit 1
}

# winpath PATH: the Unix path as the Wine side sees it (drive Z:).
winpath() { printf 'Z:%s' "$1"; }
