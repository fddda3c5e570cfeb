#!/usr/bin/env bash
# Installs, on Debian 12, the packages that building, running and testing Zerlo need.
# Only what is missing is installed; nothing happens when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config python3
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libsdl2-dev libncurses-dev ncurses-term
)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix wine wine64
    xvfb xauth xdotool imagemagick tmux hyperfine
  )
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
