#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, then gives each fuzz target a short run over its corpus.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/check"
# -O1 with line tables keeps sanitizer reports readable and the build short on small machines.
"$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZV_SANITIZE=ON -DZV_FUZZ=ON

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 120

shopt -s nullglob
for fuzzer in "$build"/fuzz/*_fuzz; do
  name="$(basename "$fuzzer")"
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$build/fuzz-work/$name"
  args=("$build/fuzz-work/$name")
  [[ -d "$corpus" ]] && args+=("$corpus")
  echo "fuzz: $name"
  "$fuzzer" -max_total_time=10 -print_final_stats=0 "${args[@]}" >"$build/fuzz-work/$name.log" 2>&1 ||
    { tail -40 "$build/fuzz-work/$name.log"; exit 1; }
done
