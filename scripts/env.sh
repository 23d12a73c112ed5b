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
