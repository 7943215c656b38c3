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
  python3 file
)
# The run command shows the utility on an X display and drives real input.
[ "${1:-}" = --run ] && packages+=(xvfb xdotool x11-utils imagemagick)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]}; run as root to install them" >&2
    exit 1
  fi
  # 32-bit Wine needs the i386 architecture.
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine's 32-bit loader on a kernel that runs no 32-bit programs.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1 && [ "$(id -u)" -eq 0 ]; then
  bash "$(dirname "$0")/emulate-32bit.sh" ||
    echo "install-deps: no emulator for 32-bit programs; the tests skip what needs them" >&2
fi
