#!/usr/bin/env bash
# Every test, from a fresh Debian machine (as root): installs what is missing,
# then configures, builds and tests each preset in turn: the native unit
# tests, then the 64-bit and the 32-bit Windows builds with their end-to-end
# tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

status=0
for preset in native win64 win32; do
  echo "== $preset"
  cmake --workflow --preset "$preset" || status=1
done
exit $status
