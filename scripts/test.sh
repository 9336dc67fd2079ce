#!/usr/bin/env bash
# Installs what is missing, builds both Windows toolchains and the host tests,
# and runs every test with ctest, ending with its summary.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/setup.sh
source scripts/env.sh
./scripts/build.sh

# Host tree: the pure logic's tests (plain and under sanitizers, built with
# clang), its fuzzers, and the registration of the Windows tests.
cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/host -j "$(nproc)"

# One Wine server for the whole run, so that each program starts quickly.
wineserver -p 2>/dev/null || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true' EXIT
ctest --test-dir build/host --output-on-failure -j 2
