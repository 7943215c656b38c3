#!/usr/bin/env bash
# Shows what the utility adds, from a fresh Debian machine (as root):
# installs what is missing, builds the Windows binaries, and runs a demo
# window of each bitness under Wine, on $DISPLAY when it is set, else on an
# Xvfb of its own: a legacy pane that scrolls by its scroll bar but ignores
# the wheel, beside an edit box with the keyboard focus. Real X wheel events
# turn over each pane first without the utility (nothing moves), then with
# Tavrin64.exe and its companion running from the shipped settings file (it
# scrolls). Prints the results, saves a screenshot of each phase, and exits
# non-zero when the second phase does not show the difference. A machine
# that runs no 32-bit programs shows the 64-bit demo alone.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh --run
# The 32-bit companion and demo first: the 64-bit build puts the companion
# beside the host.
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target companion tv_hook demo_window
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tavrin64 demo_window companion_beside

bin=$root/build/win64/bin
# As shipped: the settings file of the release archive beside the program.
cp host/Tavrin64.ini "$bin/Tavrin64.ini"
source scripts/wine_session.sh
wine_session_start user

# The demo of each bitness that this machine runs, side by side.
bits=(64)
if [ -z "${TAVRIN_NO_32BIT:-}" ]; then
  bits+=(32)
else
  echo "This machine runs no 32-bit programs: the 32-bit demo and the companion are left out."
fi
declare -A log x y start without with
for b in "${bits[@]}"; do
  log[$b]=$(mktemp)
  left=$([ "$b" = 64 ] && echo 40 || echo 660)
  wine "$root/build/win$b/bin/demo_window.exe" "$left" 80 >"${log[$b]}" 2>/dev/null &
done
first_line() { grep 'first visible line' "${log[$1]}" | tail -n1 | tr -d '\r' | awk '{print $4}'; }
for b in "${bits[@]}"; do
  for _ in $(seq 100); do grep -q '^pane at' "${log[$b]}" && break; sleep 0.2; done
  read -r _ _ "x[$b]" "y[$b]" < <(grep '^pane at' "${log[$b]}" | tr -d '\r')
  for _ in $(seq 50); do [ -n "$(first_line "$b")" ] && break; sleep 0.1; done
done

# Without the utility: three notches over each pane.
for b in "${bits[@]}"; do
  xdotool mousemove "${x[$b]}" "${y[$b]}"
  start[$b]=$(first_line "$b")
  xdotool click 5 click 5 click 5
  sleep 1
  without[$b]=$(first_line "$b")
done
import -window root "$root/build/tavrin64-demo-without.png"

# With it: turn the wheel a notch at a time until the utility, starting
# meanwhile, scrolls the pane; then two notches more, over each pane.
wine "$bin/Tavrin64.exe" &
for b in "${bits[@]}"; do
  xdotool mousemove "${x[$b]}" "${y[$b]}"
  for _ in $(seq 50); do
    xdotool click 5
    sleep 0.2
    [ "$(first_line "$b")" != "${without[$b]}" ] && break
  done
  xdotool click 5 click 5
  sleep 0.5
  with[$b]=$(first_line "$b")
done
import -window root "$root/build/tavrin64-demo-with.png"
wine "$bin/Tavrin64.exe" terminate

echo "The focus is in an edit box; the wheel turned over each legacy pane."
status=0
for b in "${bits[@]}"; do
  echo "$b-bit pane, without Tavrin64: first visible line ${start[$b]}, then ${without[$b]}."
  echo "$b-bit pane, with Tavrin64:    first visible line ${without[$b]}, then ${with[$b]}."
  if [ "${without[$b]}" != "${start[$b]}" ] || [ "${with[$b]}" = "${without[$b]}" ]; then
    echo "The $b-bit pane did not show the difference: the utility did not act." >&2
    status=1
  fi
  rm -f "${log[$b]}"
done
echo "Screenshots: build/tavrin64-demo-without.png, build/tavrin64-demo-with.png"
echo "(the second shows the utility's icon in Wine's own notification area, top left)"
exit $status
