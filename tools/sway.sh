# Shared by the tools that run the real game natively on Wayland, under
# headless sway compositors of their own: the user that runs them, starting a
# compositor, running a command in it and finding the game's windows there.
# Source it; needs sway, swaymsg and jq.
# shellcheck shell=bash
# shellcheck disable=SC2034 # asuser, owner, tmp, sway, session, swayerror: for the scripts
# shellcheck disable=SC2154 # game: the scripts' game process
#
# sway refuses to run as root: run as root, the compositors and the game run
# as the system user ordnixwl, which swaysetup creates when missing; run as
# another user, as that user.

wluser=ordnixwl

# The user, and a folder $tmp that it can read, holding the game (with its
# sounds when they lie beside it) as $tmp/game/ordnix and the compositor's
# configuration. Sets asuser (the command prefix that runs as that user),
# owner and tmp; on failure returns 1 with the reason in swayerror.
swayerror=""
swaysetup() {
    local game_src=$1
    asuser=()
    if ((EUID == 0)); then
        if ! id "$wluser" >/dev/null 2>&1; then
            if ! useradd --system --no-create-home --shell /usr/sbin/nologin "$wluser"; then
                swayerror="cannot create the user $wluser"
                return 1
            fi
        fi
        asuser=(setpriv --reuid "$wluser" --regid "$wluser" --init-groups --)
        owner=$wluser
    else
        owner=$(id -un)
    fi
    tmp=$(mktemp -d /tmp/ordnix-wayland.XXXXXX)
    chmod 755 "$tmp"
    # The game with its sounds beside it, where that user can read them.
    mkdir -p "$tmp/game"
    cp "$game_src" "$tmp/game/ordnix"
    cp "$(dirname "$game_src")"/*.wav "$tmp/game/" 2>/dev/null || true # without them it is silent
    chmod -R a+rX "$tmp/game"
    cat >"$tmp/sway.conf" <<'EOF'
output * mode 1024x768
xwayland disable
EOF
}

# Whether a process runs (a dead child stays a zombie until it is waited for).
running() { [[ $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) =~ ^[RSD]$ ]]; }

# Starts a headless sway with its own runtime folder under $1; sets sway (its
# process) and session (the environment that runs a command in it).
startcompositor() {
    local dir=$1 sockets=()
    mkdir -p "$dir/home" "$dir/run"
    chown "$owner" "$dir/home" "$dir/run"
    chmod 700 "$dir/run"
    session=(env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 HOME="$dir/home"
        XDG_RUNTIME_DIR="$dir/run")
    "${asuser[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_RENDERER=pixman sway -c "$tmp/sway.conf" >"$dir/sway.log" 2>&1 &
    sway=$!
    for _ in $(seq 1 100); do
        sockets=("$dir"/run/wayland-? "$dir"/run/sway-ipc.*.sock)
        [[ -S ${sockets[0]} && -S ${sockets[1]} ]] && break
        running "$sway" || break
        sleep 0.1
    done
    if ! [[ -S ${sockets[0]} && -S ${sockets[1]} ]]; then
        echo "sway did not start: $(tail -n 3 "$dir/sway.log" | tr '\n' ' ')"
        return 1
    fi
    session+=(WAYLAND_DISPLAY="$(basename "${sockets[0]}")" SWAYSOCK="${sockets[1]}")
}
# Runs a command in the compositor, as its user.
wl() { "${asuser[@]}" "${session[@]}" "$@"; }

# --- the windows of the game (its process in $game) ---------------------------------

# "x y width height" of the client area of the game's window with this title
# and client width (0: any), or nothing.
windowat() {
    wl swaymsg -t get_tree | jq -r --arg t "$1" --argjson w "$2" --argjson p "$game" '
        first(.. | objects | select(.pid? == $p and .name == $t and .visible
                                    and ($w == 0 or .window_rect.width == $w)))
        | "\(.rect.x + .window_rect.x) \(.rect.y + .window_rect.y) \(.window_rect.width) \(.window_rect.height)"'
}
# The same once the window is there, waiting up to $3 seconds (default 10).
findwindow() {
    local at i
    for ((i = 0; i < ${3:-10} * 10; i++)); do
        at=$(windowat "$1" "$2")
        [[ -n $at ]] && { echo "$at"; return 0; }
        running "$game" || return 1
        sleep 0.1
    done
    return 1
}
# Whether any window of the game is titled $1.
haswindow() {
    wl swaymsg -t get_tree |
        jq -e --arg t "$1" --argjson p "$game" 'any(.. | objects; .pid? == $p and .name == $t)' \
            >/dev/null
}
