# Starts a virtual X display for wine unless one is usable already; sourced.
# Sets DISPLAY and stops the server when the script (or the lane's subshell) exits.
# VESPERINE_SCREEN gives its size (1024x768x24 unless set).
start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  # The server picks a free display and names it: lanes that start side by side never race
  # for the same number.
  local named
  named=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${VESPERINE_SCREEN:-1024x768x24}" +extension GLX -nolisten tcp \
    3>"$named" >"$named.log" 2>&1 &
  VESPERINE_XVFB_PID=$!
  on_exit stop_virtual_display
  local i
  for i in $(seq 100); do
    [ -s "$named" ] && break
    kill -0 "$VESPERINE_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ -s "$named" ]; then
    export DISPLAY=":$(head -1 "$named")"
    rm -f "$named" "$named.log"
    xdpyinfo >/dev/null 2>&1 && return
  fi
  echo "could not start Xvfb: $(cat "$named.log" 2>/dev/null)" >&2
  rm -f "$named" "$named.log"
  return 1
}

stop_virtual_display() {
  stop_wine_session
  [ -n "${VESPERINE_XVFB_PID:-}" ] && kill "$VESPERINE_XVFB_PID" 2>/dev/null
  VESPERINE_XVFB_PID=
  return 0
}
