#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Does nothing when all of it is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  zlib1g-dev libmd-dev googletest libgtest-dev
  clang libclang-rt-14-dev pigz
  wine wine64
  xvfb xauth xdotool x11-apps x11-utils imagemagick
  fonts-wqy-microhei fonts-wqy-zenhei
  locales python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Wine test bed runs programs under zh_CN.GBK (code page 936) and
# zh_TW.BIG5 (code page 950); both locales must exist.
need_locale=0
for l in zh_CN.GBK zh_TW.BIG5 zh_CN.UTF-8; do
  locale -a 2>/dev/null | grep -qi "^${l/-/}$\|^${l}$" || need_locale=1
done
if ((need_locale)); then
  for l in "zh_CN.GBK GBK" "zh_TW.BIG5 BIG5" "zh_CN.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
    grep -qx "$l" /etc/locale.gen 2>/dev/null || echo "$l" >> /etc/locale.gen
  done
  locale-gen >/dev/null
fi
