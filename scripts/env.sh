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

# Starts Xvfb on a display of its own: the first one free, which Xvfb picks and locks
# itself (-displayfd), so that two starts at once never share one. Exports DISPLAY and
# sets QV_XVFB to its process; returns once it takes connections, 1 if it ended instead.
qv_start_xvfb() {
  local told
  told=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$told" >/dev/null 2>&1 &
  QV_XVFB=$!
  # Its number and a line break, written once it takes connections.
  until [[ $(cat "$told"; echo .) == [0-9]*$'\n.' ]]; do
    if ! kill -0 "$QV_XVFB" 2>/dev/null; then
      rm -f "$told"
      echo "${0##*/}: Xvfb did not start" >&2
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=:$(<"$told")
  rm -f "$told"
}

# Runs a command (wine and a program with its arguments) on a display of its own, in the
# X11 Wine prefix: a fresh Xvfb, ended with the command, whose exit status it returns.
# The benchmarks that pay for painting run this way.
qv_on_xvfb() {
  local status=0
  qv_start_xvfb || return 1
  trap "kill $QV_XVFB 2>/dev/null || true" EXIT
  WINEPREFIX=$QV_WINE_X11 "$@" || status=$?
  kill "$QV_XVFB" 2>/dev/null || true
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
