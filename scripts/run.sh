#!/usr/bin/env bash
# Shows what the utility adds, from a fresh Debian machine (as root):
# installs what is missing, builds the 64-bit Windows binaries, and runs a
# demo window under Wine, on $DISPLAY when it is set, else on an Xvfb of its
# own: a legacy pane that scrolls by its scroll bar but ignores the wheel,
# beside an edit box with the keyboard focus. Real X wheel events turn over
# the pane first without the utility (nothing moves), then with
# Tavrin64.exe running from the shipped settings file (it scrolls). Prints
# both results, saves a screenshot of each phase, and exits non-zero when
# the second phase does not show the difference.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh --run
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target tavrin64 demo_window

bin=$root/build/win64/bin
# As shipped: the settings file of the release archive beside the program.
cp host/Tavrin64.ini "$bin/Tavrin64.ini"
log=$(mktemp)
source scripts/wine_session.sh
wine_session_start user

wine "$bin/demo_window.exe" >"$log" 2>/dev/null &
for _ in $(seq 100); do grep -q '^pane at' "$log" && break; sleep 0.2; done
read -r _ _ x y < <(grep '^pane at' "$log" | tr -d '\r')
first_line() { grep 'first visible line' "$log" | tail -n1 | tr -d '\r' | awk '{print $4}'; }
for _ in $(seq 50); do [ -n "$(first_line)" ] && break; sleep 0.1; done
xdotool mousemove "$x" "$y"

# Without the utility: three notches over the pane.
start=$(first_line)
xdotool click 5 click 5 click 5
sleep 1
without=$(first_line)
import -window root "$root/build/tavrin64-demo-without.png"

# With it: turn the wheel a notch at a time until the utility, starting
# meanwhile, scrolls the pane; then two notches more.
wine "$bin/Tavrin64.exe" &
for _ in $(seq 50); do
  xdotool click 5
  sleep 0.2
  [ "$(first_line)" != "$without" ] && break
done
xdotool click 5 click 5
sleep 0.5
with=$(first_line)
import -window root "$root/build/tavrin64-demo-with.png"
wine "$bin/Tavrin64.exe" terminate
rm -f "$log"

echo "The focus is in the edit box; the wheel turned over the legacy pane."
echo "Without Tavrin64: first visible line $start, then $without."
echo "With Tavrin64:    first visible line $without, then $with."
echo "Screenshots: build/tavrin64-demo-without.png, build/tavrin64-demo-with.png"
if [ "$without" != "$start" ] || [ "$with" = "$without" ]; then
  echo "The pane did not show the difference: the utility did not act." >&2
  exit 1
fi
