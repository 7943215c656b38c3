#!/usr/bin/env bash
# Every test, from a fresh Debian machine (as root): installs what is missing,
# then configures, builds and tests each preset in turn: the native unit
# tests, the same under AddressSanitizer and UndefinedBehaviorSanitizer, a
# bounded libFuzzer run over the settings reader, then the 32-bit and the
# 64-bit Windows builds with their end-to-end tests under Wine (and the
# release archive).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

status=0
for preset in native native-sanitize fuzz win32 win64; do
  echo "== $preset"
  cmake --workflow --preset "$preset" || status=1
done
exit $status
