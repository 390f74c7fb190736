#!/usr/bin/env bash
# Installs the Debian packages that building and testing Quorvin need.
# Idempotent: asks apt-get only for what is missing, so a second run takes a moment.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang-tidy
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libjpeg62-turbo-dev libqrencode-dev libgtest-dev
  fonts-arphic-uming fonts-liberation2 fonts-dejavu-core xdg-utils
  libzbar-dev zbar-tools libxcb1-dev libxcb-damage0-dev valgrind
  xvfb openbox xdotool xclip x11-utils dbus-daemon at-spi2-core python3-pyatspi imagemagick
  clang libclang-rt-14-dev
  fp-utils desktop-file-utils appstream binutils-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix wine64 googletest nsis devscripts lintian
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
