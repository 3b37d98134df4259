#!/usr/bin/env bash
# Plays the game under a virtual display and photographs each window into
# docs/: the setup window, a shot in flight, the results and the shop. Also
# prints how long a round between two computer players took in real time.
# Needs build/ordnix (make build) and xvfb, xdotool, imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs
mkdir -p "$out"

if [[ -z "${DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

game=""
stopgame() { [[ -n "$game" ]] && kill "$game" 2>/dev/null; wait "$game" 2>/dev/null || true; game=""; }
trap stopgame EXIT

# shellcheck source=tools/xwindows.sh
source tools/xwindows.sh # the scripts run from the repository root

holdkey() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }

# 1. Setup, then two humans on the battlefield with a shell in the air.
./build/ordnix >/dev/null 2>&1 &
game=$!
setup=$(findwindow "Player Setup:" 556)
sleep 0.5
import -window "$setup" "$out/setup.png"
clickat "$setup" 52 244 # Start
field=$(findwindow "Quarvel Ordnix" 620)
sleep 1
clickat "$field" 300 100 # the keyboard focus to the battlefield
xdotool windowfocus --sync "$field" 2>/dev/null || true
holdkey Right 0.8
holdkey Up 0.6
holdkey Return 0.1
sleep 0.7
import -window "$field" "$out/battlefield.png"
stopgame

# 2. Two computer players play a round on their own: results and shop.
./build/ordnix >/dev/null 2>&1 &
game=$!
setup=$(findwindow "Player Setup:" 556)
clickat "$setup" 250 64  # AI, player 1
clickat "$setup" 250 112 # AI, player 2
start=$(date +%s.%N)
clickat "$setup" 52 244 # Start
results=$(findwindow "Quarvel Ordnix" 414)
end=$(date +%s.%N)
sleep 0.5
import -window "$results" "$out/results.png"
clickat "$results" 52 228 # Next: the shop
sleep 0.5
import -window "$results" "$out/shop.png"
stopgame

echo "a round between two computer players took $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }') s"
ls -l "$out"
