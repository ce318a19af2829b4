# Prepares a display for the windows the Windows suite opens under Wine.
# Source it (bash) with WINEPREFIX set, BEFORE the suite's "wineserver -p" and
# wineboot: it writes the prefix's settings through a Wine server of its own
# and stops that server again, so the suite's server starts with them.
#
# - Starts Xvfb on a free display (-displayfd) and exports DISPLAY.
# - Turns on Wine's virtual desktop (1024x768): without it there is no title
#   bar, every box takes about 2 s to close and keys are lost.
# - Exports TARNVEL_WINDOW_DISPLAY=1: window tests fail without it instead of
#   passing without a display.
# - Stops Xvfb when the shell exits, after the EXIT trap already set.

wine_display_start() {
  local size=1024x768
  local folder=${WINE_DISPLAY_DIR:-$(dirname "$WINEPREFIX")}
  local numberFile="$folder/xvfb-display"
  mkdir -p "$folder"
  rm -f "$numberFile"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$numberFile" \
    </dev/null >"$folder/xvfb.log" 2>&1 &
  WINE_DISPLAY_XVFB_PID=$!
  local waited=0
  until grep -q '^[0-9][0-9]*$' "$numberFile" 2>/dev/null; do
    if ! kill -0 "$WINE_DISPLAY_XVFB_PID" 2>/dev/null || [ $waited -ge 100 ]; then
      echo "wine-display: Xvfb did not start, see $folder/xvfb.log" >&2
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=":$(cat "$numberFile")"
  export TARNVEL_WINDOW_DISPLAY=1

  # The EXIT trap that is already set runs first (it stops Wine), then Xvfb goes.
  local previous
  previous=$(wine_display_exit_trap)
  trap "${previous:+$previous; }wine_display_stop" EXIT

  mkdir -p "$WINEPREFIX"
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1 &&
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f </dev/null >/dev/null 2>&1 ||
    { echo "wine-display: could not write the virtual desktop into $WINEPREFIX" >&2; return 1; }
  wineserver -k </dev/null >/dev/null 2>&1 || true
  wineserver -w </dev/null >/dev/null 2>&1 || true
}

# The command of the current EXIT trap, unquoted.
wine_display_exit_trap() {
  local listed
  listed=$(trap -p EXIT)
  [ -n "$listed" ] || return 0
  eval "set -- $listed"  # trap -- 'command' EXIT
  printf '%s' "$3"
}

wine_display_stop() {
  if [ -n "${WINE_DISPLAY_XVFB_PID:-}" ]; then
    kill "$WINE_DISPLAY_XVFB_PID" 2>/dev/null || true
    wait "$WINE_DISPLAY_XVFB_PID" 2>/dev/null || true
    WINE_DISPLAY_XVFB_PID=
  fi
}

wine_display_start
