#!/usr/bin/env bash
# Builds the release tree and runs the headless device with the demo script; prints where the
# screenshots and dumps went.   usage: scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/setup.sh build/release
out="out/demo-$(date +%Y%m%d-%H%M%S)"
status=0
build/release/app/zentavo --script app/Resources/Scripts/demo.txt --out "$out" || status=$?
echo "$root/$out"
exit "$status"
