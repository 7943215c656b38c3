#!/usr/bin/env bash
# Runs one Windows program under Wine on the null display driver (exact
# pointer positions, no X server), with a deadline, and cleans up only what
# it started (its own wineserver).
#
#   run_wine.sh [--timeout SECONDS] PROGRAM [ARGS...]
#
# The prefix is TAVRIN_WINE_PREFIX, by default build/wine.
set -euo pipefail

timeout_s=120
while [ $# -gt 0 ]; do
  case "$1" in
    --timeout) timeout_s=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || { echo "usage: $0 [--timeout S] PROGRAM [ARGS...]" >&2; exit 2; }

source "$(dirname "$0")/../../scripts/wine_session.sh"
wine_session_start null

# A 32-bit program on a machine that cannot run one: skipped, and said so.
if [ -n "${TAVRIN_NO_32BIT:-}" ] && file -b "$1" | grep -q '^PE32 '; then
  echo "run_wine: skipped: $(basename "$1") is a 32-bit program, and this machine's kernel runs no 32-bit programs" >&2
  exit 77
fi

status=0
timeout --kill-after=5 "$timeout_s" wine "$@" || status=$?
[ $status -eq 124 ] && echo "run_wine: $1 did not end within ${timeout_s}s" >&2
exit $status
