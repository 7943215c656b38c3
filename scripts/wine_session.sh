# Sourced by the scripts that run Windows programs under Wine: one Wine
# prefix in the build tree, created once and then reused, with a lock so that
# two runs never share it at the same time; a wineserver of the run's own,
# ended afterwards; and a display.
#
#   wine_session_start null|x11|user   null: Wine's null display driver
#                                      (exact pointer positions, no X);
#                                      x11: a private Xvfb for this run;
#                                      user: $DISPLAY if set, else x11.
#   wine_session_end                   (also run on exit)

wine_session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${TAVRIN_WINE_PREFIX:-$wine_session_root/build/wine}
# WINEDEBUG may be given, to see a program's debug output.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
wine_session_xvfb=
wine_session_display_file=

wine_session_end() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [ -n "$wine_session_xvfb" ]; then
    kill "$wine_session_xvfb" 2>/dev/null || true
    wait "$wine_session_xvfb" 2>/dev/null || true
    wine_session_xvfb=
  fi
  [ -z "$wine_session_display_file" ] || rm -f "$wine_session_display_file"
}

# A kernel built without 32-bit support cannot start Wine's 32-bit loader,
# which Debian's wine command tries first, unless scripts/emulate-32bit.sh
# could set up the emulator: without either, 64-bit Windows programs run
# through the 64-bit loader alone, and TAVRIN_NO_32BIT tells the tests that
# no 32-bit program can run here.
wine_session_pick_loader() {
  unset TAVRIN_NO_32BIT
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then return; fi
  local shims="$WINEPREFIX.loader"
  mkdir -p "$shims"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
    chmod +x "$shims/$name"
  done
  export PATH="$shims:$PATH" WINELOADER=/usr/lib/wine/wine64 TAVRIN_NO_32BIT=1
}

wine_session_start() {
  local driver=$1
  if [ "$driver" = user ]; then
    if [ -n "${DISPLAY:-}" ]; then driver=x11; else driver=xvfb; fi
  elif [ "$driver" = x11 ]; then
    driver=xvfb
  fi
  [ "$driver" = x11 ] || unset DISPLAY
  unset WAYLAND_DISPLAY

  mkdir -p "$WINEPREFIX"
  WINEPREFIX=$(cd "$WINEPREFIX" && pwd)
  wine_session_pick_loader
  exec 9>"$WINEPREFIX.lock"
  flock 9
  trap wine_session_end EXIT

  # A prefix made where no 32-bit program ran lacks the 32-bit system:
  # without its time stamp, Wine brings the prefix up to date.
  if [ -z "${TAVRIN_NO_32BIT:-}" ] &&
    [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
    rm -f "$WINEPREFIX/.tavrin-ready" "$WINEPREFIX/.update-timestamp"
  fi
  if [ ! -f "$WINEPREFIX/.tavrin-ready" ]; then
    echo "creating the Wine prefix in $WINEPREFIX (once)" >&2
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tavrin-ready"
  fi

  if [ "$driver" = xvfb ]; then
    # Xvfb picks a free display itself and writes its number when ready.
    wine_session_display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
      3>"$wine_session_display_file" 2>/dev/null &
    wine_session_xvfb=$!
    for _ in $(seq 100); do [ -s "$wine_session_display_file" ] && break; sleep 0.1; done
    [ -s "$wine_session_display_file" ] || { echo "Xvfb did not start" >&2; return 1; }
    export DISPLAY=:$(head -n1 "$wine_session_display_file")
    driver=x11
  fi

  # The display driver is a setting of the prefix; change it only when needed.
  if [ "$(cat "$WINEPREFIX/.tavrin-driver" 2>/dev/null)" != "$driver" ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$driver" /f >/dev/null 2>&1
    wineserver -w
    echo "$driver" > "$WINEPREFIX/.tavrin-driver"
  fi
}
