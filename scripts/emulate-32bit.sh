#!/usr/bin/env bash
# Wine starts every 32-bit Windows program through its 32-bit Linux loader.
# A kernel built without IA-32 support refuses every 32-bit Linux program
# ("Exec format error"); on such a machine, and only there, this script has
# the kernel run them under qemu's user-mode emulator instead, registered
# with binfmt_misc. Debian 12's qemu (7.2) takes about 45 s to start one
# Wine process, Debian 13's (10.0) a quarter of a second: its qemu-i386, a
# static program that runs here as it is, is taken from that release's
# package, from the archive that the machine's own apt sources name, with
# apt's state kept apart from the machine's own.
#
#   emulate-32bit.sh [LOADER]   LOADER: the 32-bit loader to try, by default
#                               Wine's own
#
# As root. Does nothing where 32-bit programs run already. A loader that
# fails for any other reason (a partial upgrade, a sandbox, a missing
# package) is said, and nothing is registered: every 32-bit program of the
# machine would go through the emulator. Where binfmt_misc cannot be used it
# says so, and the tests skip what needs 32-bit programs.
set -euo pipefail

loader=${1:-/usr/lib/wine/wine}
name=tavrin-i386
binfmt=/proc/sys/fs/binfmt_misc

status=0
said=$("$loader" --version 2>&1) || status=$?
[ $status -eq 0 ] && exit 0
# The shell reports a refused exec as 126; so it does a file that may not be
# run, which is no reason to emulate anything.
if [ $status -ne 126 ] || ! grep -q 'Exec format error' <<<"$said"; then
  echo "emulate-32bit: $loader fails (exit status $status): ${said:-no output}" >&2
  echo "emulate-32bit: the kernel is not what refuses it, so no emulator is registered; mend that failure instead" >&2
  exit 1
fi

emulator=/usr/local/lib/tavrin/qemu-i386
if [ ! -x "$emulator" ]; then
  # The archive that serves this release's main component, as apt itself
  # reads the machine's sources (either format, a local mirror included).
  . /etc/os-release
  release=${VERSION_CODENAME:?no release name in /etc/os-release}
  archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(TARGET_OF)' \
    'Identifier: Packages' | awk -v r="$release" '$2 == r && $3 == "deb" { print $1; exit }')
  if [ -z "$archive" ]; then
    echo "emulate-32bit: no apt source names an archive for $release" >&2
    exit 1
  fi
  # Debian 12's qemu is too slow for Wine; from Debian 13 on a release's own
  # serves.
  case "$release" in
    bookworm) suite=trixie ;;
    *) suite=$release ;;
  esac
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  chmod 755 "$work"
  chown _apt "$work" 2>/dev/null || true  # apt downloads as its own user
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial"
  echo "deb [arch=amd64] $archive $suite main" >"$work/sources.list"
  apt_apart=(-o Dir::Etc::sourcelist="$work/sources.list" -o Dir::Etc::sourceparts=-
    -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache")
  apt-get "${apt_apart[@]}" update -qq
  (cd "$work" && apt-get "${apt_apart[@]}" download -qq qemu-user)
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/root"
  install -D -m 755 "$work/root/usr/bin/qemu-i386" "$emulator"
fi

if ! { mountpoint -q "$binfmt" || mount -t binfmt_misc binfmt_misc "$binfmt"; } 2>/dev/null; then
  echo "emulate-32bit: binfmt_misc cannot be used here: no 32-bit programs will run" >&2
  exit 0
fi
# 32-bit x86 ELF programs; F opens the emulator now, so that it serves
# every mount namespace too.
if [ ! -e "$binfmt/$name" ]; then
  printf '%s' ":$name:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$emulator:F" \
    >"$binfmt/register"
  echo "emulate-32bit: every 32-bit x86 program of this machine now runs under $emulator, until the next reboot"
  echo "emulate-32bit: to undo it now: echo -1 > $binfmt/$name"
fi
"$loader" --version >/dev/null 2>&1 ||
  echo "emulate-32bit: Wine's 32-bit loader still does not start: no 32-bit programs will run" >&2
