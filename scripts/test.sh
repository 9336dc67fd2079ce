#!/usr/bin/env bash
# Installs what is missing, builds both Windows toolchains and the host tests,
# and runs every test with ctest, ending with its summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
source scripts/env.sh
./scripts/build.sh

# The pure logic's tests again under AddressSanitizer and UndefinedBehavior-
# Sanitizer, and its fuzzers, each run for a short fixed time (clang).
cmake --no-warn-unused-cli -S . -B build/host-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DNV_SANITIZE=ON -DNV_FUZZ=ON -DNV_FUZZ_SECONDS=20 -DNV_WINE_TESTS=OFF >/dev/null
cmake --build build/host-asan -j "$(nproc)"

# The host tree: the pure logic's tests, the Windows builds' tests under
# Wine, and the sanitized tree's tests, all in one ctest run.
cmake --no-warn-unused-cli -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DNV_SANITIZED_TREE="$root/build/host-asan" >/dev/null
cmake --build build/host -j "$(nproc)"

# One Wine server for the whole run, so that each program starts quickly.
# A fresh server: window handles grow with its age (a reuse count in their
# high word), and "/w=" takes at most eight digits.
wineserver -k 2>/dev/null && wineserver -w 2>/dev/null || true
wineserver -p 2>/dev/null || true
# The first program under a new server also starts Wine's background services,
# which live as long as the server and keep whatever output they inherited
# open: started here, they hold /dev/null rather than the output pipe of
# whichever test comes first, which ctest would wait on for ever.
"$WINE64" cmd /c exit </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir build/host --output-on-failure -j 2
