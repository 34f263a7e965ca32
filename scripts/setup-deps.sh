#!/bin/sh
# Installs the Debian 12 packages the project builds, runs and tests with (as root). Fast when
# everything is already there.
set -e
packages="build-essential cmake ninja-build pkg-config git googletest
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 wine32:i386
  libwebkit2gtk-4.1-dev libxss-dev xvfb xauth xdotool openbox x11-utils imagemagick fonts-noto-cjk
  clang libclang-rt-14-dev procps prometheus
  dpkg-dev patchelf zip unzip lintian systemd ansible-core python3-apt libxml2-utils file python3"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" != 0 ]; then echo "setup-deps: run as root to install packages" >&2; exit 1; fi
dpkg --print-foreign-architectures | grep -q i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends $missing
