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
