#!/usr/bin/env bash
# Installs what building, testing and running need (Debian 12), then configures
# and builds one tree: all of it, or only the targets named after "--".
#   usage: scripts/setup.sh <build-dir> [cmake options...] [-- targets...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/release}"
shift || true
cmake_options=()
targets=()
while (($#)); do
  if [[ "$1" == -- ]]; then
    shift
    targets=("$@")
    break
  fi
  cmake_options+=("$1")
  shift
done

packages=(
  build-essential cmake ninja-build ccache pkg-config clang lld libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libssl-dev openssl libcurl4-openssl-dev ca-certificates libsqlite3-dev nlohmann-json3-dev
  libprotobuf-dev protobuf-compiler libboost-dev zlib1g-dev
  libcairo2-dev libpango1.0-dev fonts-wqy-microhei libjpeg62-turbo-dev
  libqrencode-dev libgif-dev libicu-dev zbar-tools
  libmpv-dev ffmpeg
  libsdl2-dev xvfb xdotool
  libwebkit2gtk-4.1-dev bubblewrap xdg-dbus-proxy
)

missing=()
for p in "${packages[@]}"; do
  status="$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)"
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=()
  [[ "$(id -u)" == 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Test certificate authority, server certificate and API key pair for the local server.
if [[ -x "$root/scripts/make-test-keys.sh" ]]; then
  "$root/scripts/make-test-keys.sh" "$root/build/keys"
fi

# The small clips that the local test server plays (made with ffmpeg, not kept in git).
"$root/scripts/make-test-media.sh" "$root/build/media"

# A tree configured before keeps its cache, and so the choices made there by hand; it is configured
# again only when one of the tree's own options given here (ZV_...) differs from its cache, so that
# an option the scripts take up later (ZV_WERROR) reaches the trees made before.
configure=0
[[ -f "$build/build.ninja" ]] || configure=1
for option in "${cmake_options[@]}"; do
  ((configure)) && break
  [[ "$option" =~ ^-D(ZV_[A-Za-z0-9_]+)(:[A-Z]+)?=(.*)$ ]] || continue
  cached="$(sed -n "s/^${BASH_REMATCH[1]}:[A-Z]*=//p" "$build/CMakeCache.txt" 2>/dev/null || true)"
  [[ "$cached" == "${BASH_REMATCH[3]}" ]] || configure=1
done
if ((configure)); then
  cmake -S "$root" -B "$build" -G Ninja "${cmake_options[@]}" >/dev/null
fi
# ZV_JOBS caps the parallel jobs on a machine that others share.
jobs="${ZV_JOBS:-$(nproc)}"
target_options=()
if ((${#targets[@]})); then
  target_options=(--target "${targets[@]}")
fi
cmake --build "$build" -j "$jobs" "${target_options[@]}"
