# Shared locations for the scripts; sourced, not run.
VESPERINE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export VESPERINE_ROOT
# CI may start us without HOME; the cache then goes to the user's home from passwd.
export HOME=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
export VESPERINE_CACHE=${VESPERINE_CACHE:-$HOME/.cache/vesperine}
export VESPERINE_MINGW_PREFIX=${VESPERINE_MINGW_PREFIX:-$VESPERINE_CACHE/mingw-i686}
export WINEPREFIX=${WINEPREFIX:-$VESPERINE_CACHE/wine32}
export WINEARCH=win32
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}

# Wine runs a 32-bit Windows program as a 32-bit Linux process: natively, or where the kernel
# has no 32-bit user mode (some virtual machines), under qemu-user as scripts/setup arranges.
# Where neither works the Windows build still compiles, but nothing of it can run.
wine_runs_here() {
  local server=/usr/lib/wine/wineserver32
  [ -x "$server" ] && "$server" --version >/dev/null 2>&1
}
WINE_UNAVAILABLE_REASON="this machine cannot execute 32-bit programs (its kernel refuses them, and qemu-user could not be set up), so 32-bit wine cannot start"

# True where 32-bit programs run under qemu-user (the binfmt entry scripts/setup registers).
# Everything there works as elsewhere, only several times slower: a software rasteriser on an
# emulated CPU takes seconds for a frame that takes milliseconds on a real machine.
wine_is_emulated() {
  grep -qx enabled /proc/sys/fs/binfmt_misc/qemu-i386 2>/dev/null
}

# Debian's wineserver wrapper passes -p0, so a Windows program that starts when no other runs
# boots wine afresh: wineboot, services, explorer and five more processes. Under qemu-user one
# of them now and then hangs as it starts, and every later program waits on that boot until
# its test times out. A test stage therefore boots wine once, checks that the boot finished,
# and keeps that server (persistent) for all its programs; a boot that hangs is killed and
# tried again. The stage ends with stop_wine_session, which saves the registry.
start_wine_session() {
  local attempt
  for attempt in 1 2 3; do
    stop_wine_session
    wineserver -p >/dev/null 2>&1
    # A first program that ends, and then no wineboot left, is a finished boot.
    if timeout 90 wine cmd /c exit >/dev/null 2>&1; then
      for _ in $(seq 60); do
        wine_processes_of_prefix 'wineboot\.exe' >/dev/null || return 0
        sleep 1
      done
    fi
    echo "wine's boot hung (attempt $attempt of 3); starting its server again" >&2
  done
  return 1
}

stop_wine_session() {
  wineserver -k >/dev/null 2>&1
  # A process that hung before it reached the server outlives -k.
  local pid
  for pid in $(wine_processes_of_prefix '.'); do kill -9 "$pid" 2>/dev/null; done
  return 0
}

# The ids of wine's client processes on this prefix (under qemu-user or not, never the
# server or a script) whose command line matches the pattern.
wine_processes_of_prefix() {
  local pid found=1
  for pid in $(pgrep -f "$1"); do
    case $(readlink "/proc/$pid/exe" 2>/dev/null) in
      */qemu-i386 | */wine | */wine-preloader) ;;
      *) continue ;;
    esac
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null || continue
    echo "$pid"
    found=0
  done
  return $found
}
