#!/usr/bin/env bash
# Builds the release tree, starts the local test server with its sample data, video and chat rooms,
# and opens the app in a window of the desktop pointed at that server: the mouse is a finger
# (Ctrl+drag pinches), the wheel scrolls, the keyboard types; Esc goes back, Ctrl+R turns the
# phone, Ctrl+D swaps light and dark (as the app's own dark-mode choice, kept with its settings).
# Closing the window ends the app as the phone's app switcher does. The app folder out/window/home
# stays from one start to the next, so that what the app stored, and downloads it had under way,
# are there again; the device's volume and brightness stay beside it (out/window/device.json), as
# a phone keeps them. So does the test server's state folder out/window/server, where the server
# keeps what its clients changed (accounts and their sign-ins, each account's lists, the chat rooms'
# messages and seqs among it): the sign-in and the room's messages that the app stored still agree
# with the server. --fresh starts all three from empty (the levels full).
# Other options go to the app (--dark, --scale <pixels per point>, --script <file> ...).
#   usage: scripts/window.sh [--fresh] [app options...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "window: no display (DISPLAY is not set); scripts/run.sh walks the tours without one" >&2
  exit 1
fi
fresh=0
args=()
for arg in "$@"; do
  if [[ "$arg" == --fresh ]]; then fresh=1; else args+=("$arg"); fi
done
out="$root/out/window"
home="$out/home"
state="$out/server"
# The server of an open window holds a lock on its state folder for its life: a second window
# would share the app folder and the server's state with it, so none is built or opened (nor is
# either emptied by --fresh). A server of an earlier release locks the file "lock" in it instead,
# which is checked too while it is there as a plain file: opened for reading, since flock(1) given
# a name makes a missing file, and never through a link.
window_open() {
  echo "window: the window is already open (its test server holds $state)" >&2
  exit 1
}
held_by_earlier_server() {
  local lock="$state/lock" status=0
  [[ -f "$lock" && ! -L "$lock" ]] || return 1
  { flock -n -E 75 9 || status=$?; } 9<"$lock" 2>/dev/null || return 1
  ((status == 75))
}
if [[ -d "$state" ]] && { ! flock -n "$state" true || held_by_earlier_server; }; then
  window_open
fi
# The release tree as scripts/run.sh sets it up, only the two programs run here.
scripts/build-release.sh zentavo zentavo-testserver

keys="$root/build/keys"
levels="$out/device.json"
((fresh)) && rm -rf "$home" "$state" "$levels" "$levels".damaged-*
mkdir -p "$home/Library/Preferences" "$state"

# The server keeps its ports from one start to the next (out/window/ports), so that the addresses
# the app stored (downloads under way among them) still lead to it.
server_log="$out/testserver.log"
ports_file="$out/ports"
server=""
trap '[[ -n "$server" ]] && { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }' EXIT
# Starts the server; its exit status when it stopped before it served (3: a port given is in use,
# 4: the state folder is, 1: anything else, such as a damaged state file).
start_server() {
  build/release/tools/testserver/zentavo-testserver --keys "$keys" --data tools/testserver/data --state "$state" \
    --media build/media --encrypt data --encrypt-route v1/advert/config=body "$@" >"$server_log" 2>&1 &
  server=$!
  https=""
  for _ in $(seq 100); do
    https="$(awk '$1 == "https" { print $2 }' "$server_log")"
    [[ -n "$https" ]] && return 0
    if ! kill -0 "$server" 2>/dev/null; then
      local status=0
      wait "$server" || status=$?
      server=""
      return $((status == 0 ? 1 : status))
    fi
    sleep 0.1
  done
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  server=""
  return 1
}
kept=()
if [[ -f "$ports_file" ]]; then
  read -r http_port https_port <"$ports_file" || true
  [[ -n "${http_port:-}" && -n "${https_port:-}" ]] && kept=(--http-port "$http_port" --https-port "$https_port")
fi
status=0
start_server ${kept[@]+"${kept[@]}"} || status=$?
# Only kept ports taken meanwhile by something else call for new ones.
if ((status == 3 && ${#kept[@]} > 0)); then
  status=0
  start_server || status=$?
fi
if ((status == 4)); then
  window_open
elif ((status != 0)); then
  cat "$server_log" >&2
  echo "window: the test server did not start" >&2
  exit 1
fi
http="$(awk '$1 == "http" { print $2 }' "$server_log")"
echo "${http##*:} ${https##*:}" >"$ports_file"

export ZV_INFO_DomainFileURL="$https/domain_v2.json"
export ZV_INFO_MainURL="$https/api/"
export ZV_INFO_TrustedCAFile="$keys/ca.pem"
ZV_INFO_APIPublicKey="$(cat "$keys/api_public.b64")"
export ZV_INFO_APIPublicKey
echo "window: app folder $home, server state $state, server log $server_log"
ZV_HOME="$home" build/release/app/zentavo --window --levels "$levels" --out "$out/screenshots" ${args[@]+"${args[@]}"}
