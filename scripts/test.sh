#!/usr/bin/env bash
# Every test, from a fresh Debian machine (as root): installs what is missing,
# then configures, builds and tests each preset in turn: the native unit
# tests, the same under AddressSanitizer and UndefinedBehaviorSanitizer, a
# bounded libFuzzer run over the decisions, then the 32-bit and the 64-bit
# Windows builds with their end-to-end tests under Wine (and the release
# archive).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

status=0
for preset in native native-sanitize fuzz; do
  echo "== $preset"
  cmake --workflow --preset "$preset" || status=1
done
# The 64-bit host serves 32-bit applications through the 32-bit build's
# companion, and the 32-bit end-to-end cases run against the 64-bit host:
# build 32-bit, then build, test and package 64-bit, then test 32-bit.
echo "== win32 (build)"
{ cmake --preset win32 && cmake --build --preset win32; } || status=1
echo "== win64"
cmake --workflow --preset win64 || status=1
echo "== win32 (test)"
ctest --preset win32 || status=1
exit $status
