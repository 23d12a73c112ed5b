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
  # Without scripts/env.sh the prefix would be empty, and the copy would start at /.
  if [ -z "${WINEPREFIX:-}" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "no Wine prefix to copy (WINEPREFIX '${WINEPREFIX:-}'): source scripts/env.sh" >&2
    return 1
  fi
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

# The release as a user gets it: scripts/package makes it from the build the other stages
# test; a second MSI of the same saver one minor version up serves the upgrade rows, and a
# copy signed with a certificate made here the signing rows.
package_stage() {
  local work version next
  work=$(mktemp -d) || return 1
  on_exit "rm -rf '$work'"
  "$VESPERINE_ROOT/scripts/package" || return 1
  local dist=$VESPERINE_ROOT/dist
  version=$(sed -n 's/^#define VESPERINE_VERSION_TEXT "\(.*\)"$/\1/p' \
    "$VESPERINE_ROOT/build/win32/generated/vesperine_version.h")
  next=${version%.*}.$((${version#*.} + 1))
  mkdir -p "$work/upgrade"
  cp "$dist/Vesperine.scr" "$VESPERINE_ROOT/resources/vesperine.ico" \
    "$VESPERINE_ROOT/resources/installer/vesperine.wxs" "$work/upgrade/"
  (cd "$work/upgrade" && wixl -a x86 -D "Version=$next.0" -D SaverFile=Vesperine.scr \
    -D IconFile=vesperine.ico -o "Vesperine-$next.msi" vesperine.wxs) || return 1

  openssl req -x509 -newkey rsa:2048 -nodes -keyout "$work/key.pem" -out "$work/cert.pem" \
    -subj "/CN=Vesperine test signer" -days 2 2>/dev/null || return 1
  openssl pkcs12 -export -out "$work/signer.pfx" -inkey "$work/key.pem" -in "$work/cert.pem" \
    -passout pass:made-for-this-run || return 1
  VESPERINE_SIGN_PASSWORD=made-for-this-run "$VESPERINE_ROOT/scripts/package" \
    --sign "$work/signer.pfx" --out "$work/signed" || return 1

  local failed=0 file
  for file in "$work/signed/Vesperine.scr" "$work/signed/Vesperine-$version.msi"; do
    if osslsigncode verify -CAfile "$work/cert.pem" -in "$file" >"$work/verify.log" 2>&1; then
      echo "signature verified: $(basename "$file")"
    else
      cat "$work/verify.log"; echo "FAILED: the signature of $(basename "$file")"; failed=1
    fi
  done
  local listed expected="Vesperine.scr README.txt LICENSE.txt THIRD-PARTY-NOTICES.txt CHANGES.txt"
  listed=$(unzip -Z1 "$dist/Vesperine-$version.zip" | tr '\n' ' ')
  if [ "$listed" != "$expected " ]; then
    echo "FAILED: the zip holds $listed"; failed=1
  fi
  if ! unzip -p "$dist/Vesperine-$version.zip" README.txt | head -1 | grep -q $'\r$'; then
    echo "FAILED: the zip's texts lack Windows line ends"; failed=1
  fi
  (cd "$dist" && sha256sum --quiet -c SHA256SUMS) || { echo "FAILED: SHA256SUMS"; failed=1; }

  VESPERINE_PACKAGE_DIST=$dist VESPERINE_PACKAGE_UPGRADE=$work/upgrade \
    VESPERINE_PACKAGE_SIGNED=$work/signed windows_ctest -L '^package$' || failed=1
  return $failed
}

# The lanes, each named by the ctest label its tests carry (cmake/VesperineTesting.cmake). A
# software rasteriser's frame costs in proportion to its pixels, so every lane has the smallest
# screen its checks allow: the suites that measure (closes, error reports, bounds) and the
# hostile settings' huge bubbles 640 x 480, where an emulated CPU draws a frame in well under
# half the time; the dialogs (whose sizes and places are laid out for 1024 x 768, at 144 dpi
# too) and the package 1024 x 768; the pictures' proportions a 16:9 screen of 1920 x 1080; the
# rest 800 x 600. The suites that measure nothing are split into lanes of about the same
# length: a lane leaves a core idle about half the time (it waits for teardowns and frames).
LANES="measures hostile host-direct3d gdi-scene dialogs rest fallback dpi144 win98
two-monitors-right two-monitors-left package fullhd"

# run_lane NAME: one lane's tests as scripts/test runs them, one at a time (a lane's
# end-to-end tests share its screen and registry).
run_lane() {
  local small=800x600x24 screen=1024x768x24
  case "$1" in
    measures | hostile) lane_on_xvfb 640x480x24 windows_ctest -L "^$1\$" ;;
    host-direct3d | gdi-scene | rest | fallback) lane_on_xvfb "$small" windows_ctest -L "^$1\$" ;;
    dialogs) lane_on_xvfb "$screen" windows_ctest -L '^dialogs$' ;;
    dpi144) lane_on_xvfb "$screen" at_dpi 144 windows_ctest -L '^dpi144$' ;;
    win98) lane_on_xvfb "$small" in_windows98_mode windows_ctest -L '^win98$' ;;
    two-monitors-right | two-monitors-left)
      lane_on_two_monitors "${1#two-monitors-}" windows_ctest -L '^two-monitors$' ;;
    package) lane_on_xvfb "$screen" package_stage ;;
    fullhd) lane_on_xvfb 1920x1080x24 windows_ctest -L '^fullhd$' ;;
    *)
      echo "no lane '$1'; the lanes are:" $LANES >&2
      return 2
      ;;
  esac
}

# Every Windows test carries a lane that run_lane knows, or it would never run.
check_lane_labels() {
  local label known failed=0 lanes
  known=" $(echo $LANES) two-monitors windows "
  for label in $(ctest --preset win32 --print-labels 2>/dev/null | sed -n 's/^  *//p'); do
    case "$known" in
      *" $label "*) ;;
      *) echo "FAILED: the label '$label' is no lane of scripts/lanes.sh"; failed=1 ;;
    esac
  done
  lanes=$(echo $LANES two-monitors | tr ' ' '|')
  if ctest --preset win32 -N -LE "^($lanes)\$" | grep -q 'Test *#'; then
    ctest --preset win32 -N -LE "^($lanes)\$" | grep 'Test *#'
    echo "FAILED: the Windows tests above are in no lane"; failed=1
  fi
  [ $failed = 0 ] && echo "1 passed, 0 failed"
  return $failed
}

run_windows_stages() {
  local layout
  # On an emulated CPU a Direct3D start takes seconds of CPU, and seven lanes on two cores
  # stretched starts past every test's wait: there, as many lanes at once as cores.
  if wine_is_emulated; then STAGE_SLOTS=$(nproc); fi
  run_stage "windows lanes known" check_lane_labels
  run_stage "windows tests that measure (alone)" run_lane measures
  # The longest lanes first, so that where slots are few the short ones fill the gaps.
  start_stage "windows tests, hostile settings" run_lane hostile
  start_stage "windows tests, host and Direct3D" run_lane host-direct3d
  start_stage "windows tests, the rest" run_lane rest
  start_stage "windows tests, GDI+ scene" run_lane gdi-scene
  start_stage "windows tests in Windows 98 mode" run_lane win98
  start_stage "windows tests, settings dialogs" run_lane dialogs
  start_stage "windows tests without Direct3D" run_lane fallback
  start_stage "windows tests at 144 dpi" run_lane dpi144
  # Two waves: with all five lanes at once a display change's news reached a two-monitor run
  # after its settle time and ended it.
  wait_stages
  for layout in right left; do
    start_stage "windows tests, two monitors ($layout)" run_lane "two-monitors-$layout"
  done
  start_stage "package" run_lane package
  # A picture's proportions need a screen whose shape differs from the 4:3 ones above.
  start_stage "windows tests at 1920 x 1080" run_lane fullhd
  wait_stages
}
