# Shared environment of the scripts: where the Wine prefixes and fetched sources live.
# Sourced, not run.
QV_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QV_CACHE=${QV_CACHE:-$HOME/.cache/quorvane}
export QV_WINE_HEADLESS=$QV_CACHE/wine-headless
export QV_WINE_X11=$QV_CACHE/wine-x11
# Bumped whenever scripts/setup changes what it writes into the prefixes.
export QV_PREFIX_VERSION=2
export QV_DEPS=${QV_DEPS:-$QV_CACHE/deps}
export QV_BUILD=${QV_BUILD:-$QV_ROOT/build}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8
export WINEPREFIX=${WINEPREFIX:-$QV_WINE_HEADLESS}
