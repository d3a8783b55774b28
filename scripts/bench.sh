#!/usr/bin/env bash
# Builds the benchmark programs without sanitizers (Release, into build/bench), runs the speed
# goals of each and prints one line per goal:
#     NAME ratio R (goal <= G) ok|MISS
# Each ratio is measured in one run against its baseline (interleaved rounds, medians); the
# goals are declared next to their benchmarks with zvbench::addGoal (bench/support/BenchGoals.h),
# so a new bench/*_bench.cpp with goals is picked up without changes here.
#   usage: scripts/bench.sh [part of a goal name]        exit status 1 when a goal is missed
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/bench"
"$root/scripts/setup.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DZV_BENCH=ON -DZV_TESTS=OFF >/dev/null

filter="${1:-}"
status=0
shopt -s nullglob
for program in "$build"/bench/*_bench; do
  # A program without goals prints nothing; one that fails to measure is a miss.
  "$program" --goals "$filter" || status=1
done
exit "$status"
