#!/usr/bin/env bash
# Proves on fresh Debian 12 roots what a newcomer gets:
#   1. bootstraps a minbase Debian 12 root from this machine's Debian mirror;
#   2. copies a clean clone of the committed source into a copy of it and runs
#      README's two commands there as written, ./play (its setup window must
#      appear; Cancel ends it) and ./check, then builds the package;
#   3. installs the package with apt into a second copy of the fresh root,
#      validates the installed desktop files, starts the game from the menu
#      entry's Exec line as a normal user under Xvfb, and checks that the
#      setup window appears and the game opens its installed sound files;
#   4. purges the package and checks that nothing of it is left.
# Prints one summary line with timings; exits non-zero on any failure.
#
# Needs root, the network to the Debian mirror, and on this machine:
# debootstrap, Xvfb, xdotool, xprop, strace, ImageMagick (import), and for the
# checks desktop-file-validate (desktop-file-utils), appstreamcli (appstream)
# and optionally lintian. Takes five to ten minutes on two cores.
#   tools/fresh-debian.sh            work folder /var/tmp/ordnix-fresh
#   FRESH_WORK=/path tools/fresh-debian.sh
#   FRESH_KEEP=1 tools/fresh-debian.sh   keep the roots afterwards
#   FRESH_BASE=/path tools/fresh-debian.sh
#       copy that already bootstrapped root instead of bootstrapping anew
#       (for trying changes to this script; the proof needs a real run)
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
work=${FRESH_WORK:-/var/tmp/ordnix-fresh}
suite=bookworm
player_uid=1000
userpath=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games # Debian's PATH for users

t0=$(date +%s)
summary=()
step="start"
log() { echo "fresh-debian: $*" >&2; }
fail() {
    echo "fresh-debian: FAIL at $step: $* | ${summary[*]} total=$(($(date +%s) - t0))s"
    exit 1
}
# Runs "$@" and appends "name=seconds" to the summary.
timed() {
    local name=$1 start
    shift
    step=$name
    start=$(date +%s)
    "$@" || fail "exit status $?"
    summary+=("$name=$(($(date +%s) - start))s")
}

[[ $(id -u) -eq 0 ]] || fail "needs root (debootstrap, chroot, mounts)"
for tool in debootstrap Xvfb xdotool xprop strace import desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "missing tool: $tool"
done
[[ -z $(git -C "$repo" status --porcelain --untracked-files=no) ]] ||
    log "uncommitted changes are not tested: the clone has only what is committed"
commit=$(git -C "$repo" rev-parse --short HEAD)

# The first Debian mirror that serves this suite, from deb822 sources or the
# one-line format; Debian's own address if neither names one.
mirror() {
    local uri
    uri=$(awk -v s="$suite" '
        /^URIs:/ { u = $2 } /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == s) ok = 1 }
        /^$/ { if (ok && u ~ /debian\/?$/) { print u; exit } u = ""; ok = 0 }
        END { if (ok && u ~ /debian\/?$/) print u }' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
    [[ -n $uri ]] || uri=$(awk -v s="$suite" '$1 == "deb" && $3 == s && $2 ~ /debian\/?$/ { print $2; exit }' \
        /etc/apt/sources.list 2>/dev/null || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

# --- Mounts, processes and the clean-up on exit --------------------------

mounted=()
pids=()
mountinto() { # root: /proc, /sys and /dev of this machine, bound in
    local root=$1 m
    for m in proc sys dev; do
        mount --rbind "/$m" "$root/$m"
        mount --make-rslave "$root/$m"
        mounted+=("$root/$m")
    done
}
unmountall() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount -R "${mounted[i]}" 2>/dev/null || umount -R -l "${mounted[i]}" 2>/dev/null || true
    done
    mounted=()
}
# Removes a folder only when nothing is mounted below it, and never crosses
# into another file system.
removetree() {
    local dir=$1
    [[ -e $dir ]] || return 0
    if findmnt -rn -o TARGET | grep -q "^$dir\(/\|$\)"; then
        log "still mounted below $dir, not removing it"
        return 1
    fi
    rm -rf --one-file-system "$dir"
}
owned=""
cleanup() {
    local p
    [[ -n $owned ]] || return 0 # the work folder is another run's
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    # Whatever is still running inside a root holds its mounts.
    for root in "$work/build-root" "$work/install-root"; do
        [[ -d $root ]] || continue
        for p in /proc/[0-9]*; do
            [[ $(readlink "$p/root" 2>/dev/null) == "$root" ]] && kill "${p#/proc/}" 2>/dev/null
        done
    done
    sleep 1
    unmountall
    if [[ -z ${FRESH_KEEP:-} ]]; then
        removetree "$work/build-root" || true
        removetree "$work/install-root" || true
        removetree "$work/base" || true
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Runs a command inside a root as root, with a clean environment.
inroot() {
    local root=$1
    shift
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin DISPLAY="$DISPLAY" "$@"
}

# The window of the given title, once it is there, while process $2 runs.
waitwindow() {
    local title=$1 pid=$2 limit=$3 id
    for ((i = 0; i < limit * 5; i++)); do
        id=$(xdotool search --name "^${title}\$" 2>/dev/null | head -1 || true)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

# Clicks the setup window's Cancel button, which ends the game.
cancelsetup() {
    local id=$1
    xdotool mousemove --window "$id" 500 244 click 1
}

# --- 1. A fresh minbase root ---------------------------------------------

# One run at a time in a work folder: a second one waits for the first.
mkdir -p "$(dirname "$work")"
exec 9>"$work.lock"
flock -w 3600 9 || fail "another run holds $work.lock"
owned=1

space=$(df --output=avail -B1G "$(dirname "$work")" | tail -1 | tr -d ' ')
((space >= 12)) || fail "need 12 GiB free below $(dirname "$work"), have ${space} GiB"
removetree "$work" || fail "cannot clear $work"
mkdir -p "$work"
src=$(mirror)
bootstrap() { debootstrap --variant=minbase "$suite" "$work/base" "$src" >"$work/debootstrap.log" 2>&1; }
if [[ -n ${FRESH_BASE:-} ]]; then
    cp -a "$FRESH_BASE" "$work/base"
    summary+=("bootstrap=reused")
else
    log "bootstrapping $suite (minbase) from $src into $work/base"
    timed bootstrap bootstrap
fi
cp /etc/resolv.conf "$work/base/etc/resolv.conf"
# Services must not start inside a root.
printf '#!/bin/sh\nexit 101\n' >"$work/base/usr/sbin/policy-rc.d"
chmod +x "$work/base/usr/sbin/policy-rc.d"
cp -a "$work/base" "$work/build-root"
cp -a "$work/base" "$work/install-root"

# A virtual display for both roots: clients in a chroot reach it through the
# abstract socket, so no socket folder is bound in.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
[[ -s $work/display ]] || fail "Xvfb did not start (xvfb.log)"
export DISPLAY=:$(cat "$work/display")
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# --- 2. README's two commands in the first root --------------------------

build=$work/build-root
mountinto "$build"
git clone -q "$repo" "$work/clone"
cp -a "$work/clone" "$build/root/ordnix"
rm -rf "$work/clone"

play() {
    inroot "$build" bash -c 'cd /root/ordnix && ./play' >"$work/play.log" 2>&1 &
    local pid=$! id status=0
    id=$(waitwindow "Player Setup:" "$pid" 1800) || {
        wait "$pid" || true
        tail -20 "$work/play.log" >&2
        return 1
    }
    sleep 1
    import -window root "$work/play-setup.png"
    cancelsetup "$id"
    wait "$pid" || status=$?
    ((status == 0)) || tail -20 "$work/play.log" >&2
    return "$status"
}
timed play play
# The play path brings no test tools.
step=play-packages
for p in googletest libgtest-dev libbenchmark-dev clang-format xvfb imagemagick; do
    if inroot "$build" dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed; then
        fail "./play installed the test tool $p"
    fi
done

check() {
    inroot "$build" bash -c 'cd /root/ordnix && ./check' >"$work/check.log" 2>&1 || {
        tail -30 "$work/check.log" >&2
        return 1
    }
}
timed check check
tests=$(grep -Eo '[0-9]+% tests passed, 0 tests failed out of [0-9]+' "$work/check.log" | tail -1 | awk '{ print $NF }')
[[ -n $tests ]] || fail "no ctest summary in check.log"
summary+=("tests=$tests")

package() {
    inroot "$build" bash -c 'cd /root/ordnix && ./play package' >"$work/package.log" 2>&1 || {
        tail -30 "$work/package.log" >&2
        return 1
    }
}
timed package package
step=package
debs=("$build"/root/ordnix/build-package/ordnix_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f ${debs[0]} ]] || fail "no single ordnix_*_amd64.deb in build-package/"
deb=$work/$(basename "${debs[0]}")
cp "${debs[0]}" "$deb"
summary+=("deb=$(basename "$deb")")
unmountall

if command -v lintian >/dev/null; then
    step=lintian
    lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
    errors=$(grep -c '^E:' "$work/lintian.log" || true)
    warnings=$(grep -c '^W:' "$work/lintian.log" || true)
    ((errors == 0)) || fail "lintian errors: $(grep '^E:' "$work/lintian.log" | tr '\n' ' ')"
    summary+=("lintian=${errors}E/${warnings}W")
fi

# --- 3. The package in the second root ------------------------------------

inst=$work/install-root
mountinto "$inst"
cp "$deb" "$inst/tmp/"
installpackage() {
    inroot "$inst" apt-get update -qq &&
        inroot "$inst" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")"
} >"$work/install.log" 2>&1
timed install installpackage

step=validate
desktop=$(ls "$inst"/usr/share/applications/*.desktop 2>/dev/null | head -1)
[[ -n $desktop ]] || fail "the package installed no .desktop file"
desktop-file-validate "$desktop" || fail "desktop-file-validate $(basename "$desktop")"
appstreamcli validate --no-net "$inst"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(tr '\n' ' ' <"$work/appstream.log")"
grep -qx 'Categories=.*Game;.*' "$desktop" || fail "the menu entry is not in the Game category"
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -1 | sed 's/ *%[fFuUdDnNickvm]//g')
[[ -n $exec_line ]] || fail "no Exec line in $(basename "$desktop")"
summary+=("validate=ok")

# A player as on any desktop: a normal user with a sound server of their own
# (a null sink: nothing is heard, but the game has an audio device).
step=desktop-user
harness() {
    inroot "$inst" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends pulseaudio &&
        inroot "$inst" useradd -m -u "$player_uid" player &&
        mkdir -p "$inst/run/user/$player_uid" && chroot "$inst" chown player: "/run/user/$player_uid" &&
        chmod 700 "$inst/run/user/$player_uid"
} >>"$work/install.log" 2>&1
harness || fail "could not set up the player's session (see install.log)"
asplayer() {
    chroot --userspec="$player_uid:$player_uid" "$inst" /usr/bin/env -i HOME=/home/player USER=player \
        LANG=C.UTF-8 PATH="$userpath" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="/run/user/$player_uid" "$@"
}
asplayer pulseaudio --daemonize=no --exit-idle-time=-1 -n --load=module-null-sink \
    --load=module-native-protocol-unix >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -S $inst/run/user/$player_uid/pulse/native ]] && break; sleep 0.2; done
[[ -S $inst/run/user/$player_uid/pulse/native ]] || fail "the sound server did not start (pulseaudio.log)"

installed() {
    # The menu entry's command, as a desktop starts it, with every opened file
    # recorded.
    strace -f -qq -e trace=openat -o "$work/strace.log" \
        chroot --userspec="$player_uid:$player_uid" "$inst" /usr/bin/env -i HOME=/home/player USER=player \
        LANG=C.UTF-8 PATH="$userpath" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="/run/user/$player_uid" \
        sh -c "exec $exec_line" >"$work/game.log" 2>&1 &
    local pid=$! id status=0
    id=$(waitwindow "Player Setup:" "$pid" 60) || {
        wait "$pid" || true
        cat "$work/game.log" >&2
        return 1
    }
    # The icon and the sounds (decoded in the background) may come a little
    # after the window, the more so under strace.
    local icon=no sounds=0 name
    for ((i = 0; i < 150; i++)); do
        xprop -id "$id" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (' && icon=yes
        sounds=0
        for name in fire explode; do
            grep -Eq "openat\(.*\"/usr/share/ordnix/$name\.wav\", [^)]*\) = [0-9]+" "$work/strace.log" &&
                sounds=$((sounds + 1))
        done
        [[ $icon == yes && $sounds == 2 ]] && break
        sleep 0.2
    done
    import -window root "$work/installed-setup.png"
    [[ $icon == yes ]] || {
        log "the setup window has no icon"
        status=1
    }
    [[ $sounds == 2 ]] || {
        log "the game did not open both /usr/share/ordnix/fire.wav and explode.wav"
        status=1
    }
    cancelsetup "$id"
    wait "$pid" || status=$?
    return "$status"
}
timed start installed
summary+=("window=ok sounds=opened")

# --- 4. Removing leaves nothing behind -------------------------------------

remove() {
    inroot "$inst" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ordnix >>"$work/install.log" 2>&1 || return 1
    rm -f "$inst/tmp/$(basename "$deb")"
    local left f
    left=$(dpkg-deb -c "$deb" | awk '{ print substr($NF, 2) }' | while read -r f; do
        [[ -f $inst$f || -L $inst$f ]] && echo "$f"
        [[ -d $inst$f && $f == *ordnix* ]] && echo "$f"
    done)
    left+=$(find "$inst" -xdev -name '*ordnix*' -not -path "$inst/var/log/*" -not -path "$inst/var/cache/apt/*" -print)
    if [[ -n $left ]]; then
        log "left behind: $left"
        return 1
    fi
}
timed remove remove

echo "fresh-debian: PASS commit=$commit ${summary[*]} total=$(($(date +%s) - t0))s"
