#!/usr/bin/env bash
# Builds the libFuzzer programs (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for the given time, one after the
# other on one core. New inputs that reach new code are merged into the kept
# corpus fuzz/corpus/<target>/ (which the test suite replays); a finding is
# written to build/fuzz/findings/<target>/ and stops the script.
#
#   bash scripts/fuzz.sh [seconds per target, default 60] [target ...]
#   TARNVEL_SKIP_INSTALL=1 ...   skip the package step (already done)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(catalogue_table registry_file users_reply split_database_name backup_name)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ "${TARNVEL_SKIP_INSTALL:-0}" != 1 ]; then
  as_root bash scripts/install-deps.sh fuzz
fi

build=build/fuzz
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARNVEL_BUILD_TESTS=OFF -DTARNVEL_BUILD_FUZZERS=ON >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target tarnvel_fuzzers -j 2

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
for target in "${targets[@]}"; do
  kept=fuzz/corpus/$target
  work=$build/work/$target
  findings=$build/findings/$target
  mkdir -p "$kept" "$work" "$findings"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  printf '\n=== %s: %s s ===\n' "$target" "$seconds"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
    -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" "$work" "$kept"
  # Only inputs that reach code the kept corpus does not reach are added
  # (edges, not hit counts: the kept corpus stays small).
  "$build/fuzz/fuzz_$target" -merge=1 -use_counters=0 "$kept" "$work" 2>&1 |
    grep -E '^MERGE-OUTER: [0-9]+ new files' || true
done
