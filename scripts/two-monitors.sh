# A real X server with two monitors for wine, sourced by scripts/test: Xorg's dummy video
# driver with two outputs laid out by xrandr, and a compositor so layered windows blend.
#   start_two_monitors right|left   primary 800x600, secondary 640x480 right of it, or
#                                   left of it (wine then places it at negative x)
# Small monitors: a software rasteriser's frame costs in proportion to its pixels, and on an
# emulated CPU a frame over two large ones took seconds. The rows check covers, seams and
# strips, which hold at any size.
#   stop_two_monitors               stops the compositor and the server
# Sets DISPLAY. The caller stops wine's session before and starts one after, so wine
# reads the layout anew.
two_monitors_config() {
  cat <<'CONF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
  Modeline "800x600" 40.00 800 840 968 1056 600 601 605 628
  Modeline "640x480" 23.86 640 656 720 800 480 481 484 497
  Modeline "512x384" 14.90 512 520 568 624 384 385 388 398
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Modes "800x600" "640x480" "512x384"
    Virtual 1440 600
  EndSubSection
EndSection
CONF
}

start_two_monitors() {
  local layout=$1
  # A folder per server: the two layouts' servers may run side by side.
  local folder
  folder=$(mktemp -d "${TMPDIR:-/tmp}/vesperine-two-monitors.XXXXXX") || return 1
  VESPERINE_XORG_FOLDER=$folder
  two_monitors_config >"$folder/dummy.conf"
  # The server picks a free display and names it, so servers started together never race.
  Xorg -displayfd 3 -config "$folder/dummy.conf" -noreset -nolisten tcp \
    -logfile "$folder/xorg.log" 3>"$folder/display" >"$folder/xorg.out" 2>&1 &
  VESPERINE_XORG_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$folder/display" ] && break
    kill -0 "$VESPERINE_XORG_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$folder/display" ]; then
    echo "could not start Xorg with the dummy driver: $(tail -5 "$folder/xorg.log" 2>/dev/null)" >&2
    return 1
  fi
  export DISPLAY=":$(head -1 "$folder/display")"
  xdpyinfo >/dev/null 2>&1 || return 1
  # 512 x 384 for the display-change rows, which set it on the monitor at the right end;
  # 640 x 480 on the primary is the Direct3D full-screen mode.
  xrandr --addmode DUMMY1 640x480 && xrandr --addmode DUMMY1 512x384 || return 1
  if [ "$layout" = left ]; then
    xrandr --output DUMMY1 --mode 640x480 --pos 0x0 \
      --output DUMMY0 --mode 800x600 --pos 640x0 --primary || return 1
  else
    xrandr --output DUMMY0 --mode 800x600 --pos 0x0 --primary \
      --output DUMMY1 --mode 640x480 --pos 800x0 || return 1
  fi
  # A full query: without it the server had not published the layout when wine started.
  xrandr --query >/dev/null
  xcompmgr >/dev/null 2>&1 &
  VESPERINE_XCOMPMGR_PID=$!
}

stop_two_monitors() {
  [ -n "${VESPERINE_XCOMPMGR_PID:-}" ] && kill "$VESPERINE_XCOMPMGR_PID" 2>/dev/null
  [ -n "${VESPERINE_XORG_PID:-}" ] && kill "$VESPERINE_XORG_PID" 2>/dev/null
  [ -n "${VESPERINE_XORG_FOLDER:-}" ] && rm -rf "$VESPERINE_XORG_FOLDER"
  VESPERINE_XCOMPMGR_PID=
  VESPERINE_XORG_PID=
  VESPERINE_XORG_FOLDER=
  return 0
}
