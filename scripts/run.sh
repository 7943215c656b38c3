#!/usr/bin/env bash
# Shows the utility at work, from a fresh Debian machine (as root): installs
# what is missing, builds the 64-bit Windows binaries, and starts Tavrin64.exe
# under Wine, on $DISPLAY when it is set, else on an Xvfb of its own, beside
# a demo window: a long list without the keyboard focus next to an edit box
# that has it. Real X wheel events over the list then scroll it although it
# does not have the focus. Prints the list's first visible line before and
# after, saves a screenshot, and ends the utility with "terminate".
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh --run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tavrin64 demo_window

bin=$root/build/win64/bin
screenshot=$root/build/tavrin64-demo.png
# As shipped: no settings file beside the program (the tests leave theirs).
rm -f "$bin/Tavrin64.ini"
log=$(mktemp)
source scripts/wine_session.sh
wine_session_start user

wine "$bin/demo_window.exe" >"$log" 2>/dev/null &
for _ in $(seq 100); do grep -q '^list at' "$log" && break; sleep 0.2; done
read -r _ _ x y < <(grep '^list at' "$log" | tr -d '\r')
first_line() { grep 'first visible line' "$log" | tail -n1 | tr -d '\r' | awk '{print $4}'; }
for _ in $(seq 50); do [ -n "$(first_line)" ] && break; sleep 0.1; done
before=$(first_line)

wine "$bin/Tavrin64.exe" &
xdotool mousemove "$x" "$y"
# Turn the wheel down a notch at a time until the utility, starting
# meanwhile, scrolls the list; then two notches more.
for _ in $(seq 50); do
  xdotool click 5
  sleep 0.2
  [ "$(first_line)" != "$before" ] && break
done
xdotool click 5 click 5
sleep 0.5
after=$(first_line)

import -window root "$screenshot"
wine "$bin/Tavrin64.exe" terminate
echo "The focus is in the edit box; the wheel turned over the list beside it."
echo "First visible line of the list: before $((before + 1)), after $((after + 1))."
echo "Screenshot: $screenshot"
rm -f "$log"
if [ "$after" = "$before" ]; then
  echo "The list did not move: the utility did not act." >&2
  exit 1
fi
