# Shared environment of the scripts: where the Wine prefixes and fetched sources live.
# Sourced, not run.
QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_CACHE=${QV_CACHE:-$HOME/.cache/quorvane}
export QV_WINE_HEADLESS=$QV_CACHE/wine-headless
export QV_WINE_X11=$QV_CACHE/wine-x11
# Bumped whenever scripts/setup changes what it writes into the prefixes.
export QV_PREFIX_VERSION=3
export QV_DEPS=${QV_DEPS:-$QV_CACHE/deps}
export QV_BUILD=${QV_BUILD:-$QV_ROOT/build}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8
export WINEPREFIX=${WINEPREFIX:-$QV_WINE_HEADLESS}

# set -e stops a script without a word: whatever stops one says what failed, and
# QV_HINT, when a step sets it, what to do. Only a failure that stops the script says
# so: one inside $(...) (where bash drops -e and the script goes on), in a shell without
# -e, or in a subshell (whose script says so itself when it stops too) is left alone.
set -E
trap 'qv_stopped $? "$BASH_COMMAND"' ERR
qv_stopped() {
  [[ $- == *e* ]] && [ "$BASH_SUBSHELL" -eq 0 ] || return 0
  echo "${0##*/}: stopped: \"$2\" failed with status $1${QV_HINT:+. $QV_HINT}" >&2
}

# Runs a command (wine and a program with its arguments) on a display of its own, in the
# X11 Wine prefix: a fresh Xvfb, ended with the command, whose exit status it returns.
# The benchmarks that pay for painting run this way.
qv_on_xvfb() {
  local display=:$((200 + RANDOM % 300)) status=0
  while [ -e "/tmp/.X${display#:}-lock" ]; do display=:$((200 + RANDOM % 300)); done
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb=$!
  trap "kill $xvfb 2>/dev/null || true" EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
  WINEPREFIX=$QV_WINE_X11 DISPLAY=$display "$@" || status=$?
  kill $xvfb 2>/dev/null || true
  return $status
}

# Runs scripts/setup when something it provides is missing: the cross compiler, CMake,
# Wine and its two prefixes, Xvfb, xdotool, openbox, ip (iproute2) and ImageMagick, TinyXML's and GoogleTest's sources,
# the SQLite ODBC driver and SQL Server's (FreeTDS), the zh_CN.UTF-8 locale, the fuzzer runtime.
qv_ensure_setup() {
  local tool
  for tool in i686-w64-mingw32-g++-posix cmake wine Xvfb import clang++ python3 xdotool openbox xprop ip; do
    command -v "$tool" >/dev/null || { bash "$QV_ROOT/scripts/setup"; return; }
  done
  if ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null ||
     [ "$(cat "$QV_WINE_HEADLESS/.qv-ready" 2>/dev/null)" != "$QV_PREFIX_VERSION" ] ||
     [ "$(cat "$QV_WINE_X11/.qv-ready" 2>/dev/null)" != "$QV_PREFIX_VERSION" ] ||
     [ ! -f "$QV_ROOT/.deps/tinyxml/tinyxml.h" ] || [ ! -d /usr/src/googletest ] ||
     [ ! -f /usr/lib/i386-linux-gnu/odbc/libsqlite3odbc.so ] || [ ! -f /usr/lib/i386-linux-gnu/odbc/libtdsodbc.so ] ||
     ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
    bash "$QV_ROOT/scripts/setup"
  fi
}
