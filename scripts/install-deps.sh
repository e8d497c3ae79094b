#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# As root it installs what is missing; otherwise it prints the one command to run.
set -euo pipefail
packages=(build-essential cmake pkgconf libgtest-dev qt6-base-dev libcpp-httplib-dev libcurl4-openssl-dev libsqlite3-dev libssl-dev openssl nghttp2-server
          fonts-liberation fonts-ipafont-gothic xdg-utils desktop-file-utils appstream man-db)
if [ "${1:-}" = "--with-xvfb" ]; then
  packages+=(xvfb xauth)
fi
if [ "${1:-}" = "--with-fuzz" ]; then
  packages+=(clang libclang-rt-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:"
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}"
  exit 1
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
