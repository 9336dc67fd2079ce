#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under build/fuzz and runs each for
# the given number of seconds (default 60) on a working copy of its seed
# corpus; the committed seeds under fuzz/corpus/ are never written.
# Prints the executions per target and whether it found anything; exits
# non-zero when a target crashed.
set -euo pipefail

seconds="${1:-60}"
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
targets=(fuzz_cmdline fuzz_capture)

generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DNV_FUZZ=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" >/dev/null

failed=0
summary=()
for target in "${targets[@]}"; do
  corpus="$build/fuzz/corpus/$target"
  artifacts="$build/fuzz/artifacts/$target/"
  log="$build/fuzz/$target.log"
  mkdir -p "$corpus" "$artifacts"
  cp "$root/fuzz/corpus/$target/"* "$corpus/"

  echo "fuzz: $target for ${seconds}s"
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$artifacts" "$corpus" >"$log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ -z "$runs" ]; then
    runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#' || true)
  fi
  if [ "$status" -eq 0 ]; then
    result="nothing found"
  else
    result="FOUND a failure (exit $status), input in $artifacts, log $log"
    failed=1
  fi
  summary+=("$(printf '%-14s %12s executions in %ss: %s' "$target" "${runs:-?}" "$seconds" "$result")")
done

echo
printf '%s\n' "${summary[@]}"
exit "$failed"
