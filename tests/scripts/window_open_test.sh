#!/usr/bin/env bash
# scripts/window.sh opens nothing while a test server holds its state folder: one of this release
# (a lock on the folder) or of an earlier one (a lock on the file "lock" in it), and it never makes
# that file nor follows a link there. It runs from a copy whose release build is a stand-in that
# notes it was asked and stops, so nothing is compiled or opened.
#   usage: window_open_test.sh <source root>
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/scripts"
cp "$1/scripts/window.sh" "$work/root/scripts/"
printf '#!/usr/bin/env bash\ntouch "$(dirname "$0")/../built"\nexit 3\n' >"$work/root/scripts/build-release.sh"
chmod +x "$work/root/scripts/"*.sh
state="$work/root/out/window/server"
failures=0
expect() { # <what> <open|refused>: whether the window went on to build or said it is open already
  rm -f "$work/root/built"
  DISPLAY=:0 "$work/root/scripts/window.sh" >"$work/out" 2>&1 || true
  local got=refused
  [[ -f "$work/root/built" ]] && got=open
  [[ $got == open ]] || grep -q "the window is already open" "$work/out" || got="$(cat "$work/out")"
  [[ "$got" == "$2" ]] || { echo "FAIL: $1: $got, not $2"; failures=$((failures + 1)); }
}
held() { exec 8<"$1" && flock -n 8; } # as a server holds it, by a descriptor of its own

mkdir -p "$state"
expect "a state folder without a lock file" open
[[ -e "$state/lock" || -L "$state/lock" ]] && { echo "FAIL: the check made the lock file"; failures=$((failures + 1)); }
held "$state"
expect "the folder held" refused
exec 8<&-
: >"$state/lock"
expect "the earlier lock file, not held" open
held "$state/lock"
expect "the earlier lock file held" refused
exec 8<&-
: >"$work/elsewhere"
rm "$state/lock" && ln -s "$work/elsewhere" "$state/lock"
held "$work/elsewhere"
expect "a link in place of the lock file, not followed" open
exec 8<&-
exit $((failures > 0))
