#!/usr/bin/env bash
# Proves on fresh Debian roots what a newcomer gets, on Debian 12 (bookworm,
# the default) or Debian 13 (trixie):
#   1. bootstraps a minbase root of that release from this machine's Debian
#      mirror;
#   2. copies a clean clone of the committed source into a copy of it and runs
#      README's two commands there as written, ./play (its setup window must
#      appear; Cancel ends it) and ./check, then builds the package;
#   3. installs the package with apt into a second copy of the fresh root,
#      validates the installed desktop files, starts the game from the menu
#      entry's Exec line as a normal user under Xvfb, and checks that the
#      setup window appears and the game opens its installed sound files;
#      starts it once more as in a Wayland session without Qt's Wayland
#      plugin, where it must come up through X all the same;
#   4. purges the package and checks that nothing of it is left;
#   5. optionally (FRESH_CROSS_DEB) installs a package built elsewhere, e.g.
#      on the other release, into a third fresh root and tries to start it.
# Prints one summary line with the release and timings; exits non-zero on any
# failure of steps 1 to 4. Step 5 is reported, not judged.
#
# Needs root, the network to the Debian mirror, and on this machine:
# debootstrap, Xvfb, xdotool, xprop, strace, ImageMagick (import), and for the
# checks desktop-file-validate (desktop-file-utils), appstreamcli (appstream)
# and optionally lintian. Takes ten to twenty-five minutes on two cores.
#   tools/fresh-debian.sh [bookworm|trixie]
#       work folder /var/tmp/ordnix-fresh-RELEASE (logs, the package)
#   FRESH_WORK=/path tools/fresh-debian.sh trixie
#   FRESH_KEEP=1 tools/fresh-debian.sh   keep the roots afterwards
#   FRESH_BASE=/path tools/fresh-debian.sh
#       copy that already bootstrapped root instead of bootstrapping anew
#       (for trying changes to this script; the proof needs a real run)
#   FRESH_CROSS_DEB=/var/tmp/ordnix-fresh-bookworm/ordnix_1.0.0_amd64.deb \
#       tools/fresh-debian.sh trixie
#       also install that package on this release and start it
set -euo pipefail

suite=${1:-bookworm}
case $suite in
bookworm | trixie) ;;
*)
    echo "usage: fresh-debian.sh [bookworm|trixie]" >&2
    exit 2
    ;;
esac
repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
work=${FRESH_WORK:-/var/tmp/ordnix-fresh-$suite}
player_uid=1000
userpath=/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games # Debian's PATH for users

t0=$(date +%s)
summary=()
step="start"
log() { echo "fresh-debian: $*" >&2; }
fail() {
    echo "fresh-debian: FAIL suite=$suite at $step: $* | ${summary[*]} total=$(($(date +%s) - t0))s"
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
crossdeb=""
if [[ -n ${FRESH_CROSS_DEB:-} ]]; then
    crossdeb=$(realpath "$FRESH_CROSS_DEB")
    [[ -f $crossdeb && $crossdeb == *.deb ]] || fail "FRESH_CROSS_DEB: no package file $FRESH_CROSS_DEB"
fi

# The Debian mirror this machine's apt uses for this suite, or for any other
# one (one archive serves every release); Debian's own address if none.
mirror() {
    local sites uri
    sites=$(apt-get indextargets --no-release-info --format '$(SITE) $(RELEASE)' 2>/dev/null |
        awk '$1 ~ /\/debian\/?$/' || true)
    uri=$(awk -v s="$suite" '$2 == s { print $1; exit }' <<<"$sites")
    [[ -n $uri ]] || uri=$(awk 'NR == 1 { print $1 }' <<<"$sites")
    echo "${uri:-http://deb.debian.org/debian}"
}
# debootstrap's script for the suite; one that knows no newer release than
# its own builds it with the script for the unstable one, which newer
# releases still follow.
bootscript() {
    local dir=/usr/share/debootstrap/scripts
    if [[ -e $dir/$suite ]]; then echo "$dir/$suite"; else echo "$dir/sid"; fi
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
    for root in "$work/build-root" "$work/install-root" "$work/cross-root"; do
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
        removetree "$work/cross-root" || true
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
# The other package may lie in the folder about to be cleared.
[[ -z $crossdeb ]] || cp "$crossdeb" "$work.cross.deb"
removetree "$work" || fail "cannot clear $work"
mkdir -p "$work"
if [[ -n $crossdeb ]]; then
    mkdir "$work/cross"
    mv "$work.cross.deb" "$work/cross/$(basename "$crossdeb")"
fi
src=$(mirror)
bootstrap() {
    debootstrap --variant=minbase "$suite" "$work/base" "$src" "$(bootscript)" >"$work/debootstrap.log" 2>&1
}
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

# Installs a package file with apt into a root; apt's output goes to $2.
aptinstall() {
    local root=$1 out=$2 file=$3
    cp "$file" "$root/tmp/"
    {
        inroot "$root" apt-get update -qq &&
            inroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$file")"
    } >"$out" 2>&1
}

# The installed menu entry's command without its field codes.
menucommand() {
    local root=$1 desktop
    desktop=$(ls "$root"/usr/share/applications/*.desktop 2>/dev/null | head -1)
    [[ -n $desktop ]] && sed -n 's/^Exec=//p' "$desktop" | head -1 | sed 's/ *%[fFuUdDnNickvm]//g'
}

# A player as on any desktop: a normal user with a sound server of their own
# (a null sink: nothing is heard, but the game has an audio device).
desktopuser() {
    local root=$1
    {
        inroot "$root" env DEBIAN_FRONTEND=noninteractive \
            apt-get install -y -qq --no-install-recommends pulseaudio &&
            inroot "$root" useradd -m -u "$player_uid" player &&
            mkdir -p "$root/run/user/$player_uid" && chroot "$root" chown player: "/run/user/$player_uid" &&
            chmod 700 "$root/run/user/$player_uid"
    } >>"$work/install.log" 2>&1 || return 1
    chroot --userspec="$player_uid:$player_uid" "$root" /usr/bin/env -i HOME=/home/player USER=player \
        LANG=C.UTF-8 PATH="$userpath" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="/run/user/$player_uid" \
        pulseaudio --daemonize=no --exit-idle-time=-1 -n --load=module-null-sink \
        --load=module-native-protocol-unix >>"$work/pulseaudio.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [[ -S $root/run/user/$player_uid/pulse/native ]] && return 0; sleep 0.2; done
    log "the sound server did not start (pulseaudio.log)"
    return 1
}

# Starts the menu entry's command in a root as the player, as a desktop
# starts it, with the session's variables given after the log name, and
# records every opened file. Checks the setup window, its icon and that both
# installed sounds are opened; Cancel must then end the game with status 0.
menustart() {
    local root=$1 name=$2 command
    shift 2
    command=$(menucommand "$root") || {
        log "no Exec line in the menu entry"
        return 1
    }
    # One trace file for each thread: threads that open files at the same
    # moment would otherwise split each other's lines.
    mkdir -p "$work/$name-strace"
    strace -f -ff -qq -e trace=openat -o "$work/$name-strace/openat" \
        chroot --userspec="$player_uid:$player_uid" "$root" /usr/bin/env -i HOME=/home/player USER=player \
        LANG=C.UTF-8 PATH="$userpath" DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="/run/user/$player_uid" "$@" \
        sh -c "exec $command" >"$work/$name-game.log" 2>&1 &
    local pid=$! id status=0
    id=$(waitwindow "Player Setup:" "$pid" 60) || {
        wait "$pid" || true
        cat "$work/$name-game.log" >&2
        return 1
    }
    # The icon and the sounds (decoded in the background) may come a little
    # after the window, the more so under strace.
    local icon=no sounds=0 sound
    for ((i = 0; i < 150; i++)); do
        xprop -id "$id" _NET_WM_ICON 2>/dev/null | grep -q 'Icon (' && icon=yes
        sounds=0
        for sound in fire explode; do
            grep -Eqs "openat\(.*\"/usr/share/ordnix/$sound\.wav\", [^)]*\) = [0-9]+" \
                "$work/$name-strace"/openat.* &&
                sounds=$((sounds + 1))
        done
        [[ $icon == yes && $sounds == 2 ]] && break
        sleep 0.2
    done
    import -window root "$work/$name-setup.png"
    [[ $icon == yes ]] || {
        log "$name: the setup window has no icon"
        status=1
    }
    [[ $sounds == 2 ]] || {
        log "$name: the game did not open both /usr/share/ordnix/fire.wav and explode.wav"
        status=1
    }
    cancelsetup "$id"
    wait "$pid" || status=$?
    return "$status"
}

inst=$work/install-root
mountinto "$inst"
installpackage() { aptinstall "$inst" "$work/install.log" "$deb"; }
timed install installpackage

step=validate
desktop=$(ls "$inst"/usr/share/applications/*.desktop 2>/dev/null | head -1)
[[ -n $desktop ]] || fail "the package installed no .desktop file"
desktop-file-validate "$desktop" || fail "desktop-file-validate $(basename "$desktop")"
appstreamcli validate --no-net "$inst"/usr/share/metainfo/*.metainfo.xml >"$work/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(tr '\n' ' ' <"$work/appstream.log")"
grep -qx 'Categories=.*Game;.*' "$desktop" || fail "the menu entry is not in the Game category"
[[ -n $(menucommand "$inst") ]] || fail "no Exec line in $(basename "$desktop")"
summary+=("validate=ok")

step=desktop-user
desktopuser "$inst" || fail "could not set up the player's session (see install.log)"

installed() { menustart "$inst" installed; }
timed start installed
summary+=("window=ok sounds=opened")

# A Wayland session's variables, with no compositor behind them and without
# Qt's Wayland plugin: Qt must try Wayland, miss the plugin and fall back to X
# by itself, as on a Wayland desktop through its X compatibility layer.
# Debian 13's Qt recommends the plugin, so apt brought it in there; it goes
# for this start.
step=wayland-session
if inroot "$inst" dpkg-query -W -f='${db:Status-Status}' qt6-wayland 2>/dev/null | grep -qx installed; then
    summary+=("wayland-plugin=came-with-qt,removed")
    inroot "$inst" env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq qt6-wayland >>"$work/install.log" 2>&1 ||
        fail "could not remove qt6-wayland"
else
    summary+=("wayland-plugin=absent")
fi
waylandsession() {
    menustart "$inst" wayland-session XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=wayland-none || return 1
    grep -q 'platform plugin "wayland"' "$work/wayland-session-game.log" || {
        log "Qt did not look for its Wayland plugin (wayland-session-game.log)"
        return 1
    }
}
timed wayland-session waylandsession

# --- 4. Removing leaves nothing behind -------------------------------------

# Purges the package from a root and lists whatever of it is left.
purge() {
    local root=$1 file=$2 left f
    inroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq ordnix >>"$work/install.log" 2>&1 || return 1
    rm -f "$root/tmp/$(basename "$file")"
    left=$(dpkg-deb -c "$file" | awk '{ print substr($NF, 2) }' | while read -r f; do
        [[ -f $root$f || -L $root$f ]] && echo "$f"
        [[ -d $root$f && $f == *ordnix* ]] && echo "$f"
    done)
    left+=$(find "$root" -xdev -name '*ordnix*' -not -path "$root/var/log/*" -not -path "$root/var/cache/apt/*" -print)
    if [[ -n $left ]]; then
        log "left behind: $left"
        return 1
    fi
}
remove() { purge "$inst" "$deb"; }
timed remove remove
unmountall

# --- 5. A package built elsewhere on this release (reported, not judged) ---

# Installs the other package into a third fresh root; where apt resolves it,
# starts it from its menu entry and purges it again. Sets crossresult.
crossresult=""
crossinstall() {
    local root=$work/cross-root file unmet
    file=$work/cross/$(basename "$crossdeb")
    cp -a "$work/base" "$root"
    mountinto "$root"
    echo "cross: $crossdeb, Depends: $(dpkg-deb -f "$file" Depends)" >"$work/cross.log"
    if ! aptinstall "$root" "$work/cross-install.log" "$file"; then
        unmet=$(grep -Eo 'Depends: [^ ]+( \([^)]*\))? but it is not (installable|going to be installed)' \
            "$work/cross-install.log" | sed 's/^Depends: //; s/ but it is not.*//; s/ //g' | paste -sd, -)
        crossresult="not-installed(unmet:${unmet:-see-cross-install.log})"
        return 0
    fi
    if ! desktopuser "$root"; then
        crossresult="installed,no-player-session"
    elif ! menustart "$root" cross 2>>"$work/cross.log"; then
        crossresult="installed,start-failed(cross-game.log)"
    elif ! purge "$root" "$file" 2>>"$work/cross.log"; then
        crossresult="installed,started,purge-left-files"
    else
        crossresult="installed,started,sounds-opened,purged"
    fi
}
if [[ -n $crossdeb ]]; then
    step=cross
    start=$(date +%s)
    crossinstall
    unmountall
    summary+=("cross=$crossresult" "cross-time=$(($(date +%s) - start))s")
    log "$crossdeb on $suite: $crossresult (cross.log)"
fi

echo "fresh-debian: PASS suite=$suite commit=$commit ${summary[*]} total=$(($(date +%s) - t0))s"
