#!/usr/bin/env bash
# Runs a Windows program under the project's headless Wine.
#
#   run-wine.sh [--needs ARCH]... ARCH PROGRAM [ARGS...]
#
# ARCH (i686 or x86_64) is the program's own; each --needs names another
# architecture the run depends on (the tools it starts). Exits 77, which ctest
# counts as skipped, when this machine cannot run programs of one of them.
set -euo pipefail
source "$(dirname "$0")/env.sh"

loader_for() {
  case "$1" in
    x86_64) echo "$WINE64" ;;
    i686) echo "$WINE32" ;;
    *) echo "run-wine.sh: unknown architecture $1" >&2; exit 2 ;;
  esac
}

needs=()
while [ "${1:-}" = --needs ]; do needs+=("$2"); shift 2; done
arch=$1; shift
for a in "$arch" "${needs[@]}"; do
  if [ -z "$(loader_for "$a")" ]; then
    echo "skipped: this machine cannot run $a Windows programs (its kernel runs no 32-bit Linux programs, which 32-bit Wine needs)"
    exit 77
  fi
done
exec "$(loader_for "$arch")" "$@"
