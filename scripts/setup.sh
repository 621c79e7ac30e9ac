#!/usr/bin/env bash
# Installs what Quenbrook needs to build, run and test on Debian 12, from
# Debian's packages only. Installs nothing that is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev
  libcurl4-openssl-dev libssl-dev libicu-dev duktape-dev nlohmann-json3-dev
  libgtest-dev libgmock-dev
  ca-certificates openssl python3 tinyproxy
  xvfb xauth xdotool imagemagick fonts-noto-cjk
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
