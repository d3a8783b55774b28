#!/usr/bin/env bash
# scripts/window.sh opens nothing while the test server of an open window holds its state folder,
# whether that server is of this release (a lock on the folder) or of an earlier one (a lock on the
# file "lock" in it), and it never makes that file nor follows a link there. The script runs from a
# copy with a stand-in for the release build that notes it was asked and stops there, so nothing is
# compiled or opened.
#   usage: window_open_test.sh <source root>
set -euo pipefail
source_root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/scripts"
cp "$source_root/scripts/window.sh" "$work/root/scripts/"
cat >"$work/root/scripts/build-release.sh" <<'STUB'
#!/usr/bin/env bash
echo built >"$(dirname "$0")/../built"
exit 3
STUB
chmod +x "$work/root/scripts/"*.sh
state="$work/root/out/window/server"
lock="$state/lock"
export DISPLAY=:0

failures=0
fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}
# Runs the window; "open" when it went on to build, "refused" when it said the window is open.
run_window() {
  rm -f "$work/root/built"
  local status=0
  "$work/root/scripts/window.sh" >"$work/out" 2>&1 || status=$?
  if [[ -f "$work/root/built" ]]; then
    echo open
  elif ((status == 1)) && grep -q "the window is already open" "$work/out"; then
    echo refused
  else
    echo "unexpected (status $status): $(cat "$work/out")"
  fi
}
expect() { # <what> <open|refused>
  local got
  got="$(run_window)"
  [[ "$got" == "$2" ]] || fail "$1: $got, not $2"
}

expect "no state folder yet" open
mkdir -p "$state"
expect "a state folder without a lock file" open
[[ -e "$lock" || -L "$lock" ]] && fail "the check made $lock"

# A server of this release: the folder itself locked.
exec 8<"$state"
flock -n 8
expect "the folder locked" refused
exec 8<&-

# A server of an earlier release: its lock file locked, by a descriptor of its own.
: >"$lock"
expect "the earlier lock file there, not held" open
exec 8<"$lock"
flock -n 8
expect "the earlier lock file held" refused
exec 8<&-

# A link in its place is not the earlier server's file, and is not followed.
: >"$work/elsewhere"
rm "$lock"
ln -s "$work/elsewhere" "$lock"
exec 8<"$work/elsewhere"
flock -n 8
expect "a link in place of the lock file" open
exec 8<&-

if ((failures)); then
  exit 1
fi
echo "window open check: all passed"
