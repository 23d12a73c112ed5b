# The Windows test stages of scripts/test. Sourced, not run.
#
# Each stage runs in a lane of its own: its own X server, its own copy of the wine prefix and
# its own wineserver, so stages that share nothing (the screen, the registry, the prefix's
# dpi) can run side by side. A suite that derives a limit from a measurement of the machine
# (a trivial window's teardown, the first frame) runs with no other lane beside it, or the
# measurement would be taken on a machine that is busier than the one it is compared with.
source "$VESPERINE_ROOT/scripts/xvfb.sh"
source "$VESPERINE_ROOT/scripts/two-monitors.sh"

# A copy of the prepared prefix for one lane, removed when the lane ends.
use_prefix_copy() {
  local copy
  copy=$(mktemp -d "${TMPDIR:-/tmp}/vesperine-prefix.XXXXXX") || return 1
  cp -a "$WINEPREFIX/." "$copy" || return 1
  export WINEPREFIX=$copy
  on_exit "rm -rf '$copy'"
}

# lane_on_xvfb SCREEN COMMAND...: COMMAND on a virtual display of SCREEN (WxHxD), in a prefix
# copy and a wine session of its own.
lane_on_xvfb() {
  local screen=$1
  shift
  (
    unset DISPLAY
    use_prefix_copy || exit 1
    VESPERINE_SCREEN=$screen start_virtual_display || exit 1
    start_wine_session || exit 1
    "$@"
  )
}

# lane_on_two_monitors LAYOUT COMMAND...: the same on an X server of two monitors.
lane_on_two_monitors() {
  local layout=$1
  shift
  (
    unset DISPLAY
    use_prefix_copy || exit 1
    # Windows left to a window manager here, though none runs: with unmanaged windows a
    # display change during a GDI+ run ended the run under Wine, which managed windows do not.
    sed -i 's/^"Managed"="N"$/"Managed"="Y"/' "$WINEPREFIX/user.reg"
    on_exit "stop_wine_session; stop_two_monitors"
    start_two_monitors "$layout" || exit 1
    start_wine_session || exit 1
    echo "--- secondary monitor $layout of the primary"
    VESPERINE_LAYOUT=$layout "$@"
  )
}

# The prefix's dpi is read when its wineserver starts, so it is set in a session of its own
# before the session the tests run in.
at_dpi() {
  local dpi=$1
  shift
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    >/dev/null 2>&1 || return 1
  stop_wine_session
  start_wine_session || return 1
  VESPERINE_DPI_STAGE=1 "$@"
}

# The password stand-ins go into the lane's prefix copy only: the suite refuses to run elsewhere.
in_windows98_mode() { VESPERINE_WIN98_STAGE=1 "$@"; }

windows_ctest() { ctest --preset win32 -j1 "$@"; }

# The GDI+ scene's end-to-end tests take about as long as all the other suites that measure
# nothing, so they have a lane of their own.
GDI_SCENE_SUITE='^gdiscene_end_to_end_tests$'

run_windows_stages() {
  local screen=1024x768x24 layout others='measures|two-monitors|dpi144|win98'
  # One at a time within a lane: a lane's end-to-end tests share its screen and registry.
  # The suites that measure check closes, error reports and bounds, none of which depends on
  # the screen's size, and a software rasteriser's frame costs in proportion to its pixels:
  # they run on a small screen, where an emulated CPU draws a frame in well under half the
  # time. The other suites check sizes and places laid out for 1024 x 768.
  run_stage "windows tests that measure (alone)" \
    lane_on_xvfb 640x480x24 windows_ctest -L measures
  start_stage "windows tests" \
    lane_on_xvfb "$screen" windows_ctest -LE "$others" -E "$GDI_SCENE_SUITE"
  start_stage "windows tests, GDI+ scene" \
    lane_on_xvfb "$screen" windows_ctest -LE "$others" -R "$GDI_SCENE_SUITE"
  start_stage "windows tests at 144 dpi" lane_on_xvfb "$screen" at_dpi 144 windows_ctest -L dpi144
  start_stage "windows tests in Windows 98 mode" \
    lane_on_xvfb "$screen" in_windows98_mode windows_ctest -L win98
  # Two waves: with all five lanes at once a display change's news reached a two-monitor run
  # after its settle time and ended it.
  wait_stages
  for layout in right left; do
    start_stage "windows tests, two monitors ($layout)" \
      lane_on_two_monitors "$layout" windows_ctest -L two-monitors
  done
  wait_stages
}
