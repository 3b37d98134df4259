#!/usr/bin/env bash
# Plays the real game under a virtual display as a player would, two computer
# players round after round, and prints the game's memory from
# /proc/PID/status: the peak (VmHWM) and the resident set (VmRSS) each time a
# round's results window opens, and at the chosen rounds the medians over
# several runs.
#
#   tools/memory.sh [GAME] [ROUNDS] [RUNS]
#
# GAME defaults to build/ordnix, ROUNDS to "4 30" (the rounds to report, the
# last one also ends the run), RUNS to 3. A player has a sound server: where
# pulseaudio is installed the script starts its own with a null sink (nothing
# is heard), so the game loads its sound back end as on a desktop;
# MEMORY_SOUND=0 leaves it out. MEMORY_MAPS=DIR keeps /proc/PID/smaps and
# smaps_rollup of each reported round, for a map of the memory: at the
# highest resident set seen during its battle (looked at twice a second;
# runN-roundR-battle.*) and at its results (runN-roundR.*).
# Each run has a display and a sound server of its own, so MEMORY_PARALLEL=1
# plays the runs side by side (memory does not depend on the load; a round
# takes some 17 s of real time either way). Needs Xvfb and xdotool.
#
# Prints a line per round of each run ("run 1 round 4 hwm 41.50 rss 40.10
# MiB") and one summary line per reported round with the medians.
set -euo pipefail
cd "$(dirname "$0")/.."

game_path=${1:-build/ordnix}
rounds=${2:-4 30}
runs=${3:-3}
read -r -a report <<<"$rounds"
[[ -x "$game_path" ]] || { echo "no game at $game_path (make build)" >&2; exit 1; }
last=0
for r in "${report[@]}"; do ((r > last)) && last=$r; done

mib() { awk -v k="$1" 'BEGIN { printf "%.2f", k / 1024 }'; }
median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# --- the runs, then the medians ----------------------------------------------
if [[ -z ${MEMORY_RUN:-} ]]; then
    out=$(mktemp -d /tmp/ordnix-memory-runs.XXXXXX)
    trap 'rm -rf "$out"' EXIT
    pids=()
    for run in $(seq 1 "$runs"); do
        if [[ ${MEMORY_PARALLEL:-0} == 1 ]]; then
            MEMORY_RUN=$run "$0" "$game_path" "$rounds" >"$out/$run" 2>&1 &
            pids+=($!)
        else
            MEMORY_RUN=$run "$0" "$game_path" "$rounds" | tee "$out/$run"
        fi
    done
    status=0
    for p in "${pids[@]}"; do wait "$p" || status=1; done
    [[ ${MEMORY_PARALLEL:-0} == 1 ]] && cat "$out"/*
    ((status == 0)) || exit 1
    for want in "${report[@]}"; do
        hwm=$(cat "$out"/* | awk -v r="$want" '$1 == "run" && $4 == r { printf " %s", $11 }')
        rss=$(cat "$out"/* | awk -v r="$want" '$1 == "run" && $4 == r { printf " %s", $12 }')
        sound=$(cat "$out"/* | awk -F': ' '/^sound: / { print $2; exit }')
        printf 'memory after round %s, median of %s runs: VmHWM %s MiB  VmRSS %s MiB  (VmHWM kB:%s; sound: %s)\n' \
            "$want" "$runs" "$(mib "$(median <<<"$hwm")")" "$(mib "$(median <<<"$rss")")" "$hwm" "$sound"
    done
    exit 0
fi

# --- one run -------------------------------------------------------------------
run=$MEMORY_RUN
xpid=""
pulse=""
game=""
work=$(mktemp -d /tmp/ordnix-memory.XXXXXX)
cleanup() {
    if [[ -n "$game" ]]; then kill "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true; fi
    if [[ -n "$pulse" ]]; then kill "$pulse" 2>/dev/null || true; wait "$pulse" 2>/dev/null || true; fi
    if [[ -n "$xpid" ]]; then kill "$xpid" 2>/dev/null || true; wait "$xpid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# Our own X server; it picks a free display number and writes it to fd 3
# once it listens.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xpid=$!
for _ in $(seq 1 100); do
    [[ -s $work/display ]] && break
    kill -0 "$xpid" 2>/dev/null || break
    sleep 0.1
done
[[ -s $work/display ]] || { echo "could not start a virtual display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# Our own sound server in a runtime folder of its own, so that the game
# finds it and no other.
if [[ ${MEMORY_SOUND:-1} != 0 ]] && command -v pulseaudio >/dev/null; then
    mkdir -m 700 "$work/runtime"
    XDG_RUNTIME_DIR="$work/runtime" HOME="$work/runtime" pulseaudio --daemonize=no \
        --exit-idle-time=-1 -n --load=module-null-sink \
        --load="module-native-protocol-unix auth-anonymous=1" >"$work/pulse.log" 2>&1 &
    pulse=$!
    for _ in $(seq 50); do [[ -S $work/runtime/pulse/native ]] && break; sleep 0.1; done
    [[ -S $work/runtime/pulse/native ]] || { cat "$work/pulse.log" >&2; exit 1; }
    export XDG_RUNTIME_DIR="$work/runtime"
    echo "sound: a null sink"
else
    echo "sound: none"
fi

# shellcheck source=tools/xwindows.sh
source tools/xwindows.sh # the scripts run from the repository root

# kB of a field of /proc/PID/status.
status() { awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status"; }

# The results window that opens after the round, if it is there yet (a new
# window each round: the ones in $1 are the earlier rounds').
newresults() {
    local before=$1 id
    for id in $(xdotool search --name '^Quarvel Ordnix$' 2>/dev/null); do
        [[ " $before " == *" $id "* ]] && continue
        if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q 'Geometry: 414x'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# The same, once it is there.
resultswindow() {
    for _ in $(seq 1 1800); do
        newresults "$1" && return 0
        kill -0 "$game" 2>/dev/null || break
        sleep 0.2
    done
    echo "no results window" >&2
    return 1
}

"$game_path" >"$work/game.log" 2>&1 &
game=$!
setup=$(findwindow "Player Setup:" 556) || { cat "$work/game.log" >&2; exit 1; }
sleep 0.5
clickat "$setup" 250 64  # AI, player 1
clickat "$setup" 250 112 # AI, player 2
clickat "$setup" 52 244  # Start
keepmaps() {
    mkdir -p "$MEMORY_MAPS"
    cp "/proc/$game/smaps" "$MEMORY_MAPS/run$run-round$1.smaps"
    cp "/proc/$game/smaps_rollup" "$MEMORY_MAPS/run$run-round$1.rollup"
}
# Until the round's results window opens: the maps at the battle's highest
# resident set.
battlemaps() {
    local best=0 now
    while ! newresults "$seen" >/dev/null; do
        now=$(status "$game" VmRSS) || return 0
        if ((now > best)); then
            best=$now
            keepmaps "$1-battle"
        fi
        sleep 0.5
    done
}
seen=""
for round in $(seq 1 "$last"); do
    if [[ -n ${MEMORY_MAPS:-} && " ${report[*]} " == *" $round "* ]]; then
        battlemaps "$round"
    fi
    results=$(resultswindow "$seen") || { cat "$work/game.log" >&2; exit 1; }
    seen+=" $results"
    sleep 0.5 # the battlefield window is gone by now
    h=$(status "$game" VmHWM)
    r=$(status "$game" VmRSS)
    # run N round R hwm MiB rss MiB MiB kB: hwm rss
    echo "run $run round $round hwm $(mib "$h") rss $(mib "$r") MiB kB: $h $r"
    if [[ -n ${MEMORY_MAPS:-} && " ${report[*]} " == *" $round "* ]]; then
        keepmaps "$round"
    fi
    ((round == last)) && break
    clickat "$results" 52 228 # Next: the shop
    clickat "$results" 52 228 # Next: the next round
done
