#!/usr/bin/env bash
# Installs the Debian packages the game needs and does nothing when all of
# them are present.
#   install-deps.sh play   building, playing and packaging the game
#   install-deps.sh test   the same, plus tests, benchmarks, formatting and
#                          screenshots
set -euo pipefail

set_=${1:-play}
# Liberation 2 (the windows' sans font) is fonts-liberation2 on Debian 12;
# from Debian 13 on fonts-liberation itself is version 2 and the other name
# only a transitional package.
liberation=fonts-liberation
if [[ $(. /etc/os-release 2>/dev/null && echo "${VERSION_ID:-}") == 12 ]]; then
    liberation=fonts-liberation2
fi
play=(
    # compiler and build tools (build-essential brings make and dpkg-dev)
    build-essential cmake ninja-build pkg-config
    # Qt widgets
    qt6-base-dev libgl-dev
    # a sans font for the windows
    fonts-dejavu-core "$liberation"
    # the package's library dependencies are found through `file`
    file
)
test=(
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # formatting
    clang-format
    # screenshots of the real windows
    xvfb xauth xdotool imagemagick
)
case $set_ in
play) packages=("${play[@]}") ;;
test) packages=("${play[@]}" "${test[@]}") ;;
*)
    echo "usage: install-deps.sh [play|test]" >&2
    exit 2
    ;;
esac

# One query for all; a package dpkg has never heard of is simply not listed.
installed=$(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null |
    awk '$2 == "installed" { print $1 }' || true)
missing=()
for p in "${packages[@]}"; do
    grep -qxF "$p" <<<"$installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    command -v sudo >/dev/null || {
        echo "install-deps: not root and no sudo; install as root: ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
