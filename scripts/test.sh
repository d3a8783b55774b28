#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, then gives each fuzz target a short run over its corpus.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/check"
# Unoptimised with line tables: sanitizer reports stay readable, and -O1 would cost 1.7 times the
# compile time (about 8 min on two cores) to win 2 to 3 min of tests and tours. Unity batches of 16
# sources: this tree is built whole and seldom again, and each batch parses and instantiates the
# shared headers once (a tenth less compile time than batches of 8). A compiler or linker warning
# fails the build (ZV_WERROR), so that none creeps in unseen.
"$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O0 -g1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O0 -g1" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZV_SANITIZE=ON -DZV_FUZZ=ON -DZV_UNITY_BATCH_SIZE=16 -DZV_WERROR=ON

# intercept_tls_get_addr=0: LeakSanitizer's thread scan crashes on the dynamic thread-local storage
# of the web engine's libraries, which the engine module loads with dlopen.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The tests and the fuzzers keep to the build's job count (ZV_JOBS on a shared machine).
jobs="${ZV_JOBS:-$(nproc)}"
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 120

# Each fuzzer runs 10 s over its corpus; as many at a time as there are jobs.
fuzz_one() {
  local fuzzer="$1" name corpus
  name="$(basename "$fuzzer")"
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$build/fuzz-work/$name"
  local args=("$build/fuzz-work/$name")
  [[ -d "$corpus" ]] && args+=("$corpus")
  # Each target gets ZV_FUZZ_SECONDS (default 10) from its corpus on.
  if ! "$fuzzer" -max_total_time="${ZV_FUZZ_SECONDS:-10}" -print_final_stats=0 "${args[@]}" >"$build/fuzz-work/$name.log" 2>&1; then
    echo "fuzz: $name failed" >&2
    tail -40 "$build/fuzz-work/$name.log" >&2
    return 1
  fi
}
shopt -s nullglob
running=0
failed=0
for fuzzer in "$build"/fuzz/*_fuzz; do
  echo "fuzz: $(basename "$fuzzer")"
  fuzz_one "$fuzzer" &
  running=$((running + 1))
  if ((running >= jobs)); then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while ((running > 0)); do
  wait -n || failed=1
  running=$((running - 1))
done
exit "$failed"
