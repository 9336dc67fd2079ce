#!/usr/bin/env bash
# Builds the Windows programs for i686 and x86_64 (tools, stand-in editor,
# end-to-end tests) under build/. Extra arguments go to every configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${NV_JOBS:-$(nproc)}
for arch in i686 x86_64; do
  cmake --no-warn-unused-cli -S . -B "build/$arch" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DNV_BUILD_E2E=ON "$@" >/dev/null
  cmake --build "build/$arch" -j "$jobs"
done
