#!/usr/bin/env bash
# Builds the programs named in the release tree build/release, as scripts/run.sh and
# scripts/window.sh use it (same options, so that neither rebuilds what the other built): optimised,
# with line tables for backtraces rather than full debug information, which made the tree
# gigabytes large.
# A warning here is printed and the build goes on: this is the tree of a person's first command,
# built by whatever compiler the machine has (GCC on Debian), and a warning that only one compiler
# gives must not stop it. CI's tree (scripts/test.sh) fails on any warning instead. The option is
# given as OFF, not left out, so that a tree configured by an earlier script with it ON is
# configured again (scripts/setup.sh compares the options given with the tree's cache).
#   usage: scripts/build-release.sh <target>...
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if (($# == 0)); then
  echo "usage: $0 <target>..." >&2
  exit 2
fi
exec "$root/scripts/setup.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DZV_WERROR=OFF -- "$@"
