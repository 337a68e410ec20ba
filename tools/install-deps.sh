#!/usr/bin/env bash
# Installs what building, running and testing the show needs (Debian 12).
# Runs apt-get only for packages that are missing; needs root or sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libgl-dev libglu1-mesa-dev freeglut3-dev libglew-dev libdevil-dev libjpeg62-turbo-dev libpng-dev
  libsdl2-dev libfltk1.3-dev fluid libfreetype-dev libfontconfig-dev libsndfile1-dev
  libx11-dev libxrandr-dev
  fonts-liberation fonts-comic-neue fonts-dejavu-core
  libgtest-dev googletest clang libclang-rt-14-dev
  xvfb xauth xdotool x11-utils x11-xserver-utils x11-apps libgl1-mesa-dri mesa-utils
  ffmpeg sox strace file dpkg-dev desktop-file-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
