#!/usr/bin/env bash
# Runs one Windows test program under Wine, with a deadline, and cleans up
# only what it started (its own wineserver and, with --x11, its own Xvfb).
#
#   run_wine.sh [--x11] [--timeout SECONDS] PROGRAM [ARGS...]
#
# Without --x11 Wine's null display driver is used (exact pointer positions,
# no X server); with it, a private Xvfb, for tests that drive real input with
# xdotool. The prefix is TAVRIN_WINE_PREFIX, by default build/wine.
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

source "$(dirname "$0")/../../scripts/wine_session.sh"
wine_session_start "$display_driver"

status=0
timeout --kill-after=5 "$timeout_s" wine "$@" || status=$?
[ $status -eq 124 ] && echo "run_wine: $1 did not end within ${timeout_s}s" >&2
exit $status
