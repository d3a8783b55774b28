#!/usr/bin/env bash
# Builds the release tree, starts the local test server with its sample data and chat rooms and
# walks the app's tour twice, light and signed out, then dark from the stored flag and signed in;
# then the UI kit's demonstration and the app's player on a sample title. Each pass writes a PNG
# and a view-tree dump per step into out/tour-<timestamp>/<light|dark|kit|player>; the folder's
# path is printed at the end.
#   usage: scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
# Only the three programs run below (the tests build in the tree of scripts/test.sh), with line
# tables for backtraces rather than full debug information, which made the tree gigabytes large.
scripts/setup.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -- zentavo zentavo-testserver zentavo-kitdemo

keys="$root/build/keys"
out="$root/out/tour-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"

# The server prints its addresses once it listens; it stops with this script. Its replies carry
# `data` encrypted, the advert configuration's whole body encrypted and held back for 2.5 s, so
# that the tour decrypts both kinds and its first picture shows the launch screen still waiting.
server_log="$out/testserver.log"
build/release/tools/testserver/zentavo-testserver --keys "$keys" --data tools/testserver/data --media build/media \
  --encrypt data --encrypt-route v1/advert/config=body --delay-route v1/advert/config=2500 \
  >"$server_log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
https=""
for _ in $(seq 100); do
  https="$(awk '$1 == "https" { print $2 }' "$server_log")"
  [[ -n "$https" ]] && break
  if ! kill -0 "$server" 2>/dev/null; then
    cat "$server_log" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ -z "$https" ]]; then
  echo "run: the test server did not start" >&2
  exit 1
fi

# The app finds the server through the server-address file; its first two calls go out before
# that file is in, so the API address points there from the start as well.
export ZV_INFO_DomainFileURL="$https/domain_v2.json"
export ZV_INFO_MainURL="$https/api/"
export ZV_INFO_TrustedCAFile="$keys/ca.pem"
ZV_INFO_APIPublicKey="$(cat "$keys/api_public.b64")"
export ZV_INFO_APIPublicKey

status=0
for style in light dark; do
  # Each pass is a first start in a fresh app folder; the dark one has the dark-mode flag stored.
  home="$out/$style/home"
  mkdir -p "$home/Library/Preferences"
  # The dark pass is signed in as the sample account (its chat tab shows the room to join).
  if [[ "$style" == dark ]]; then
    token="$(sed -n 's/.*"access_token": *"\([^"]*\)".*/\1/p' tools/testserver/data/api/account.json)"
    printf '{"format": "zentavo.defaults", "version": 1, "values": {"StoreData.isDarkColor": {"bool": true}, "StoreData.access_token": {"string": "%s"}}}\n' \
      "$token" >"$home/Library/Preferences/UserDefaults.json"
  fi
  ZV_HOME="$home" build/release/app/zentavo --script app/Resources/Scripts/tour.txt --out "$out/$style" \
    >"$out/$style.log" 2>&1 || status=$?
  grep -v '^output: ' "$out/$style.log" | grep ':[0-9]*: ' >&2 || true
done
# ---- Account tour -------------------------------------------------------------------------------
# Sign-in behind the captcha, registration, recovery and the profile pages (light only), against a
# server of its own: its verification codes are all 246810, so that the script can type them, and
# the accounts it makes stay out of the main tour. The photo library of the app folder holds one
# picture for the new avatar. PNGs into out/tour-<timestamp>/account, codes in its server log.
account_log="$out/testserver-account.log"
ZV_TESTSERVER_CODE=246810 build/release/tools/testserver/zentavo-testserver --keys "$keys" \
  --data tools/testserver/data >"$account_log" 2>&1 &
account_server=$!
trap 'kill "$server" "$account_server" 2>/dev/null || true; wait "$server" "$account_server" 2>/dev/null || true' EXIT
account_https=""
for _ in $(seq 100); do
  account_https="$(awk '$1 == "https" { print $2 }' "$account_log")"
  [[ -n "$account_https" ]] && break
  kill -0 "$account_server" 2>/dev/null || break
  sleep 0.1
done
if [[ -n "$account_https" ]]; then
  account_home="$out/account/home"
  mkdir -p "$account_home/PhotoLibrary"
  cp app/Resources/Scripts/tour-photos/lake-evening.jpg "$account_home/PhotoLibrary/"
  ZV_HOME="$account_home" ZV_INFO_DomainFileURL="$account_https/domain_v2.json" \
    ZV_INFO_MainURL="$account_https/api/" \
    build/release/app/zentavo --script app/Resources/Scripts/tour-account.txt --out "$out/account" \
    >"$out/account.log" 2>&1 || status=$?
  grep -v '^output: ' "$out/account.log" | grep ':[0-9]*: ' >&2 || true
else
  echo "run: the account tour's test server did not start" >&2
  status=1
fi
# ---- End of the account tour ----------------------------------------------------------------------
# ---- Search and rankings: a pass of their own (first start, light, signed out) ----
# The ranking tab with its tabs and ranked titles, then the search page (opened by a device step)
# with hot words and rankings, suggestions, results in Chinese and Latin names, the history, a
# favourite, a search without results and the request form filled and sent, into
# out/tour-<timestamp>/search.
home="$out/search/home"
mkdir -p "$home/Library/Preferences"
ZV_HOME="$home" build/release/app/zentavo --script app/Resources/Scripts/tour-search.txt --out "$out/search" \
  >"$out/search.log" 2>&1 || status=$?
grep -v '^output: ' "$out/search.log" | grep ':[0-9]*: ' >&2 || true
# ---- end of search and rankings ----

# ---- The short-video tab: a tour of its own ----
# Signed in (likes need it), light: the feed playing its first clip through the media cache, the
# next clip, the grid of clips, the share poster saved to the album, and the explore cards swiped
# right (a favourite) and left, into out/tour-<timestamp>/short.
home="$out/short/home"
mkdir -p "$home/Library/Preferences"
token="$(sed -n 's/.*"access_token": *"\([^"]*\)".*/\1/p' tools/testserver/data/api/account.json)"
printf '{"format": "zentavo.defaults", "version": 1, "values": {"StoreData.access_token": {"string": "%s"}}}\n' \
  "$token" >"$home/Library/Preferences/UserDefaults.json"
ZV_HOME="$home" build/release/app/zentavo --script app/Resources/Scripts/tour-short.txt --out "$out/short" \
  >"$out/short.log" 2>&1 || status=$?
grep -v '^output: ' "$out/short.log" | grep ':[0-9]*: ' >&2 || true
# ---- end of the short-video tab's tour ----

# ---- My space tour --------------------------------------------------------------------------------
# The personal centre and its pages (light only), signed in as the sample account at the start,
# against the main server: the teen-mode prompt, the centre with the notice badge, history and
# favourites with a deletion, notices, share, help, settings with logging out, and the about page,
# whose access code ends the app. PNGs into out/tour-<timestamp>/mine.
mine_home="$out/mine/home"
mkdir -p "$mine_home/Library/Preferences"
token="$(sed -n 's/.*"access_token": *"\([^"]*\)".*/\1/p' tools/testserver/data/api/account.json)"
printf '{"format": "zentavo.defaults", "version": 1, "values": {"StoreData.access_token": {"string": "%s"}}}\n' \
  "$token" >"$mine_home/Library/Preferences/UserDefaults.json"
ZV_HOME="$mine_home" build/release/app/zentavo --script app/Resources/Scripts/tour-mine.txt --out "$out/mine" \
  >"$out/mine.log" 2>&1 || status=$?
grep -v '^output: ' "$out/mine.log" | grep ':[0-9]*: ' >&2 || true
# ---- End of the my space tour -------------------------------------------------------------------

# The UI kit's demonstration: pictures from the server, the photo browser, badges, a toast and
# bottom sheets (the app's play-source sheet among them), into out/tour-<timestamp>/kit.
build/release/tools/kitdemo/zentavo-kitdemo --keys "$keys" --script tools/kitdemo/kitdemo.txt --out "$out/kit" \
  >"$out/kit.log" 2>&1 || status=$?

# ---- Chat tour ----
# The chat tab on its own, light and signed in as the sample account (an administrator of the
# room), with a picture in the device's photo library: it joins the room, sends a picture and a
# reply, recalls one, and opens a member card with the mute picker; into
# out/tour-<timestamp>/chat.
chat_home="$out/chat/home"
mkdir -p "$chat_home/Library/Preferences" "$chat_home/PhotoLibrary"
cp tools/testserver/data/images/banner-1.jpg "$chat_home/PhotoLibrary/"
chat_token="$(sed -n 's/.*"access_token": *"\([^"]*\)".*/\1/p' tools/testserver/data/api/account.json)"
printf '{"format": "zentavo.defaults", "version": 1, "values": {"StoreData.access_token": {"string": "%s"}}}\n' \
  "$chat_token" >"$chat_home/Library/Preferences/UserDefaults.json"
ZV_HOME="$chat_home" build/release/app/zentavo --script app/Resources/Scripts/tour-chat.txt --out "$out/chat" \
  >"$out/chat.log" 2>&1 || status=$?
grep -v '^output: ' "$out/chat.log" | grep ':[0-9]*: ' >&2 || true
# ---- End of the chat tour ----
# ---- The app's player on a sample title of the server, into out/tour-<timestamp>/player: playing,
# ---- loading, both settings panels, full screen with its speed and episode panels, the pause
# ---- advert and the error layer (tools/kitdemo/player.txt).
build/release/tools/kitdemo/zentavo-kitdemo --keys "$keys" --script tools/kitdemo/player.txt --out "$out/player" \
  >"$out/player.log" 2>&1 || status=$?
echo "$out"
exit "$status"
