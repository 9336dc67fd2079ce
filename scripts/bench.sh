#!/usr/bin/env bash
# Measures nvfeed and nvfetch under a headless Wine beside the least programs
# that do the same work (bench/min_feed, bench/min_fetch), and prints one table
# of medians and ratios. Not a test: it prints figures, never a verdict.
#
#   scripts/bench.sh [--quick] [--runs=N] [--sizes=1,16,...]
#
# Every transfer that is timed is also checked byte for byte: the editor's
# text after a feed is read back, a fetch's output is compared with the text
# the editor was started with.
#
# --quick leaves out the 128 MiB size; --sizes picks sizes in MiB.
# Default: 1, 16 and 128 MiB, 5 runs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/bench-x64
runs=5
sizes=(1 16 128)
for arg in "$@"; do
  case $arg in
    --quick) sizes=(1 16) ;;
    --runs=*) runs=${arg#--runs=} ;;
    --sizes=*) IFS=, read -r -a sizes <<<"${arg#--sizes=}" ;;
    *) echo "usage: $0 [--quick] [--runs=N] [--sizes=1,16,...]" >&2; exit 2 ;;
  esac
done
if [ "$runs" -lt 5 ]; then echo "bench: at least 5 runs" >&2; exit 2; fi
startup_runs=$((runs * 2 + 1))

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
W=/usr/lib/wine/wine64

# --- build -------------------------------------------------------------------
"$root/scripts/setup.sh"
# The tools and the minimal counterparts in one tree, the stand-in editor
# (posix thread model) in another.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DNV_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" --target bench_programs >/dev/null
if [ ! -f "$build-editor/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build-editor" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64-posix.cmake" -DNV_TEST_PROGRAMS=ON >/dev/null
fi
cmake --build "$build-editor" --target norvale_stub >/dev/null

NVFEED=$build/bin/nvfeed.exe
NVFETCH=$build/bin/nvfetch.exe
STUB=$build-editor/editor/norvale_stub.exe
MIN_FEED=$build/bench/min_feed.exe
MIN_FETCH=$build/bench/min_fetch.exe
NOOP=$build/bench/noop.exe
PIPE_FEED=$build/bench/pipe_feed.exe
REAP=$root/bench/reap.py

data=$build/data
work=$build/run
mkdir -p "$data" "$work"
results=$work/results.txt
: >"$results"

# The Wine side sees the Unix file system as drive Z:.
winpath() { printf 'Z:%s' "$1"; }

# --- Wine ------------------------------------------------------------------
wineserver -p 2>/dev/null || true  # keeps a running server; fails harmlessly when one runs
"$W" "$NOOP"  # brings up the prefix's own services before anything is timed

# This prefix's wineserver works in a folder named for the prefix's device and
# inode; its CPU time is read from /proc.
server_dir=$(printf 'server-%x-%x' "$(stat -c %d "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
server_pid=
for p in $(pgrep -x wineserver64 || true) $(pgrep -x wineserver || true); do
  case $(readlink "/proc/$p/cwd" 2>/dev/null || true) in */"$server_dir") server_pid=$p ;; esac
done
server_cpu() {  # seconds of CPU used so far by this prefix's wineserver
  if [ -z "$server_pid" ]; then echo nan; return; fi
  awk -v hz="$(getconf CLK_TCK)" '{ printf "%.3f\n", ($14 + $15) / hz }' "/proc/$server_pid/stat"
}

# --- the stand-in editor ---------------------------------------------------
stub_pid=
hwnd=
start_stub() {
  local attempt
  for attempt in 1 2 3; do
    "$W" "$STUB" --exit-after=3600 "$@" >"$work/stub.out" 2>"$work/stub.err" </dev/null &
    stub_pid=$!
    hwnd=
    for _ in $(seq 600); do
      if [ -s "$work/stub.out" ]; then hwnd=$(head -n 1 "$work/stub.out" | tr -d '\r\n'); break; fi
      kill -0 "$stub_pid" 2>/dev/null || break
      sleep 0.05
    done
    [ -n "$hwnd" ] && return
    stop_stub
    echo "bench: the editor did not start (attempt $attempt): norvale_stub $*" >&2
    cat "$work/stub.err" >&2
  done
  exit 1
}
stop_stub() {
  if [ -n "$stub_pid" ]; then
    kill "$stub_pid" 2>/dev/null || true
    wait "$stub_pid" 2>/dev/null || true
  fi
  stub_pid=
}
trap stop_stub EXIT

# --- recording ---------------------------------------------------------------
# One line per run: case, program, wall s, CPU s, peak KiB, wineserver CPU s,
# and whether the bytes came through unchanged.
record() { echo "$*" >>"$results"; }

# Reads reap.py's report: sets wall cpu rss (the command itself) and ocpu orss
# (the processes it left behind: a program started inside Wine).
read_reap() { read -r wall cpu rss ocpu orss <"$work/reap.txt"; }

# Reads back the editor's whole text (transfer mode 0) and compares it.
check_editor_text() {
  "$W" "$MIN_FETCH" "/w=$hwnd" 0 </dev/null >"$work/back.txt" && cmp -s "$work/back.txt" "$1" && echo ok || echo bad
}

feed_exe() { [ "$1" = nvfeed ] && echo "$NVFEED" || echo "$MIN_FEED"; }
fetch_exe() { [ "$1" = nvfetch ] && echo "$NVFETCH" || echo "$MIN_FETCH"; }

# feed_run SOURCE TEXT PROGRAM: one feed into a fresh editor whose puts
# replace the whole text.
feed_run() {
  local source=$1 text=$2 program=$3 exe key ok
  exe=$(feed_exe "$program")
  key=feed-$source-$(($(stat -c %s "$text") >> 20))
  start_stub --waiting --put-mode=-1
  case $source in
    winpipe)
      python3 "$REAP" "$work/reap.txt" "$W" "$PIPE_FEED" --report="$(winpath "$work/pipe.txt")" \
        "$(winpath "$text")" "$(winpath "$exe")" "/w=$hwnd" </dev/null || true
      read_reap
      read -r wall _ _ <"$work/pipe.txt"  # from starting the program to its end
      cpu=$ocpu rss=$orss ;;
    unixpipe)
      cat "$text" | python3 "$REAP" "$work/reap.txt" "$W" "$exe" "/w=$hwnd" || true
      read_reap ;;
    file)
      python3 "$REAP" "$work/reap.txt" "$W" "$exe" "/w=$hwnd" <"$text" || true
      read_reap ;;
  esac
  ok=$(check_editor_text "$text")
  stop_stub
  record "$key $program $wall $cpu $rss - $ok"
}

# fetch_run DEST TEXT PROGRAM: one fetch from the running editor.
fetch_run() {
  local dest=$1 text=$2 program=$3 exe key ok status
  exe=$(fetch_exe "$program")
  key=fetch-$dest-$(($(stat -c %s "$text") >> 20))
  case $dest in
    pipe)
      set +e
      python3 "$REAP" "$work/reap.txt" "$W" "$exe" "/w=$hwnd" </dev/null | cmp -s - "$text"
      status=("${PIPESTATUS[@]}")
      set -e
      [ "${status[0]}" = 0 ] && [ "${status[1]}" = 0 ] && ok=ok || ok=bad ;;
    file)
      python3 "$REAP" "$work/reap.txt" "$W" "$exe" "/w=$hwnd" </dev/null >"$work/out.txt" || true
      cmp -s "$work/out.txt" "$text" && ok=ok || ok=bad ;;
  esac
  read_reap
  record "$key $program $wall $cpu $rss - $ok"
}

# idle_run SOURCE PROGRAM: the writer is silent for two seconds, then writes
# one byte. The CPU time is the program's own; wineserver's is beside it.
idle_run() {
  local source=$1 program=$2 exe before after ok
  exe=$(feed_exe "$program")
  start_stub --waiting --put-mode=-1
  before=$(server_cpu)
  case $source in
    unixpipe)
      (sleep 2; printf x) | python3 "$REAP" "$work/reap.txt" "$W" "$exe" "/w=$hwnd" || true
      read_reap ;;
    winpipe)
      python3 "$REAP" "$work/reap.txt" "$W" "$PIPE_FEED" --delay=2000 \
        --report="$(winpath "$work/pipe.txt")" "$(winpath "$data/x.txt")" "$(winpath "$exe")" \
        "/w=$hwnd" </dev/null || true
      read_reap
      read -r wall _ _ <"$work/pipe.txt"
      cpu=$ocpu rss=$orss ;;
  esac
  after=$(server_cpu)
  ok=$(check_editor_text "$data/x.txt")
  stop_stub
  record "idle-$source $program $wall $cpu $rss $(awk -v a="$after" -v b="$before" 'BEGIN { printf "%.3f", a - b }') $ok"
}

# --- texts -------------------------------------------------------------------
printf x >"$data/x.txt"
printf abc >"$data/abc.txt"
for mib in "${sizes[@]}"; do
  text=$data/text-$mib.txt
  if [ ! -f "$text" ] || [ "$(stat -c %s "$text")" != $((mib << 20)) ]; then
    python3 "$root/bench/make_text.py" "$text" $((mib << 20))
  fi
done

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date +%s)

# --- start-up: a 3-byte text -------------------------------------------------
start_stub --text=abc --selection=0,3
for _ in $(seq "$startup_runs"); do
  for program in nvfetch min_fetch noop; do
    if [ "$program" = noop ]; then
      python3 "$REAP" "$work/reap.txt" "$W" "$NOOP" </dev/null >/dev/null
      ok=-
    else
      python3 "$REAP" "$work/reap.txt" "$W" "$(fetch_exe "$program")" "/w=$hwnd" </dev/null >"$work/out.txt" || true
      cmp -s "$work/out.txt" "$data/abc.txt" && ok=ok || ok=bad
    fi
    read_reap
    record "startup $program $wall $cpu $rss - $ok"
  done
done
stop_stub

# --- idle ----------------------------------------------------------------------
for _ in $(seq "$runs"); do
  for source in unixpipe winpipe; do
    for program in nvfeed min_feed; do idle_run "$source" "$program"; done
  done
done

# --- feed and fetch, size by size -----------------------------------------
for mib in "${sizes[@]}"; do
  text=$data/text-$mib.txt
  for _ in $(seq "$runs"); do
    for source in winpipe unixpipe file; do
      for program in nvfeed min_feed; do feed_run "$source" "$text" "$program"; done
    done
  done
  start_stub --text-file="$(winpath "$text")" --selection=0,$((mib << 20))
  for _ in $(seq "$runs"); do
    for dest in pipe file; do
      for program in nvfetch min_fetch; do fetch_run "$dest" "$text" "$program"; done
    done
  done
  stop_stub
done

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
python3 "$root/bench/table.py" "$results" \
  "runs $runs per figure ($startup_runs for start-up); $(nproc) cores; wine $("$W" --version 2>/dev/null); load average before $load_before, after $load_after; $(( $(date +%s) - started )) s"
