#!/usr/bin/env bash
# Wine starts every 32-bit Windows program through its 32-bit Linux loader.
# A kernel built without IA-32 support refuses every 32-bit Linux program
# ("Exec format error"); on such a machine this script has the kernel run
# them under qemu's user-mode emulator instead, registered with binfmt_misc.
# Debian 12's qemu (7.2) takes about 45 s to start one Wine process, Debian
# 13's (10.0) a quarter of a second: its qemu-i386, a static program that
# runs here as it is, is taken from that release's package, with apt's
# state kept apart from the machine's own.
#
# As root. Does nothing where 32-bit programs run already; where binfmt_misc
# cannot be used it says so, and the tests skip what needs 32-bit programs.
set -euo pipefail

loader=/usr/lib/wine/wine
"$loader" --version >/dev/null 2>&1 && exit 0

emulator=/usr/local/lib/tavrin/qemu-i386
if [ ! -x "$emulator" ]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"  # apt downloads as its own user
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
  echo "deb [arch=amd64] http://deb.debian.org/debian trixie main" >"$work/sources.list"
  apt_apart=(-o Dir::Etc::sourcelist="$work/sources.list" -o Dir::Etc::sourceparts=-
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache")
  apt-get "${apt_apart[@]}" update -qq
  (cd "$work" && apt-get "${apt_apart[@]}" download -qq qemu-user)
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/root"
  install -D -m 755 "$work/root/usr/bin/qemu-i386" "$emulator"
fi

binfmt=/proc/sys/fs/binfmt_misc
if ! { mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"; } 2>/dev/null; then
  echo "emulate-32bit: binfmt_misc cannot be used here: no 32-bit programs will run" >&2
  exit 0
fi
# 32-bit x86 ELF programs; F opens the emulator now, so that it serves
# every mount namespace too.
if [ ! -e "$binfmt/tavrin-i386" ]; then
  printf '%s' ':tavrin-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$emulator"':F' \
    >"$binfmt/register"
fi
"$loader" --version >/dev/null 2>&1 ||
  echo "emulate-32bit: Wine's 32-bit loader still does not start: no 32-bit programs will run" >&2
