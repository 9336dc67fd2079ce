#!/usr/bin/env bash
# Installs what is missing, builds, and shows both tools at work against the
# stand-in editor under a headless Wine:
#   1. nvfetch prints the editor's text (Japanese, code page 932, CR LF line
#      ends), and the bytes match the sample the editor was given;
#   2. a second sample is piped into nvfeed for the waiting editor and fetched
#      back with nvfetch: the round trip is byte-exact.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
source scripts/env.sh
NV_JOBS=${NV_JOBS:-2} ./scripts/build.sh >/dev/null

# The 32-bit programs where this machine can run them, else the 64-bit ones.
if [ -n "$WINE32" ]; then arch=i686 loader=$WINE32; else arch=x86_64 loader=$WINE64; fi
bin=build/$arch/bin
out=build/demo
mkdir -p "$out"
# A fresh server: window handles grow with its age (a reuse count in their
# high word), and "/w=" takes at most eight digits.
wineserver -k 2>/dev/null && wineserver -w 2>/dev/null || true
wineserver -p 2>/dev/null || true
"$loader" cmd /c exit </dev/null >/dev/null 2>&1 || true  # Wine's background services

fetch_sample=samples/fetch-sample-cp932.txt
feed_sample=samples/feed-sample-cp932.txt

echo "== Starting the stand-in editor ($arch) with $fetch_sample as its text"
"$loader" "build/$arch-tests/editor/norvale_stub.exe" --text-file="Z:$root/$fetch_sample" \
  --waiting --put-mode=-1 --exit-after=120 >"$out/editor.txt" &
editor=$!
trap 'kill $editor 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$out/editor.txt" ] && break; sleep 0.1; done
hwnd=$(tr -d '\r\n' <"$out/editor.txt")
echo "   editor window handle: $hwnd"

show() {  # file: the bytes, and the text as a Japanese reader sees it
  od -An -tx1 "$1" | head -4
  echo "   ..."
  iconv -f CP932 -t UTF-8 "$1" | sed 's/\r$//; s/^/   | /'
}

echo
echo "== nvfetch.exe /w=$hwnd > $out/fetched.txt"
"$loader" "$bin/nvfetch.exe" "/w=$hwnd" >"$out/fetched.txt"
show "$out/fetched.txt"
if cmp "$out/fetched.txt" "$fetch_sample"; then
  echo "   MATCH: $(stat -c %s "$out/fetched.txt") bytes, identical to $fetch_sample"
else
  echo "   MISMATCH"; exit 1
fi

echo
echo "== cat $feed_sample | nvfeed.exe /w=$hwnd ; nvfetch.exe /w=$hwnd > $out/round-trip.txt"
cat "$feed_sample" | "$loader" "$bin/nvfeed.exe" "/w=$hwnd"
"$loader" "$bin/nvfetch.exe" "/w=$hwnd" >"$out/round-trip.txt"
show "$out/round-trip.txt"
if cmp "$out/round-trip.txt" "$feed_sample"; then
  echo "   MATCH: $(stat -c %s "$out/round-trip.txt") bytes, identical to $feed_sample"
else
  echo "   MISMATCH"; exit 1
fi
