#!/usr/bin/env bash
# Plays the real game under a virtual display as a player would and prints
# the CPU that the game and the X server use over a stretch of each state:
#   idle     aiming, nothing pressed
#   arrow    short presses of an arrow, Right and Left in turn for half a
#            second each: shorter than the key-repeat delay, so each press
#            reaches the game once
#   held     an arrow held as a player holds it to aim, Right and Left in
#            turn for 2.5 s each: key repeat runs, some 25 repeated presses
#            a second reach the game
#   rings    short shots beside the tanks: mostly explosion rings
#   flight   high shots (angle about 90, full power) fired one after another
#   results  the results window after the round
# Figures are percent of one core, from /proc/PID/stat (utime + stime), and
# at the end the game's peak memory (VmHWM) after the round it played.
#
#   tools/cpu.sh [GAME] [SECONDS]     GAME defaults to build/ordnix, SECONDS to 20
#
# Under X (the default) the game runs on a virtual display of its own: needs
# Xvfb, xdotool and imagemagick (import, to see whose turn it is), and the X
# server's CPU is printed beside the game's. With CPU_PLATFORM=wayland it
# runs natively on Wayland instead, under a headless sway of its own as the
# Wayland check runs it (tools/sway.sh; run as root, the game plays as the
# user ordnixwl): needs sway, swaymsg, jq, wtype, grim and Qt's Wayland
# plugin, and the compositor's CPU is printed in place of the X server's.
# Prints one line per state and one summary line.
# With CPU_SHOTS=DIR it also photographs the screen between the states
# (import or grim), to check that the script reached each of them.
# With CPU_PERF=DIR it records the game and the display server with perf
# during the held state (DIR/game.data, DIR/x.data or DIR/compositor.data;
# read with perf report -i), to see where that time goes.
set -euo pipefail
cd "$(dirname "$0")/.."

game_path=${1:-build/ordnix}
seconds=${2:-20}
platform=${CPU_PLATFORM:-x}
[[ -x "$game_path" ]] || { echo "no game at $game_path (make build)" >&2; exit 1; }
[[ $platform == x || $platform == wayland ]] ||
    { echo "CPU_PLATFORM is x or wayland, not $platform" >&2; exit 1; }

server=""  # the X server or the compositor: its CPU is counted too
game=""
tmp=""     # the Wayland tools' folder
sway=""
stopfile=$(mktemp -u /tmp/ordnix-cpu.XXXXXX)
displayfile=""
cleanup() {
    if [[ -n "$game" ]]; then kill "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true; fi
    if [[ -n "$server" ]]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -f "$stopfile" "$displayfile" "${gamelog:-}"
    if [[ -n $tmp ]]; then rm -rf "$tmp"; fi
}
trap cleanup EXIT

ticks=$(getconf CLK_TCK)
cputicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
gamelog=$(mktemp /tmp/ordnix-cpu-game.XXXXXX)

if [[ $platform == x ]]; then
    servername="X server"
    serverfile=x
    summaryname=", game/X"
    # Our own X server, so that its process is known. It picks a free display
    # number itself and writes it to fd 3 once it listens (no race with others
    # starting servers at the same time).
    displayfile=$(mktemp /tmp/ordnix-cpu-display.XXXXXX)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 1 100); do
        [[ -s $displayfile ]] && break
        kill -0 "$server" 2>/dev/null || break
        sleep 0.1
    done
    [[ -s $displayfile ]] || { echo "could not start a virtual display" >&2; exit 1; }
    export DISPLAY=":$(head -n 1 "$displayfile")"

    # shellcheck source=tools/xwindows.sh
    source tools/xwindows.sh # the scripts run from the repository root

    holdkey() {
        xdotool keydown "$1"
        sleep "$2"
        xdotool keyup "$1"
    }
    letgo() { xdotool keyup Left Right Return 2>/dev/null || true; }
    photo() { import -window root "$1"; }
    # One "r g b" line per pixel of a strip of the field, WIDTHxHEIGHT+X+Y in
    # the battlefield window.
    strip() { import -window "$field" -crop "$1" txt:- 2>/dev/null | awk -F'[(,)]' 'NR > 1 { print $3, $4, $5 }'; }

    "$game_path" >"$gamelog" 2>&1 &
    game=$!
    setup=$(findwindow "Player Setup:" 556) || { cat "$gamelog" >&2; exit 1; }
    sleep 0.5
    clickat "$setup" 52 244 # Start: two human players
    field=$(findwindow "Quarvel Ordnix" 620)
    sleep 1
    clickat "$field" 300 100 # the keyboard focus to the battlefield
    xdotool windowfocus --sync "$field" 2>/dev/null || true
    sleep 1
else
    servername="compositor"
    serverfile=compositor
    summaryname=" on Wayland, game/compositor"
    for tool in sway swaymsg wtype grim jq; do
        command -v "$tool" >/dev/null || { echo "no $tool (apt-get install sway wtype grim jq qt6-wayland)" >&2; exit 1; }
    done
    # shellcheck source=tools/sway.sh
    source tools/sway.sh # the scripts run from the repository root
    swaysetup "$game_path" || { echo "$swayerror" >&2; exit 1; }
    startcompositor "$tmp/main" >&2 || exit 1
    server=$sway

    # A key held for $2 seconds. Each wtype is a new virtual keyboard, which
    # the game must have seen before its first key comes: a tenth of a second.
    holdkey() { wl wtype -s 100 -P "$1" -s "$(awk -v s="$2" 'BEGIN { print int(s * 1000) }')" -p "$1"; }
    letgo() { :; } # wtype lets go of its keys itself
    photo() { wl grim - >"$1"; }
    strip() {
        local size=${1%%+*} at=${1#*+}
        local w=${size%x*} h=${size#*x} x=${at%+*} y=${at#*+}
        wl grim -t ppm -g "$((fieldleft + x)),$((fieldtop + y)) ${w}x$h" - |
            tail -c $((w * h * 3)) | od -An -v -tu1 -w3
    }

    "${asuser[@]}" "${session[@]}" QT_QPA_PLATFORM=wayland "$tmp/game/ordnix" >"$gamelog" 2>&1 &
    game=$!
    findwindow "Player Setup:" 556 >/dev/null || { cat "$gamelog" >&2; exit 1; }
    sleep 0.5
    wl wtype -s 800 -k Tab -k Tab -k Tab -k Tab -k Tab -k space # Start: two human players
    # The battlefield takes the keyboard focus as it opens.
    read -r fieldleft fieldtop _ <<<"$(findwindow "Quarvel Ordnix" 620)" ||
        { echo "no battlefield after Start" >&2; exit 1; }
    sleep 2
fi

# Whose turn it is, 1 or 2: the marker arrow (the only reddish pixels on the
# field) hovers over that player's tank at column 50 or 550.
current() {
    local x n
    for x in 52 552; do
        n=$(strip "33x360+$x+48" | awk '$1 > 60 { n++ } END { print n + 0 }')
        if ((n > 50)); then
            [[ $x == 52 ]] && echo 1 || echo 2
            return 0
        fi
    done
    echo "cannot see whose turn it is" >&2
    return 1
}

# Aims the current player from angle 0 (Left until it stops) to about
# 32 degrees a second of Right, at full power.
aimhigh() {
    holdkey Left 6.0
    holdkey Right "$1"
    holdkey Up 3.5
}

# A shot: Enter for a tenth of a second, then the time the shot takes.
fire() {
    holdkey Return 0.1
    sleep "$1"
}

# Runs "$@" in the background while the CPU of the game and the server is
# counted for $seconds; prints "STATE game% x% load". A driver that ends by
# itself (a fixed number of shots) is waited for; an endless one is told to
# stop through $stopfile and ends after its current step.
results=()
measure() {
    local state=$1
    shift
    rm -f "$stopfile"
    "$@" &
    local driver=$!
    local g0 x0 g1 x1
    g0=$(cputicks "$game")
    x0=$(cputicks "$server")
    sleep "$seconds"
    g1=$(cputicks "$game")
    x1=$(cputicks "$server")
    touch "$stopfile"
    wait "$driver" 2>/dev/null || true
    letgo
    local load
    load=$(cut -d' ' -f1 /proc/loadavg)
    local line
    line=$(awk -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v t="$ticks" -v s="$seconds" \
        -v n="$state" -v l="$load" \
        'BEGIN { printf "%s %.2f %.2f %s", n, 100 * g / t / s, 100 * x / t / s, l }')
    results+=("$line")
    echo "$line" | awk -v who="$servername" \
        '{ printf "%-8s game %5.2f %%   %s %5.2f %%   load %s\n", $1, $2, who, $3, $4 }'
}

snap() {
    if [[ -n "${CPU_SHOTS:-}" ]]; then
        mkdir -p "$CPU_SHOTS"
        photo "$CPU_SHOTS/$1.png"
    fi
}

idle() {
    while [[ ! -e $stopfile ]]; do sleep 0.2; done
}
# Right first, then Left for as long: the barrel comes back to where it was.
arrows() {
    local hold=$1
    while [[ ! -e $stopfile ]]; do
        holdkey Right "$hold"
        holdkey Left "$hold"
    done
}
# A fixed number of shots, one every so many seconds: each tap comes while
# the player aims, so whose turn it is afterwards is known.
shots() {
    local count=$1 period=$2
    for _ in $(seq 1 "$count"); do
        fire "$period"
    done
}

# The first player, chosen at random, aims; angle 30, power 50 to start with.
snap 1-aiming
measure idle idle
measure arrow arrows 0.5
snap 2-arrow
sleep 1
# perf, when asked for, samples the held state only: it costs CPU of its own.
perfpids=()
if [[ -n "${CPU_PERF:-}" ]]; then
    mkdir -p "$CPU_PERF"
    perf record -F 4000 --call-graph dwarf,16384 -p "$game" -o "$CPU_PERF/game.data" -- sleep "$seconds" \
        >/dev/null 2>&1 &
    perfpids+=($!)
    perf record -F 4000 --call-graph dwarf,16384 -p "$server" -o "$CPU_PERF/$serverfile.data" \
        -- sleep "$seconds" \
        >/dev/null 2>&1 &
    perfpids+=($!)
fi
measure held arrows 2.5
if ((${#perfpids[@]})); then wait "${perfpids[@]}" || true; fi
snap 3-held
sleep 1

# Short shots: power about 20 at angle about 30 lands some 25 pixels left of
# each tank, clear of it; the flight is short, the rings follow at once.
for _ in 1 2; do
    holdkey Down 1.0
    fire 1.5
done
snap 4-short-aim
measure rings shots 24 0.7
sleep 2

# High shots: player 1 (left) to about 97 degrees, player 2 (right) to about
# 83, both at full power; each shell flies some two seconds and comes down
# mid-field, clear of both tanks.
first=$(current)
for who in "$first" $((3 - first)); do
    if ((who == 1)); then aimhigh 3.0; else aimhigh 2.6; fi
    fire 3.5
done
snap 5-high-aim
measure flight shots 7 2.7
sleep 2
snap 6-after-flights

# The round ends: each player in turn drops a shell on its own tank (power 0:
# at these angles the muzzle is over the tank), and the third such shell
# destroys the first of them.
holdkey Down 3.5
fire 2.0
holdkey Down 3.5
fire 2.0
fire 2.0
findwindow "Quarvel Ordnix" 414 60 >/dev/null
sleep 1
snap 7-results
measure results idle

peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$game/status")
echo "peak memory of the game after the round: VmHWM $peak MiB"

printf 'cpu %ss each, %% of one core%s:' "$seconds" "$summaryname"
for r in "${results[@]}"; do
    set -- $r
    printf ' %s %s/%s' "$1" "$2" "$3"
done
printf ' | VmHWM %s MiB | load %s\n' "$peak" "$(cut -d' ' -f1-3 /proc/loadavg)"
