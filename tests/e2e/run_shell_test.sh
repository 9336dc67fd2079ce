#!/usr/bin/env bash
# Runs one of the shell end-to-end tests with the project's headless Wine and
# TOOL_WINE set to the loader for the tools' width (empty where this machine
# cannot run that width; the test then exits 77, which ctest counts as
# skipped).
#
#   run_shell_test.sh i686|x86_64 TEST_SCRIPT [ARGS...]
set -euo pipefail
source "$(dirname "$0")/../../scripts/env.sh"
case $1 in
  i686) TOOL_WINE=$WINE32 ;;
  x86_64) TOOL_WINE=$WINE64 ;;
  *) echo "run_shell_test.sh: unknown architecture $1" >&2; exit 2 ;;
esac
export TOOL_WINE
shift
exec sh "$@"
