# Shared by the tools that drive the real game under a virtual display:
# finding the game's windows and clicking into them. Source it; needs xdotool.

# The window of the game with this title and client width, once it is there.
findwindow() {
    local title=$1 width=$2 id
    for _ in $(seq 1 600); do
        for id in $(xdotool search --name "^${title}\$" 2>/dev/null); do
            if xdotool getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: ${width}x"; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    echo "no window '$title' ${width} wide" >&2
    return 1
}

# Clicks at a point of a window, in its client coordinates.
clickat() {
    local id=$1 x=$2 y=$3
    xdotool mousemove --window "$id" "$x" "$y" click 1
    sleep 0.3
}
