#!/usr/bin/env bash
# Proves that one commit gives one package, byte for byte: builds the Debian
# package twice with ./play package from clean clones of the current commit
# and compares the two .deb files.
#   build a: <work>/a/ordnix, as the caller;
#   build b: a few seconds later, <work>/b/one/two/three/ordnix-again (another
#            depth and name), with another umask and time zone, and when run
#            as root as another user (REPRO_USER, default nobody).
# Prints one summary line, the two sha256 checksums and `same` or the first
# file inside the packages that differs; where diffoscope is installed, its
# report of a difference comes before it. Exits 0 when the packages are the
# same, 1 when they differ, 2 when a build fails.
#
# Builds from what is committed only. The time stamps come from the commit
# (or from SOURCE_DATE_EPOCH when the caller sets it: both builds get it).
# Takes two package builds, ten minutes or so on two cores.
#   tools/reproducible.sh                 work folder: a new one in $TMPDIR or /tmp
#   REPRO_WORK=/path tools/reproducible.sh
#   REPRO_KEEP=1 tools/reproducible.sh    keep the work folder afterwards
#   REPRO_USER= tools/reproducible.sh     build b as the caller too
set -euo pipefail

repo=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
commit=$(git -C "$repo" rev-parse HEAD)
short=${commit:0:7}
user=${REPRO_USER-nobody}
[[ $(id -u) -eq 0 ]] || user="" # only root can build as somebody else

log() { echo "reproducible: $*" >&2; }
[[ -z $(git -C "$repo" status --porcelain --untracked-files=no) ]] ||
    log "uncommitted changes are not built: the clones have only what is committed"

if [[ -n ${REPRO_WORK:-} ]]; then
    work=$REPRO_WORK
    [[ ! -e $work ]] || {
        echo "reproducible: FAIL: $work exists; give a new folder"
        exit 2
    }
    mkdir -p "$work"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/ordnix-repro.XXXXXX")
fi
cleanup() { [[ -n ${REPRO_KEEP:-} ]] || rm -rf --one-file-system "$work"; }
trap cleanup EXIT
trap 'exit 130' INT TERM
chmod 755 "$work" # build b's user must reach its folder

fail() {
    echo "reproducible: FAIL: $* (logs in $work, kept)"
    REPRO_KEEP=1
    exit 2
}

# A clean clone of the commit, with the files' times of now.
clone() {
    local dir=$1
    mkdir -p "$(dirname "$dir")"
    git clone -q --no-checkout "$repo" "$dir"
    git -C "$dir" checkout -q --detach "$commit"
}

# Builds the package in $1 as ./play package does; the rest of the arguments
# are the command prefix that runs it (user, umask, environment).
build() {
    local dir=$1 logfile=$2
    shift 2
    "$@" bash -c 'cd "$1" && ./play package' build "$dir" >"$logfile" 2>&1 || {
        tail -20 "$logfile" >&2
        return 1
    }
}

a=$work/a/ordnix
b=$work/b/one/two/three/ordnix-again

start=$(date +%s)
clone "$a"
log "build a in $a as $(id -un)"
build "$a" "$work/a.log" env || fail "build a (a.log)"
sleep 3

clone "$b"
bhome=$work/b/home
mkdir -p "$bhome"
asb=(env)
if [[ -n $user ]]; then
    id "$user" >/dev/null 2>&1 || fail "no user $user (REPRO_USER= builds b as the caller)"
    chown -R "$user:" "$work/b"
    asb=(runuser -u "$user" -- env)
fi
log "build b in $b as ${user:-$(id -un)}"
# Another umask, time zone and locale; a clean environment but for
# SOURCE_DATE_EPOCH, which both builds share when the caller sets it.
benv=(-i PATH=/usr/local/bin:/usr/bin:/bin HOME="$bhome" TZ=Pacific/Chatham LANG=C.UTF-8)
[[ -z ${SOURCE_DATE_EPOCH+set} ]] || benv+=(SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH")
build "$b" "$work/b.log" "${asb[@]}" "${benv[@]}" bash -c 'umask 0002 && exec "$@"' umask ||
    fail "build b (b.log)"

debs=()
for dir in "$a" "$b"; do
    found=("$dir"/build-package/ordnix_*.deb)
    [[ ${#found[@]} -eq 1 && -f ${found[0]} ]] || fail "no single ordnix_*.deb in $dir/build-package"
    debs+=("${found[0]}")
done
suma=$(sha256sum "${debs[0]}" | cut -d' ' -f1)
sumb=$(sha256sum "${debs[1]}" | cut -d' ' -f1)
took="$(($(date +%s) - start))s"

if cmp -s "${debs[0]}" "${debs[1]}"; then
    echo "reproducible: same $(basename "${debs[0]}") commit=$short a=$suma b=$sumb time=$took"
    exit 0
fi

# The first difference inside: a file's contents, else a file's mode, owner or
# time in the archives, else the package's own wrapping.
unpack() {
    local deb=$1 dir=$2
    mkdir -p "$dir"
    dpkg-deb -R "$deb" "$dir/tree"
    dpkg-deb --ctrl-tarfile "$deb" | tar -tv --full-time >"$dir/control.list"
    dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time >"$dir/data.list"
    ar tv "$deb" >"$dir/ar.list"
}
firstdiff() {
    local x=$work/unpack-a y=$work/unpack-b f
    unpack "${debs[0]}" "$x"
    unpack "${debs[1]}" "$y"
    f=$(diff <(cd "$x/tree" && find . -type f | sort) <(cd "$y/tree" && find . -type f | sort) |
        grep -m1 '^[<>]' | cut -c3- || true)
    [[ -z $f ]] || {
        echo "${f#./} (in one package only)"
        return
    }
    # The installed files before the control files: md5sums differs whenever
    # one of them does.
    while read -r f; do
        cmp -s "$x/tree/$f" "$y/tree/$f" || {
            echo "${f#./}"
            return
        }
    done < <(cd "$x/tree" && { find . -path ./DEBIAN -prune -o -type f -print | sort; find ./DEBIAN -type f | sort; })
    for f in control data ar; do
        if ! cmp -s "$x/$f.list" "$y/$f.list"; then
            echo "$f archive entry: $(diff "$x/$f.list" "$y/$f.list" | grep -m1 '^<' | cut -c3-)"
            return
        fi
    done
    echo "the compressed archives (same files, modes and times)"
}
where=$(firstdiff)
if command -v diffoscope >/dev/null; then
    log "diffoscope's report, the first 60 lines:"
    diffoscope --no-progress --text - "${debs[0]}" "${debs[1]}" 2>&1 | head -60 >&2 || true
fi
echo "reproducible: DIFFER $(basename "${debs[0]}") commit=$short a=$suma b=$sumb first: $where time=$took"
exit 1
