#!/usr/bin/env bash
# Runs one Windows test program under Wine, with a deadline, and cleans up
# only what it started.
#
#   run_wine.sh [--x11] [--timeout SECONDS] PROGRAM [ARGS...]
#
# The Wine prefix lives in the build tree (TAVRIN_WINE_PREFIX, default
# build/wine beside the presets' trees); it is created once and reused, and a
# lock keeps two runs out of it at the same time. Each run gets its own
# wineserver, which it ends with `wineserver -k`, so no hook or window of one
# test outlives it. Without --x11 Wine's null display driver is used (exact
# pointer positions, no X server); with it, a private Xvfb is started for the
# run and DISPLAY points at it, for tests that drive real input (xdotool).
set -euo pipefail

display_driver=null
timeout_s=120
while [ $# -gt 0 ]; do
  case "$1" in
    --x11) display_driver=x11; shift ;;
    --timeout) timeout_s=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--x11] [--timeout S] PROGRAM [ARGS...]" >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
prefix=${TAVRIN_WINE_PREFIX:-$here/../../build/wine}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

exec 9>"$prefix.lock"
flock 9

xvfb_pid=
display_file=
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  [ -z "$display_file" ] || rm -f "$display_file"
}
trap cleanup EXIT

if [ ! -f "$prefix/.tavrin-ready" ]; then
  echo "creating the Wine prefix in $prefix (once)" >&2
  wineboot -i >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.tavrin-ready"
fi

if [ "$display_driver" = x11 ]; then
  # Xvfb picks a free display itself and writes its number when it is ready.
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  [ -s "$display_file" ] || { echo "run_wine: Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -n1 "$display_file")
fi

# The display driver is a setting of the prefix; change it only when needed.
if [ "$(cat "$prefix/.tavrin-driver" 2>/dev/null)" != "$display_driver" ]; then
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$display_driver" /f >/dev/null 2>&1
  wineserver -w
  echo "$display_driver" > "$prefix/.tavrin-driver"
fi

status=0
timeout --kill-after=5 "$timeout_s" wine "$@" || status=$?
[ $status -eq 124 ] && echo "run_wine: $1 did not end within ${timeout_s}s" >&2
exit $status
