#!/usr/bin/env bash
# Installs, on Debian as root, whatever the build and the tests need and is
# not there yet. Safe to run again: it only installs what is missing.
#   install-deps.sh [--run]    --run: also what scripts/run.sh needs
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest libgtest-dev
  clang libclang-rt-14-dev
  mingw-w64
  wine wine64 wine32:i386
  xvfb xdotool x11-utils
  python3 locales
)
[ "${1:-}" = --run ] && packages+=(imagemagick)

# The Japanese message texts are checked under a Japanese locale.
japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP.utf-\?8$' && return 0
  [ "$(id -u)" -eq 0 ] || return 0
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  japanese_locale
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi

# 32-bit Wine needs the i386 architecture.
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
japanese_locale
