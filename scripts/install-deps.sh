#!/usr/bin/env bash
# Installs the Debian packages tovi-chat needs to build, test and run.
# Idempotent: only missing packages are installed, and the package lists are
# refreshed once, right before the first install.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libsdl2-image-dev libcairo2-dev libpango1.0-dev
  libcurl4-openssl-dev libssl-dev libcpp-httplib-dev openssl
  fonts-wqy-microhei fonts-dejavu-core
  xvfb xdotool x11-utils imagemagick python3
  clang libclang-rt-14-dev nlohmann-json3-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
