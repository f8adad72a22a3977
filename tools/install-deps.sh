#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Quick when everything is already there: dpkg is asked first, apt only for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ doctest-dev
  g++-mingw-w64-x86-64-posix
  wine wine64 fonts-wine fonts-ipafont-gothic fonts-dejavu-core
  xvfb xauth x11-utils xdotool xclip imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages need root: run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
