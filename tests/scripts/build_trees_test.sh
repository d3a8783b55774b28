#!/usr/bin/env bash
# The scripts' build trees as a person and CI get them: the release tree that scripts/run.sh and
# scripts/window.sh build prints a warning and goes on (a first command must not stop on a warning
# that only the machine's compiler gives), also when an earlier script configured it to fail on
# one; CI's sanitized tree (scripts/test.sh) fails on any warning.
# The scripts run from a copy of scripts/ with cmake, ctest and dpkg-query replaced by stand-ins
# that write down what they were asked, so nothing is installed or compiled.
#   usage: build_trees_test.sh <source root>
set -euo pipefail
source_root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/scripts" "$work/bin"
cp "$source_root"/scripts/{setup.sh,build-release.sh,test.sh} "$work/root/scripts/"
for helper in make-test-keys.sh make-test-media.sh; do
  printf '#!/usr/bin/env bash\nexit 0\n' >"$work/root/scripts/$helper"
done
chmod +x "$work/root/scripts/"*.sh
log="$work/calls"
cat >"$work/bin/cmake" <<'STUB'
#!/usr/bin/env bash
echo "cmake $*" >>"$CALLS"
if [[ "$1" == -S ]]; then
  tree="$4"
  mkdir -p "$tree"
  : >"$tree/build.ninja"
  for arg in "$@"; do
    [[ "$arg" =~ ^-D(ZV_[A-Za-z0-9_]+)=(.*)$ ]] && echo "${BASH_REMATCH[1]}:BOOL=${BASH_REMATCH[2]}"
  done >"$tree/CMakeCache.txt"
fi
exit 0
STUB
printf '#!/usr/bin/env bash\necho "ctest $*" >>"$CALLS"\n' >"$work/bin/ctest"
printf '#!/usr/bin/env bash\necho "install ok installed"\n' >"$work/bin/dpkg-query"
chmod +x "$work/bin/"*
export PATH="$work/bin:$PATH" CALLS="$log"

failures=0
expect() { # <what> <pattern> <file>
  if ! grep -qE -- "$2" "$3"; then
    echo "FAIL: $1 (no line matching '$2' in $(basename "$3"))"
    cat "$3"
    failures=$((failures + 1))
  fi
}

# A new release tree is configured not to fail on a warning.
"$work/root/scripts/build-release.sh" zentavo >/dev/null
expect "a new release tree goes on past a warning" "^ZV_WERROR:BOOL=OFF$" "$work/root/build/release/CMakeCache.txt"
expect "the release tree builds only the targets named" "^cmake --build .*/build/release .*--target zentavo$" "$log"

# A release tree that an earlier script configured to fail on a warning is configured again.
echo "ZV_WERROR:BOOL=ON" >"$work/root/build/release/CMakeCache.txt"
: >"$log"
"$work/root/scripts/build-release.sh" zentavo zentavo-testserver >/dev/null
expect "a release tree configured to fail on a warning is configured again" "^cmake -S .* -DZV_WERROR=OFF" "$log"
expect "... and then goes on past one" "^ZV_WERROR:BOOL=OFF$" "$work/root/build/release/CMakeCache.txt"

# CI's tree fails on any warning.
: >"$log"
"$work/root/scripts/test.sh" >/dev/null
expect "CI's tree fails on a warning" "^ZV_WERROR:BOOL=ON$" "$work/root/build/check/CMakeCache.txt"

# The scripts that a person runs build the release tree through the same script.
for script in run.sh window.sh; do
  expect "$script builds the release tree through build-release.sh" "^[[:space:]]*scripts/build-release.sh " \
    "$source_root/scripts/$script"
done

((failures == 0)) && echo "build trees: ok"
exit $((failures > 0))
