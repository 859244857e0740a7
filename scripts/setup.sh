#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program
# need.  Quiet and quick when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev libgl-dev
  zlib1g-dev libjpeg62-turbo-dev libfreetype-dev fonts-liberation2
  libgtest-dev libgmock-dev libbenchmark-dev libcairo2-dev
  clang libclang-rt-14-dev
  ngspice sox locales
  shared-mime-info libglib2.0-bin
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# One locale with a decimal comma, so the tests can show that number text
# ignores the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
