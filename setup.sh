#!/usr/bin/env bash
# Installs the Debian packages kivctrl needs to build, test and benchmark.
# Idempotent: does nothing when everything is already there. Run as root.
set -euo pipefail

packages=(
  g++ cmake pkg-config clang libclang-rt-14-dev
  libosmesa6-dev libglu1-mesa-dev libx11-dev libjpeg-dev libtiff-dev
  libcurl4-openssl-dev uuid-dev libfreetype-dev libfontconfig-dev fontconfig fonts-dejavu-core
  libpango1.0-dev libcairo2-dev libpng-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xdotool x11-apps python3 python3-pyftpdlib imagemagick
  # Independent implementations used only by tests and benchmarks.
  libstorm-dev libassimp-dev libmeshoptimizer-dev libfcl-dev view3dscene
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
