#!/usr/bin/env bash
# Walks the tours: every device script app/Resources/Scripts/tour*.txt in the app (tour.txt first,
# then the others by name), then the UI kit's scripts tools/kitdemo/kitdemo.txt and player.txt in
# zentavo-kitdemo (which starts a server of its own), against the local test server with its
# sample data, video and chat rooms. Each pass of a tour starts in a fresh app folder, set up from
# the "#!" lines at the top of its script:
#   #! signed-in        the sample account's token is stored
#   #! dark             the dark-mode flag is stored
#   #! codes <digits>   against a test server of its own whose verification codes are these digits
#   #! fault <path>=<kind>
#                       against a test server of its own whose replies to that API path are broken
#                       (500, cut, not-json, bad-utf8, too-large); one line per path
#   #! photos           the photo library holds the pictures of app/Resources/Scripts/tour-photos
#   #! pass <name> [dark] [signed-in]
#                       one pass of several, each in its own folder; without any, one pass named
#                       after the file (tour-home.txt: home). A dark pass has test servers of its
#                       own, so that what the light pass changed there does not meet it
#   #! after <tour>     continues in the app folder that tour (or pass) left, against the same
#                       server: the app started again on the same data; it walks right after it.
#                       Its passes name only "dark": each continues from the last pass of that
#                       tour in the same style
#   #! server-stopped   the tour's server is stopped while it walks (offline) and started again
#                       after it on the same ports and data
# A PNG and a view-tree dump per step go into out/tour-<time>/<pass>, the program's output into
# out/tour-<time>/<pass>.log. Every failed step is named (pass, script:line: message); any failed
# step, or a program that ends badly, makes the run fail. The folder's path is printed last.
#   usage: scripts/run.sh [tour...]   walks the named tours (by name: tour, search, kitdemo, ...,
#                                     or by pass name: light, kit, ...) and those they come after
# ZV_BUILD=<tree> walks with the programs of another built tree (build/check: sanitized); by
# default the release tree is set up and built. ZV_REAL_TIME=<seconds> sets the real time that
# each virtual second of waiting may spend on replies (default 1; see DeviceMain.h).
# ZV_TOUR_LANES=<n> walks up to n tours side by side (default: the processors, at most 4).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

if [[ -z "${ZV_BUILD:-}" ]]; then
  build=build/release
  # Only the three programs run below (the tests build in the tree of scripts/test.sh).
  scripts/build-release.sh zentavo zentavo-kitdemo zentavo-testserver
else
  build="$ZV_BUILD"
  cmake --build "$build" -j "${ZV_JOBS:-$(nproc)}" --target zentavo zentavo-kitdemo zentavo-testserver
fi
keys="$root/build/keys"
if [[ ! -f "$keys/ca.pem" || ! -d build/media ]]; then
  echo "run: no test keys or media in build/: run scripts/setup.sh first" >&2
  exit 2
fi
# A sanitized tree's programs report what the tests' do (scripts/test.sh), leaks of the system's
# libraries left out.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
device_options=()
real_time="${ZV_REAL_TIME:-1}"
if [[ ! "$real_time" =~ ^[0-9]*\.?[0-9]+$ ]] || awk -v r="$real_time" 'BEGIN { exit !(r > 10) }'; then
  echo "run: ZV_REAL_TIME is a number of seconds within 0...10, not \"$real_time\"" >&2
  exit 2
fi
[[ -n "${ZV_REAL_TIME:-}" ]] && device_options+=(--real-time "$real_time")
# Every screenshot has the contrast of its texts and icons checked against what is drawn behind
# them; one short of its ratio fails the step. ZV_CONTRAST=report lists them without failing, for
# work under way (CI never sets it).
contrast="${ZV_CONTRAST:-enforce}"
if [[ "$contrast" != enforce && "$contrast" != report ]]; then
  echo "run: ZV_CONTRAST is \"report\" or unset, not \"$contrast\"" >&2
  exit 2
fi
device_options+=(--contrast "$contrast")
# The advert reply is held back 2.5 s of the device's waiting (a faster clock shortens it).
advert_delay="$(awk -v r="$real_time" 'BEGIN { printf "%d", 2500 * r }')"

# ---- The tours and their directives ----------------------------------------------------------
scripts_dir=app/Resources/Scripts
# The light-style colours that the app's design fixes below their ratio, each down to the ratio it
# reaches. The kit's scripts take the same file: its player script walks the app's own player.
app_contrast=(--contrast-allowed "$scripts_dir/contrast-allowed.txt")
kit_contrast=("${app_contrast[@]}")
files=()
[[ -f "$scripts_dir/tour.txt" ]] && files+=("$scripts_dir/tour.txt")
for file in "$scripts_dir"/tour-*.txt; do
  [[ -f "$file" ]] && files+=("$file")
done
files+=(tools/kitdemo/kitdemo.txt tools/kitdemo/player.txt)

tours=()
declare -A T_FILE T_KIT T_SIGNED T_DARK T_CODES T_FAULTS T_PHOTOS T_AFTER T_STOPPED T_PASSES PASS_TOUR
problems=()

# tour-home.txt: home; tour.txt: tour; kitdemo.txt: kitdemo.
tour_name() {
  local name
  name="$(basename "$1" .txt)"
  [[ "$name" == tour-* ]] && name="${name#tour-}"
  echo "$name"
}

read_directives() {
  local file="$1" tour="$2" number=0 header=1 line
  local -a words
  while IFS= read -r line || [[ -n "$line" ]]; do
    number=$((number + 1))
    line="${line%$'\r'}"
    if [[ "$line" != \#* && -n "${line//[[:space:]]/}" ]]; then
      header=0
    fi
    [[ "$line" == '#!'* ]] || continue
    local where="$file:$number"
    if ((!header)); then
      problems+=("$where: a \"#!\" line belongs at the top, before the first step")
      continue
    fi
    read -r -a words <<<"${line#\#!}"
    local directive="${words[0]:-}" count=${#words[@]}
    case "$directive" in
      signed-in | dark | photos | server-stopped)
        ((count == 1)) || { problems+=("$where: \"$directive\" takes nothing after it"); continue; }
        case "$directive" in
          signed-in) T_SIGNED[$tour]=1 ;;
          dark) T_DARK[$tour]=1 ;;
          photos) T_PHOTOS[$tour]=1 ;;
          server-stopped) T_STOPPED[$tour]=1 ;;
        esac
        ;;
      codes)
        if ((count != 2)) || [[ ! "${words[1]}" =~ ^[0-9]{4,8}$ ]]; then
          problems+=("$where: usage: #! codes <4 to 8 digits>")
          continue
        fi
        T_CODES[$tour]="${words[1]}"
        ;;
      fault)
        if ((count != 2)) || [[ ! "${words[1]}" =~ ^[a-z0-9_/.-]+=(500|cut|not-json|bad-utf8|too-large)$ ]]; then
          problems+=("$where: usage: #! fault <API path>=500|cut|not-json|bad-utf8|too-large")
          continue
        fi
        T_FAULTS[$tour]+=" ${words[1]}"
        ;;
      after)
        ((count == 2)) || { problems+=("$where: usage: #! after <tour>"); continue; }
        T_AFTER[$tour]="${words[1]}"
        ;;
      pass)
        if ((count < 2)) || [[ ! "${words[1]}" =~ ^[a-z0-9][a-z0-9-]*$ ]]; then
          problems+=("$where: usage: #! pass <name: a-z 0-9 -> [dark] [signed-in]")
          continue
        fi
        local flag flags=""
        for flag in "${words[@]:2}"; do
          case "$flag" in
            dark | signed-in) flags+=" $flag" ;;
            *) problems+=("$where: a pass is \"dark\" or \"signed-in\", not \"$flag\"") ;;
          esac
        done
        if [[ -n "${PASS_TOUR[${words[1]}]:-}" ]]; then
          problems+=("$where: the pass name \"${words[1]}\" is taken by ${T_FILE[${PASS_TOUR[${words[1]}]}]}")
          continue
        fi
        PASS_TOUR[${words[1]}]="$tour"
        T_PASSES[$tour]+="${words[1]}$flags"$'\n'
        ;;
      *)
        problems+=("$where: unknown directive \"${directive}\" (signed-in, dark, codes, fault, photos, pass, after, server-stopped)")
        ;;
    esac
  done <"$file"
}

for file in "${files[@]}"; do
  tour="$(tour_name "$file")"
  tours+=("$tour")
  T_FILE[$tour]="$file"
  [[ "$file" == tools/kitdemo/* ]] && T_KIT[$tour]=1
  read_directives "$file" "$tour"
done
# The tour a name on the command line (or in an "after" line) stands for.
resolve() {
  local name="$1" tour
  name="$(basename "$name")"
  [[ "$name" == *.txt ]] && name="$(tour_name "$name")"
  if [[ -n "${T_FILE[$name]:-}" ]]; then
    echo "$name"
  elif [[ -n "${PASS_TOUR[$name]:-}" ]]; then
    echo "${PASS_TOUR[$name]}"
  else
    return 1
  fi
}

declare -A PREDECESSOR
for tour in "${tours[@]}"; do
  file="${T_FILE[$tour]}"
  if [[ -z "${T_PASSES[$tour]:-}" ]]; then
    if [[ -n "${PASS_TOUR[$tour]:-}" ]]; then
      problems+=("$file: its pass \"$tour\" is taken by ${T_FILE[${PASS_TOUR[$tour]}]}")
    else
      PASS_TOUR[$tour]="$tour"
      T_PASSES[$tour]="$tour"$'\n'
    fi
  fi
  setup="${T_SIGNED[$tour]:-}${T_DARK[$tour]:-}${T_PHOTOS[$tour]:-}${T_CODES[$tour]:-}${T_FAULTS[$tour]:-}"
  if [[ -n "${T_KIT[$tour]:-}" ]] && [[ -n "$setup${T_AFTER[$tour]:-}${T_STOPPED[$tour]:-}" ]]; then
    problems+=("$file: the kit demo sets up its own folder and server; only \"pass\" applies")
  fi
  if [[ -n "${T_AFTER[$tour]:-}" ]]; then
    after="${T_AFTER[$tour]}"
    if [[ -n "$setup" || "${T_PASSES[$tour]}" == *" signed-in"* ]]; then
      problems+=("$file: a tour that comes after another keeps that tour's folder and server; signed-in, dark, photos, codes and faults do not apply (a pass of it says \"dark\" to follow the dark pass)")
    fi
    if ! PREDECESSOR[$tour]="$(resolve "$after")"; then
      problems+=("$file: it comes after \"$after\", which is no tour or pass")
    elif [[ -n "${T_KIT[${PREDECESSOR[$tour]}]:-}" ]]; then
      problems+=("$file: it comes after \"$after\", a kit script, which leaves no app folder")
    fi
  fi
done

declare -A SELECTED
if (($#)); then
  for name in "$@"; do
    if tour="$(resolve "$name")"; then
      SELECTED[$tour]=1
    else
      problems+=("no tour or pass \"$name\" (tours: ${tours[*]})")
    fi
  done
else
  for tour in "${tours[@]}"; do SELECTED[$tour]=1; done
fi
if ((${#problems[@]})); then
  printf 'run: %s\n' "${problems[@]}" >&2
  exit 2
fi
# A tour brings those it comes after.
changed=1
while ((changed)); do
  changed=0
  for tour in "${!SELECTED[@]}"; do
    before="${PREDECESSOR[$tour]:-}"
    if [[ -n "$before" && -z "${SELECTED[$before]:-}" ]]; then
      SELECTED[$before]=1
      changed=1
    fi
  done
done

# The order: by file, each tour followed at once by those that come after it.
order=()
declare -A PLACED
place() {
  local tour="$1" next
  PLACED[$tour]=1
  order+=("$tour")
  for next in "${tours[@]}"; do
    if [[ -n "${SELECTED[$next]:-}" && -z "${PLACED[$next]:-}" && "${PREDECESSOR[$next]:-}" == "$tour" ]]; then
      place "$next"
    fi
  done
}
for tour in "${tours[@]}"; do
  if [[ -n "${SELECTED[$tour]:-}" && -z "${PREDECESSOR[$tour]:-}" ]]; then
    place "$tour"
  fi
done
if ((${#order[@]} != ${#SELECTED[@]})); then
  for tour in "${!SELECTED[@]}"; do
    [[ -n "${PLACED[$tour]:-}" ]] || problems+=("${T_FILE[$tour]}: its \"after\" lines go round in a circle")
  done
  printf 'run: %s\n' "${problems[@]}" >&2
  exit 2
fi

out="$root/out/tour-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"

# ---- Test servers ------------------------------------------------------------------------------
# "main" serves every tour without codes of its own: its replies carry `data` encrypted, the
# advert configuration's whole body encrypted and held back for 2.5 s, so that tours decrypt both
# kinds and a first picture can show the launch screen still waiting. A server with codes has the
# sample data only; a server with faults is "main" with those paths broken. Servers print their
# addresses once they listen and stop with this script.
# Pages (the captcha, the help page, the in-app browser) run in the web engine, which draws on an
# X display: without one, the run starts an X server of its own (Xvfb) and stops it at the end.
xvfb_pid=""
stop_display() {
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
if [[ -z "${DISPLAY:-}" ]]; then
  display_file="$(mktemp)"
  # Xvfb picks a free display and writes its number once it listens.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 200); do
    [[ -s "$display_file" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
  done
  display_number="$(tr -d '[:space:]' <"$display_file")"
  rm -f "$display_file"
  if [[ -z "$display_number" ]]; then
    echo "run: no display and Xvfb does not start (Debian's xvfb)" >&2
    stop_display
    exit 2
  fi
  export DISPLAY=":$display_number"
fi

declare -A SRV_PID SRV_HTTP SRV_HTTPS SRV_LOG SRV_CODES SRV_FAULTS SRV_STARTS
server_ids=()
stop_servers() {
  local id
  for id in "${server_ids[@]}"; do
    [[ -n "${SRV_PID[$id]:-}" ]] && kill "${SRV_PID[$id]}" 2>/dev/null || true
  done
  for id in "${server_ids[@]}"; do
    [[ -n "${SRV_PID[$id]:-}" ]] && wait "${SRV_PID[$id]}" 2>/dev/null || true
  done
}
trap 'stop_servers; stop_display' EXIT

# start_server <id> [<http port> <https port>]
start_server() {
  local id="$1" http_port="${2:-}" https_port="${3:-}"
  local -a args=(--keys "$keys" --data tools/testserver/data)
  local codes="${SRV_CODES[$id]:-}"
  if [[ -z "$codes" ]]; then
    args+=(--media build/media --encrypt data --encrypt-route v1/advert/config=body
      --delay-route "v1/advert/config=$advert_delay")
  fi
  local fault
  for fault in ${SRV_FAULTS[$id]:-}; do
    args+=(--fault-route "$fault")
  done
  [[ -n "$http_port" ]] && args+=(--http-port "$http_port" --https-port "$https_port")
  SRV_STARTS[$id]=$((${SRV_STARTS[$id]:-0} + 1))
  # Each lane's servers log apart: their addresses are read back from the log.
  local log="$out/testserver-$id${lane_tag:-}.log"
  ((SRV_STARTS[$id] > 1)) && log="$out/testserver-$id${lane_tag:-}-${SRV_STARTS[$id]}.log"
  SRV_LOG[$id]="$log"
  : >"$log"
  if [[ -n "$codes" ]]; then
    ZV_TESTSERVER_CODE="$codes" "$build/tools/testserver/zentavo-testserver" "${args[@]}" >"$log" 2>&1 &
  else
    "$build/tools/testserver/zentavo-testserver" "${args[@]}" >"$log" 2>&1 &
  fi
  SRV_PID[$id]=$!
  [[ " ${server_ids[*]} " == *" $id "* ]] || server_ids+=("$id")
  local _
  for _ in $(seq 300); do
    SRV_HTTPS[$id]="$(awk '$1 == "https" { print $2 }' "$log")"
    SRV_HTTP[$id]="$(awk '$1 == "http" { print $2 }' "$log")"
    [[ -n "${SRV_HTTPS[$id]}" ]] && return 0
    kill -0 "${SRV_PID[$id]}" 2>/dev/null || break
    sleep 0.1
  done
  echo "run: the test server \"$id\" did not start:" >&2
  cat "$log" >&2
  return 1
}

stop_server() {
  local id="$1"
  kill "${SRV_PID[$id]}" 2>/dev/null || true
  wait "${SRV_PID[$id]}" 2>/dev/null || true
  SRV_PID[$id]=""
}

# ---- Walking -----------------------------------------------------------------------------------
token="$(sed -n 's/.*"access_token": *"\([^"]*\)".*/\1/p' tools/testserver/data/api/account.json)"
failures=()
failed_passes=0

# The app folder of a fresh pass: stored defaults and the photo library as its lines ask.
prepare_home() {
  local home="$1" signed="$2" dark="$3" photos="$4"
  mkdir -p "$home/Library/Preferences"
  local -a values=()
  [[ -n "$dark" ]] && values+=('"StoreData.isDarkColor": {"bool": true}')
  [[ -n "$signed" ]] && values+=("\"StoreData.access_token\": {\"string\": \"$token\"}")
  if ((${#values[@]})); then
    local joined
    joined="$(printf '%s, ' "${values[@]}")"
    printf '{"format": "zentavo.defaults", "version": 1, "values": {%s}}\n' "${joined%, }" \
      >"$home/Library/Preferences/UserDefaults.json"
  fi
  if [[ -n "$photos" ]]; then
    mkdir -p "$home/PhotoLibrary"
    cp "$scripts_dir"/tour-photos/* "$home/PhotoLibrary/"
  fi
}

# The app folder and server of the last pass a chain walked, where a tour that comes after
# another goes on.
chain_home=""
chain_server=""

walk_pass() {
  local tour="$1" pass="$2" flags="$3"
  local file="${T_FILE[$tour]}" log="$out/$pass.log" status=0 started=$SECONDS
  local -a command
  if [[ -n "${T_KIT[$tour]:-}" ]]; then
    local -a style=()
    [[ "$flags" == *dark* ]] && style=(--dark)
    "$build/tools/kitdemo/zentavo-kitdemo" --keys "$keys" --script "$file" --out "$out/$pass" \
      "${style[@]}" "${device_options[@]}" "${kit_contrast[@]}" >"$log" 2>&1 || status=$?
  else
    local server home
    if [[ -n "${PREDECESSOR[$tour]:-}" ]]; then
      server="${chain_server:-main}"
      home="$chain_home"
      mkdir -p "$out/$pass"
      ln -sfn "$(realpath --relative-to="$out/$pass" "$home")" "$out/$pass/home"
    else
      server=main
      if [[ -n "${T_CODES[$tour]:-}" ]]; then
        server="codes-$tour"
      elif [[ -n "${T_FAULTS[$tour]:-}" ]]; then
        server="faults-$tour"
      fi
      home="$out/$pass/home"
      local signed="${T_SIGNED[$tour]:-}" dark="${T_DARK[$tour]:-}"
      [[ "$flags" == *signed-in* ]] && signed=1
      [[ "$flags" == *dark* ]] && dark=1
      # A dark pass meets servers of its own: the light pass may have changed the data.
      [[ "$flags" == *dark* ]] && server+="-dark"
      [[ -n "${T_CODES[$tour]:-}" ]] && SRV_CODES[$server]="${T_CODES[$tour]}"
      [[ -n "${T_FAULTS[$tour]:-}" ]] && SRV_FAULTS[$server]="${T_FAULTS[$tour]}"
      prepare_home "$home" "$signed" "$dark" "${T_PHOTOS[$tour]:-}"
    fi
    chain_server="$server"
    chain_home="$home"
    if [[ -z "${SRV_PID[$server]:-}" && -z "${SRV_HTTPS[$server]:-}" ]]; then
      start_server "$server" || return 1
    fi
    local https="${SRV_HTTPS[$server]}"
    [[ -n "${T_STOPPED[$tour]:-}" ]] && stop_server "$server"
    # The app finds the server through the server-address file; its first two calls go out
    # before that file is in, so the API address points there from the start as well.
    ZV_HOME="$home" ZV_INFO_DomainFileURL="$https/domain_v2.json" ZV_INFO_MainURL="$https/api/" \
      ZV_INFO_TrustedCAFile="$keys/ca.pem" ZV_INFO_APIPublicKey="$(cat "$keys/api_public.b64")" \
      "$build/app/zentavo" --script "$file" --out "$out/$pass" "${device_options[@]}" "${app_contrast[@]}" \
      >"$log" 2>&1 || status=$?
    if [[ -n "${T_STOPPED[$tour]:-}" ]]; then
      local http_port="${SRV_HTTP[$server]##*:}" https_port="${SRV_HTTPS[$server]##*:}"
      start_server "$server" "$http_port" "$https_port" || return 1
    fi
  fi

  # The device names each failed step "<script>:<line>: <message>".
  local steps
  steps="$(awk -v prefix="$file:" 'index($0, prefix) == 1 && $0 ~ /^[^:]*:[0-9]+: /' "$log")"
  local -a found=()
  [[ -n "$steps" ]] && mapfile -t found <<<"$steps"
  if ((status != 0 && ${#found[@]} == 0)); then
    found=("$file: the program ended with status $status (see $log):")
    while IFS= read -r line; do found+=("    $line"); done < <(tail -n 15 "$log")
  fi
  local took=$((SECONDS - started))
  local notes
  notes="$(grep -c "^contrast note $file:" "$log" || true)"
  if ((notes > 0)); then
    echo "run: $pass: $notes contrast note(s), reported only (ZV_CONTRAST=report); see $log" >&2
    grep "^contrast note $file:" "$log" | sed "s|^contrast note |$pass: |" >>"$out/contrast-notes.txt"
  fi
  if ((${#found[@]})); then
    failed_passes=$((failed_passes + 1))
    echo "run: $pass: FAILED (${took} s)" >&2
    local line
    for line in "${found[@]}"; do
      echo "run:   $pass: $line" >&2
      failures+=("$pass: $line")
    done
  else
    echo "run: $pass: ok (${took} s)" >&2
  fi
}

# Tours walk in lanes side by side, each lane with test servers of its own; a tour and those that
# come after it stay in one lane, in order. The programs mostly wait for replies and the clock, so
# lanes cost little processor time. ZV_TOUR_LANES sets their number (default: the processors, at
# most 4).
lanes="${ZV_TOUR_LANES:-$(nproc)}"
if [[ ! "$lanes" =~ ^[1-9][0-9]*$ ]]; then
  echo "run: ZV_TOUR_LANES is a whole number of lanes, not \"$lanes\"" >&2
  exit 2
fi
[[ -z "${ZV_TOUR_LANES:-}" ]] && ((lanes > 4)) && lanes=4
# A chain is a first tour's passes of one style, each followed by the passes of that style of the
# tours that come after it: one line "<tour> <pass> [flags]" per pass. Light and dark chains walk
# apart, in lanes of their own when there are lanes enough.
chains=()
declare -A CHAIN_OF ROOT
for tour in "${order[@]}"; do
  ROOT[$tour]="$tour"
  [[ -n "${PREDECESSOR[$tour]:-}" ]] && ROOT[$tour]="${ROOT[${PREDECESSOR[$tour]}]}"
  while IFS=' ' read -r pass flags; do
    [[ -n "$pass" ]] || continue
    style=light
    [[ "${flags:-}" == *dark* ]] && style=dark
    key="${ROOT[$tour]} $style"
    if [[ -z "${CHAIN_OF[$key]:-}" ]]; then
      if [[ -n "${PREDECESSOR[$tour]:-}" ]]; then
        echo "run: ${T_FILE[$tour]}: its $style pass \"$pass\" follows no $style pass of \"${T_AFTER[$tour]}\"" >&2
        exit 2
      fi
      chains+=("")
      CHAIN_OF[$key]=$((${#chains[@]} - 1))
    fi
    chains[${CHAIN_OF[$key]}]+="$tour $pass${flags:+ $flags}"$'\n'
  done <<<"${T_PASSES[$tour]}"
done
((lanes > ${#chains[@]})) && lanes=${#chains[@]}

# walk_chain <chain>: every pass of the chain, in order.
walk_chain() {
  local tour pass flags
  chain_home=""
  chain_server=""
  while IFS=' ' read -r tour pass flags; do
    [[ -n "$pass" ]] || continue
    walk_pass "$tour" "$pass" "${flags:-}" || {
      failures+=("$pass: ${T_FILE[$tour]}: its test server did not start")
      failed_passes=$((failed_passes + 1))
    }
  done <<<"$1"
}

# A lane takes the next chain not yet taken (a counter under a lock) until none is left, and leaves
# its failures in a file of its own.
next_file="$out/.next-chain"
echo 0 >"$next_file"
lane_tag=""
lane() {
  local id="$1"
  lane_tag="-lane$id"
  trap stop_servers EXIT
  while :; do
    local index
    index="$(flock "$next_file" sh -c 'n=$(cat "$1"); echo $((n + 1)) >"$1"; echo "$n"' _ "$next_file")"
    ((index < ${#chains[@]})) || break
    walk_chain "${chains[$index]}"
  done
  : >"$out/.lane-$id.failures"
  if ((${#failures[@]})); then
    printf '%s\n' "${failures[@]}" >"$out/.lane-$id.failures"
  fi
  echo "$failed_passes" >"$out/.lane-$id.failed"
}

walk_started=$SECONDS
lane_pids=()
for ((id = 0; id < lanes; id++)); do
  lane "$id" &
  lane_pids+=($!)
done
for pid in "${lane_pids[@]}"; do
  wait "$pid" || true
done
for ((id = 0; id < lanes; id++)); do
  if [[ ! -f "$out/.lane-$id.failed" ]]; then
    failures+=("lane $id: ended before its report (see the passes' logs)")
    failed_passes=$((failed_passes + 1))
    continue
  fi
  failed_passes=$((failed_passes + $(cat "$out/.lane-$id.failed")))
  if [[ -s "$out/.lane-$id.failures" ]]; then
    mapfile -t -O "${#failures[@]}" failures <"$out/.lane-$id.failures"
  fi
  rm -f "$out/.lane-$id.failed" "$out/.lane-$id.failures"
done
rm -f "$next_file"

status=0
if [[ -s "$out/contrast-notes.txt" ]]; then
  echo "run: $(wc -l <"$out/contrast-notes.txt") text(s) or icon(s) short of their contrast, reported only:" \
    "$out/contrast-notes.txt" >&2
fi
if ((${#failures[@]})); then
  status=1
  echo "run: $failed_passes pass(es) failed, in $((SECONDS - walk_started)) s:" >&2
  printf 'run:   %s\n' "${failures[@]}" >&2
else
  echo "run: every step of every tour walked, in $((SECONDS - walk_started)) s" >&2
fi
echo "$out"
exit "$status"
