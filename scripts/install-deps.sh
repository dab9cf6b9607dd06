#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages needed to build, test and benchmark
# Velmora. Safe to run repeatedly: it does nothing when everything is present.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpng-dev libgif-dev libjpeg-dev libwebp-dev zlib1g-dev libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libdeflate-dev binutils-mingw-w64-x86-64
  clang libclang-rt-14-dev desktop-file-utils
  qt6-translations-l10n
  xvfb xauth xdotool openbox x11-utils
  dpkg-dev lintian appstream groff-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
