#!/usr/bin/env bash
# Installs the Debian packages that building, testing, running and taking
# screenshots of the game need. Does nothing when all of them are present.
set -euo pipefail

packages=(
    # compiler and build tools
    build-essential g++ make cmake ninja-build pkg-config
    # Qt: widgets, multimedia (QSoundEffect and its back ends), platform plugins
    qt6-base-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins libgl-dev
    gstreamer1.0-plugins-base
    # a sans font for the windows
    fonts-dejavu-core fonts-liberation2
    # tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev
    # formatting
    clang-format
    # screenshots of the real windows
    xvfb xauth xdotool imagemagick
)

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
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
