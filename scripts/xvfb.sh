# Starts a virtual X display for wine unless one is usable already; sourced.
# Sets DISPLAY and registers a trap that stops the server on exit.
start_virtual_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  local n
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${VESPERINE_SCREEN:-1024x768x24}" +extension GLX -nolisten tcp \
      >/tmp/vesperine-xvfb-$n.log 2>&1 &
    VESPERINE_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      sleep 0.1
    done
    if xdpyinfo >/dev/null 2>&1; then
      trap 'stop_virtual_display' EXIT
      return
    fi
    kill "$VESPERINE_XVFB_PID" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  return 1
}

stop_virtual_display() {
  stop_wine_session
  [ -n "${VESPERINE_XVFB_PID:-}" ] && kill "$VESPERINE_XVFB_PID" 2>/dev/null || true
}
