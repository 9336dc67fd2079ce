#!/usr/bin/env bash
# Builds the Windows programs for i686 and x86_64 under build/: the tools in
# build/<arch> (win32 thread model, what users run), the stand-in editor and
# the end-to-end tests in build/<arch>-tests (posix thread model, which
# GoogleTest needs). Extra arguments go to every configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${NV_JOBS:-$(nproc)}
for arch in i686 x86_64; do
  cmake --no-warn-unused-cli -S . -B "build/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" "$@" >/dev/null
  cmake --build "build/$arch" -j "$jobs"
  cmake --no-warn-unused-cli -S . -B "build/$arch-tests" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch-posix.cmake" -DNV_TEST_PROGRAMS=ON "$@" >/dev/null
  cmake --build "build/$arch-tests" -j "$jobs"
done
