#!/usr/bin/env bash
# Plays the built game natively on Wayland, under headless sway compositors of
# its own, as a player would with the keyboard alone, and checks:
#   windows      the three windows at their client sizes
#   arrow        a held Right turns the barrel about 32 degrees a second
#   enter        an instant Enter tap fires exactly one shot
#   quit-no      Quit, No: the arrows aim again
#   quit-yes     Quit, Yes: the program ends with status 0
#   cancel       Cancel on the setup: the program ends with status 0
#   rounds       two computer players play a round to the results, through
#                the shop, into the next round
#   closes       each window (setup, battlefield, results, shop page) closed
#                by the compositor, each run ending with status 0 within 2 s;
#                the results and the shop come after a round of two computer
#                players
# Prints one summary line, "wayland-check: PASS ..." or
# "wayland-check: FAIL at STEP: ...", and exits non-zero on failure.
#
#   tools/wayland-check.sh [GAME]        GAME defaults to build/ordnix
#   WAYLAND_CLOSES=N                     closes per window (default 10)
#   WAYLAND_WORKERS=N                    compositors playing the closes side
#                                        by side (default 4)
#   WAYLAND_STEPS="play rounds closes"   only these groups of steps
#   WAYLAND_WINDOWS="setup battlefield results shop"   only these closes
#   WAYLAND_BT=DIR                       backtraces of hung runs into DIR (gdb)
#   WAYLAND_SHOT=FILE                    the screen at a failure, as PNG
#
# Needs sway, wtype, grim, jq and Qt's Wayland plugin (qt6-wayland). sway
# refuses to run as root: run as root, the script runs the compositors and the
# game as the system user ordnixwl, which it creates when missing; run as
# another user, as that user. Takes about five minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

game_src=${1:-build/ordnix}
closes=${WAYLAND_CLOSES:-10}
workers=${WAYLAND_WORKERS:-4}
steps=${WAYLAND_STEPS:-play rounds closes}
closewindows=${WAYLAND_WINDOWS:-setup battlefield results shop}
btdir=${WAYLAND_BT:-}
failshot=${WAYLAND_SHOT:-}
fieldx=8 # the battlefield picture inside its window
fieldy=48
fieldw=600
fieldh=360
tanks="50 550" # the two tanks' left columns on the field
roundlimit=180 # seconds for a round of two computer players

t0=$EPOCHREALTIME
step=start
figures=()
tmp=""
sway=""
game=""
session=()
workerpids=()

elapsed() { awk -v a="$1" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }'; }
reported=""
fail() {
    trap - ERR
    if [[ -n $failshot && ${#session[@]} -gt 0 ]]; then wl grim - >"$failshot" 2>/dev/null || true; fi
    echo "wayland-check: FAIL at $step: $* | ${figures[*]} total $(elapsed "$t0")s"
    reported=1
    exit 1
}

# Ends the game and the compositor of this process (the main one or a worker).
stopsession() {
    if [[ -n $game ]]; then kill -KILL "$game" 2>/dev/null || true; fi
    if [[ -n $sway ]]; then kill "$sway" 2>/dev/null || true; fi
    wait 2>/dev/null || true
    game="" sway=""
}
cleanup() {
    local rc=$?
    trap - EXIT INT TERM ERR
    if ((rc != 0)) && [[ -z $reported ]]; then
        echo "wayland-check: FAIL at $step: ended with status $rc | ${figures[*]}"
    fi
    for pid in "${workerpids[@]}"; do kill "$pid" 2>/dev/null || true; done
    stopsession
    if [[ -n $tmp ]]; then rm -rf "$tmp"; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'fail "unexpected failure at line $LINENO"' ERR

for tool in sway swaymsg wtype grim jq; do
    command -v "$tool" >/dev/null || fail "no $tool (apt-get install sway wtype grim jq qt6-wayland)"
done
[[ -x $game_src ]] || fail "no game at $game_src (make build)"

# --- compositors ---------------------------------------------------------------------

# shellcheck source=tools/sway.sh
source tools/sway.sh # the scripts run from the repository root
swaysetup "$game_src" || fail "$swayerror"
: >"$tmp/runs"
: >"$tmp/restarts"
: >"$tmp/game.err"

# --- the game and its windows -----------------------------------------------------

# Runs are counted in a file, so that the workers' runs count too.
startgame() {
    echo >>"$tmp/runs"
    "${asuser[@]}" "${session[@]}" QT_QPA_PLATFORM=wayland "$tmp/game/ordnix" \
        >>"$tmp/game.out" 2>>"$tmp/game.err" &
    game=$!
}

# Waits up to $1 seconds for the game to end: sets took (seconds) and status,
# or took=hang when it is still running.
took=""
status=""
awaitend() {
    local start=$EPOCHREALTIME sleeper which=""
    sleep "$1" &
    sleeper=$!
    status=0
    wait -n -p which "$game" "$sleeper" || status=$?
    if [[ $which == "$game" ]]; then
        took=$(elapsed "$start")
        kill "$sleeper" 2>/dev/null || true
        wait "$sleeper" 2>/dev/null || true
        game=""
    else
        took=hang
    fi
}

# Ends a game that is still running, with its backtrace first if asked for.
stopgame() {
    [[ -n $game ]] || return 0
    if [[ -n $btdir ]] && command -v gdb >/dev/null; then
        mkdir -p "$btdir"
        gdb -p "$game" -batch -ex 'thread apply all bt' >"$btdir/hang-$game.txt" 2>&1 || true
    fi
    kill -KILL "$game" 2>/dev/null || true
    wait "$game" 2>/dev/null || true
    game=""
}

# Keys, with the pause a new virtual keyboard needs before its first key.
keys() { wl wtype -s 800 "$@"; }

# Two humans: five Tabs from the player count to Start.
starthumans() {
    findwindow "Player Setup:" 556 >/dev/null || return 1
    keys -k Tab -k Tab -k Tab -k Tab -k Tab -k space
}
# Two computer players: both frames to AI (the arrows choose the option),
# then Start.
startcomputers() {
    findwindow "Player Setup:" 556 >/dev/null || return 1
    keys -k Tab -k Tab -k Right -k Tab -k Right -k Tab -k Tab -k space
}

# --- what the battlefield shows -----------------------------------------------------

field="" # "x y" of the battlefield picture on the screen
fieldshot() { wl grim -t ppm -g "${field% *},${field#* } ${fieldw}x${fieldh}" - >"$1"; }
# One "r g b" line per pixel of a picture from fieldshot.
pixels() { tail -c $((fieldw * fieldh * 3)) "$1" | od -An -v -tu1 -w3; }

# The barrel's angle of the tank that turned between two field pictures:
# prints "tank before after" (tank 1 or 2, angles in degrees; 0 points left,
# 90 up, 180 right), or nothing when no barrel turned. The barrel is a black
# wedge from its pivot, two pixels above the middle of the body's bottom, to
# its far end 15 pixels across and 20 up at full length; the pixels of each
# picture's wedge that the other picture lacks, 6 to 16 pixels out (clear of
# the body and the marker above it), give its direction.
turned() {
    paste <(pixels "$1") <(pixels "$2") | awk -v W="$fieldw" -v tanks="$tanks" '
        function sky(r, g, b) { return r == 0 && g == 0 && b == 255 }
        function ground(r, g, b) { return r == 0 && g == 192 && b == 0 }
        function black(r, g, b) { return r + g + b == 0 }
        BEGIN { n = split(tanks, tx, " "); for (k = 1; k <= n; k++) bottom[k] = -1 }
        {
            i = NR - 1; x = i % W; y = int(i / W)
            # the lowest pixel of the body in its middle column: its fill colour
            for (k = 1; k <= n; k++)
                if (x == tx[k] + 10 && !sky($1, $2, $3) && !ground($1, $2, $3) && !black($1, $2, $3))
                    bottom[k] = y
            if ($1 != $4 || $2 != $5 || $3 != $6) {
                m++; cx[m] = x; cy[m] = y; was[m] = black($1, $2, $3); now[m] = black($4, $5, $6)
            }
        }
        function angle(sx, sy, c, px, py) {
            return atan2(-(sy / c - py) / 20, -(sx / c - px) / 15) * 45 / atan2(1, 1)
        }
        END {
            for (k = 1; k <= n; k++) {
                if (bottom[k] < 0) continue
                px = tx[k] + 10; py = bottom[k] - 1
                bx = by = bc = ax = ay = ac = 0
                for (j = 1; j <= m; j++) {
                    d = sqrt((cx[j] - px) ^ 2 + (cy[j] - py) ^ 2)
                    if (d < 6 || d > 16) continue
                    if (was[j]) { bx += cx[j]; by += cy[j]; bc++ }
                    if (now[j]) { ax += cx[j]; ay += cy[j]; ac++ }
                }
                if (bc >= 4 && ac >= 4) {
                    printf "%d %.1f %.1f\n", k, angle(bx, by, bc, px, py), angle(ax, ay, ac, px, py)
                    exit
                }
            }
        }'
}

# Which tank the marker arrow hovers over, 1 or 2, or 0 for none (a shell in
# flight): the arrow is the only pale blue to purple on the field.
marker() {
    local shot=$tmp/marker.ppm
    fieldshot "$shot"
    pixels "$shot" | awk -v W="$fieldw" -v tanks="$tanks" '
        BEGIN { n = split(tanks, tx, " ") }
        $1 >= 40 && $3 >= 150 {
            x = (NR - 1) % W
            for (k = 1; k <= n; k++) if (x >= tx[k] - 6 && x < tx[k] + 26) count[k]++
        }
        END { for (k = 1; k <= n; k++) if (count[k] > 50) { print k; exit } print 0 }'
}

# Quit on the battlefield: Tab, Tab from the battlefield reaches the button
# past the weapon list; the question is a window of its own.
quitquestion() {
    keys -k Tab -k Tab -k space
    findwindow "Ordnix" 0 5 >/dev/null
}

# --- closes by the compositor ---------------------------------------------------------

# One run: the game to window $1, closed by the compositor as soon as it shows.
# Sets result to "WINDOW ok SECONDS", "WINDOW hang", "WINDOW status N" or
# "WINDOW missed" (the run did not reach the window).
result=""
closeonce() {
    local which=$1 title="Quarvel Ordnix"
    startgame
    case $which in
    setup)
        title="Player Setup:"
        findwindow "$title" 556 >/dev/null
        ;;
    battlefield)
        starthumans && findwindow "$title" 620 >/dev/null
        ;;
    results | shop)
        startcomputers && findwindow "$title" 414 "$roundlimit" >/dev/null &&
            if [[ $which == shop ]]; then keys -k space; fi
        ;;
    esac || {
        result="$which missed"
        stopgame
        return 0
    }
    wl swaymsg -q "[title=\"$title\"] kill" || true
    awaitend 2
    if [[ $took == hang ]]; then
        result="$which hang"
        stopgame
    elif ((status != 0)); then
        result="$which status $status"
    else
        result="$which ok $took"
    fi
}

# A worker: a compositor of its own and the closes given, one line each into
# its file. sway itself sometimes crashes; the worker then counts a restart,
# starts a new one and plays that run again.
closeworker() {
    local n=$1 job k=0
    shift
    trap 'stopsession' EXIT
    trap 'exit 143' TERM
    trap - ERR
    startcompositor "$tmp/worker$n.$k" >>"$tmp/worker$n.err" || exit 1
    for job in "$@"; do
        closeonce "$job"
        if ! running "$sway"; then
            echo "worker $n: $(tail -n 1 "$tmp/worker$n.$k/sway.log")" >>"$tmp/restarts"
            stopsession
            k=$((k + 1))
            startcompositor "$tmp/worker$n.$k" >>"$tmp/worker$n.err" || exit 1
            [[ $result == *" ok "* ]] || closeonce "$job"
        fi
        echo "$result" >>"$tmp/worker$n.out"
    done
}

# --- the checks ---------------------------------------------------------------------

want() { [[ " $steps " == *" $1 "* ]]; }
sizes=""

step=compositor
startcompositor "$tmp/main" >"$tmp/main.err" || fail "$(cat "$tmp/main.err")"

if want play; then
    step=windows
    startgame
    setup=$(findwindow "Player Setup:" 556) || fail "no setup window 556 wide"
    read -r _ _ w h <<<"$setup"
    [[ $h == 267 ]] || fail "setup window ${w}x$h, not 556x267"
    sizes="${w}x$h"
    sleep 0.5
    starthumans
    at=$(findwindow "Quarvel Ordnix" 620) || fail "no battlefield 620 wide after Start"
    read -r x y w h <<<"$at"
    [[ $h == 451 ]] || fail "battlefield ${w}x$h, not 620x451"
    sizes+=" ${w}x$h"
    field="$((x + fieldx)) $((y + fieldy))"
    sleep 1.5

    step=arrow
    fieldshot "$tmp/a0.ppm"
    keys -P Right -s 2000 -p Right
    sleep 0.3
    fieldshot "$tmp/a1.ppm"
    read -r tank before after <<<"$(turned "$tmp/a0.ppm" "$tmp/a1.ppm")" ||
        fail "no barrel turned with Right held 2 s"
    rate=$(awk -v a="$before" -v b="$after" 'BEGIN { printf "%.1f", (b - a) / 2 }')
    figures+=("arrow ${rate}deg/s (${before}->${after} in 2 s)")
    awk -v r="$rate" 'BEGIN { exit !(r >= 24 && r <= 40) }' ||
        fail "the barrel turned $rate degrees a second, not 24 to 40"

    step=enter
    keys -k Return
    # The marker leaves the tank while the shell flies and then hovers over
    # the other tank; a second shot would bring it back.
    seen=$tank
    turns=0
    for _ in $(seq 1 12); do
        sleep 0.3
        now=$(marker)
        if ((now != 0 && now != seen)); then
            turns=$((turns + 1))
            seen=$now
        fi
    done
    figures+=("enter $turns shot")
    ((turns == 1)) || fail "an Enter tap passed the turn $turns times in 5 s, not once"

    step=quit-no
    quitquestion || fail "Tab, Tab, Space on the battlefield did not ask to quit"
    keys -k n
    for _ in $(seq 1 20); do
        haswindow "Ordnix" || break
        sleep 0.1
    done
    haswindow "Ordnix" && fail "the question stayed after No"
    fieldshot "$tmp/n0.ppm"
    keys -P Right -s 1000 -p Right
    sleep 0.3
    fieldshot "$tmp/n1.ppm"
    read -r _ before after <<<"$(turned "$tmp/n0.ppm" "$tmp/n1.ppm")" ||
        fail "the arrows do not aim after No"
    awk -v a="$before" -v b="$after" 'BEGIN { exit !(b - a >= 16) }' ||
        fail "Right held 1 s after No turned the barrel from $before to $after only"
    figures+=("no ${before}->${after}")

    step=quit-yes
    quitquestion || fail "Tab, Tab, Space did not ask to quit a second time"
    keys -k y
    awaitend 2
    [[ $took != hang ]] || fail "the game still runs 2 s after Quit, Yes"
    ((status == 0)) || fail "the game ended with status $status after Quit, Yes"
    figures+=("yes ${took}s")

    step=cancel
    startgame
    findwindow "Player Setup:" 556 >/dev/null || fail "no setup window"
    keys -k Tab -k Tab -k Tab -k Tab -k Tab -k Tab -k space # one past Start
    awaitend 2
    [[ $took != hang ]] || fail "the game still runs 2 s after Cancel"
    ((status == 0)) || fail "the game ended with status $status after Cancel"
    figures+=("cancel ${took}s")
fi

# The closes run on compositors of their own while the main one plays the
# round; the jobs are dealt out in turn, so each worker gets every kind.
if want closes; then
    jobs=()
    for ((i = 0; i < closes; i++)); do
        for which in $closewindows; do jobs+=("$which"); done
    done
    for ((n = 0; n < workers; n++)); do
        mine=()
        for ((j = n; j < ${#jobs[@]}; j += workers)); do mine+=("${jobs[j]}"); done
        ((${#mine[@]} > 0)) || continue
        closeworker "$n" "${mine[@]}" 2>>"$tmp/worker$n.err" &
        workerpids+=($!)
    done
fi

if want rounds; then
    step=rounds
    startgame
    start=$EPOCHREALTIME
    startcomputers || fail "no setup window"
    findwindow "Quarvel Ordnix" 620 >/dev/null || fail "no battlefield after Start"
    results=$(findwindow "Quarvel Ordnix" 414 "$roundlimit") ||
        fail "no results within $roundlimit s"
    roundtime=$(elapsed "$start")
    read -r x y w h <<<"$results"
    step=windows
    [[ $h == 250 ]] || fail "results window ${w}x$h, not 414x250"
    sizes+=" ${w}x$h"
    step=rounds
    sleep 0.5
    wl grim -g "$x,$y ${w}x$h" - >"$tmp/results.png"
    keys -k space # Next: the shop
    sleep 0.5
    wl grim -g "$x,$y ${w}x$h" - >"$tmp/shop.png"
    cmp -s "$tmp/results.png" "$tmp/shop.png" && fail "Next on the results did not open the shop"
    keys -k space # Next past the shop: computer players buy nothing
    findwindow "Quarvel Ordnix" 620 5 >/dev/null || fail "no next round after the shop"
    figures+=("round ${roundtime}s")
    wl swaymsg -q '[title="Quarvel Ordnix"] kill'
    awaitend 2
    [[ $took != hang ]] || fail "the game still runs 2 s after its battlefield closed"
fi

if want closes; then
    step=closes
    for pid in "${workerpids[@]}"; do wait "$pid" || true; done
    workerpids=()
    # Per window: closes ended with status 0, hangs, other outcomes, the
    # longest time to the end.
    summary=$(cat "$tmp"/worker*.out 2>/dev/null | awk -v order="$closewindows" '
        { n[$1]++ }
        $2 == "ok" { ok[$1]++; if ($3 > worst[$1]) worst[$1] = $3 }
        $2 == "hang" { hang[$1]++; hangs++ }
        $2 != "ok" && $2 != "hang" { other[$1] = other[$1] " " $2 (NF > 2 ? " " $3 : ""); bad++ }
        END {
            k = split(order, w, " ")
            for (i = 1; i <= k; i++)
                printf "%s %d/%d %dhang%s max %.2fs; ", w[i], ok[w[i]], n[w[i]], hang[w[i]],
                    other[w[i]], worst[w[i]]
            printf "| hangs %d other %d\n", hangs, bad
        }')
    restarts=$(wc -l <"$tmp/restarts")
    figures+=("closes: $summary" "sway restarts $restarts")
    expected=$((closes * $(wc -w <<<"$closewindows")))
    got=$(cat "$tmp"/worker*.out 2>/dev/null | grep -c . || true)
    ((got == expected)) ||
        fail "$got of $expected closes were run: $(cat "$tmp"/worker*.err 2>/dev/null)"
    [[ $summary == *"| hangs 0 other 0" ]] ||
        fail "not every close ended with status 0 within 2 s"
fi

stderrlines=$(wc -l <"$tmp/game.err")
runs=$(wc -l <"$tmp/runs")
echo "wayland-check: PASS windows $sizes | ${figures[*]} | stderr $stderrlines lines, $runs runs, total $(elapsed "$t0")s"
