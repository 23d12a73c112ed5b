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
  grep -qx enabled "$BINFMT_MISC/qemu-i386" 2>/dev/null
}

# The binfmt_misc entry that hands every 32-bit x86 program to qemu-user. It is machine-wide:
# while it is there, even a kernel that runs 32-bit programs itself runs them emulated.
BINFMT_MISC=/proc/sys/fs/binfmt_misc
QEMU_I386_BINFMT=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F'

# The CPU qemu-user presents. Its default offers AVX2, which the software rasteriser and glibc's
# string functions then use, and which qemu translates poorly: a Direct3D frame cost 2.4 times
# the CPU it costs on a Nehalem (SSE4.2), the newest model without AVX. A kernel that runs
# 32-bit programs itself never reads this.
export QEMU_CPU=${QEMU_CPU:-Nehalem}

# VESPERINE_EMULATE_WINE=1 asks for 32-bit wine under qemu-user on a machine that could run it
# natively, so that one machine measures both kinds and anyone can reproduce the slower one.
emulation_forced() { [ "${VESPERINE_EMULATE_WINE:-0}" = 1 ]; }

# Mounts binfmt_misc if needed; fails with the reason where it cannot be written.
binfmt_writable() {
  mountpoint -q "$BINFMT_MISC" || mount -t binfmt_misc binfmt_misc "$BINFMT_MISC" 2>/dev/null
  if [ ! -w "$BINFMT_MISC/register" ]; then
    echo "binfmt_misc ($BINFMT_MISC) is not writable here, so 32-bit programs cannot be" \
      "handed to qemu-user: emulation needs root on a kernel with binfmt_misc" >&2
    return 1
  fi
}

register_qemu_i386() {
  binfmt_writable || return 1
  unregister_qemu_i386
  printf '%s' "$QEMU_I386_BINFMT" >"$BINFMT_MISC/register" || return 1
}

unregister_qemu_i386() {
  [ -e "$BINFMT_MISC/qemu-i386" ] && echo -1 >"$BINFMT_MISC/qemu-i386"
  return 0
}

# True where the kernel itself runs 32-bit programs: the entry, if any, is set aside to ask.
kernel_runs_32bit() {
  local entry=$BINFMT_MISC/qemu-i386 runs=1
  [ -e "$entry" ] && echo 0 >"$entry"
  /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 && runs=0
  [ -e "$entry" ] && echo 1 >"$entry"
  return $runs
}

# Actions for the script's EXIT trap, run last added first, so that sourced helpers can each
# add their own without replacing another's. A subshell (a lane) starts a list of its own: it
# inherits its parent's list but not its trap, and must not run the parent's actions.
VESPERINE_EXIT_ACTIONS=()
VESPERINE_EXIT_OWNER=$BASHPID
on_exit() {
  if [ "$VESPERINE_EXIT_OWNER" != "$BASHPID" ]; then
    VESPERINE_EXIT_ACTIONS=()
    VESPERINE_EXIT_OWNER=$BASHPID
  fi
  VESPERINE_EXIT_ACTIONS=("$1" "${VESPERINE_EXIT_ACTIONS[@]}")
  trap run_exit_actions EXIT
}
run_exit_actions() {
  local action
  # Each runs whatever the one before returned: under set -e a failed stop would otherwise
  # end the trap before the actions after it, the qemu entry's removal among them.
  for action in "${VESPERINE_EXIT_ACTIONS[@]}"; do eval "$action" || true; done
}

# Forced emulation for the length of one script: the entry is registered now and removed when
# the script ends, whatever happens, since every other 32-bit program on the machine meets it.
begin_forced_emulation() {
  emulation_forced || return 0
  register_qemu_i386 || return 1
  on_exit unregister_qemu_i386
  wine_is_emulated || { echo "the qemu-i386 entry did not take" >&2; return 1; }
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
