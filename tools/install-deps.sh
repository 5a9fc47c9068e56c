#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need. Safe to run again:
# nothing is fetched when everything is already there.
set -euo pipefail
packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev libqt6opengl6-dev libglu1-mesa-dev libgl1-mesa-dri libegl-dev libopengl-dev
  libfreetype-dev libfontconfig-dev libpng-dev
  xvfb xauth fonts-noto-cjk
  python3 python3-ezdxf python3-matplotlib proj-bin gdal-bin unzip poppler-utils
  libzip-dev zipcmp zipmerge ziptool desktop-file-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
