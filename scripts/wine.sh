#!/usr/bin/env bash
# Runs a Windows program under Wine, headless, in a Wine prefix of the
# build's own (build/wine), so that nothing outside the checkout changes.
#   scripts/wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$root/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
unset DISPLAY WAYLAND_DISPLAY
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
# The first run makes the prefix (some seconds); runs side by side wait for it.
if [ ! -f "$WINEPREFIX/.made" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.made" ]; then
      "$wine" wineboot --init >/dev/null 2>&1 || true
      "${wine%/*}/wineserver" -w 2>/dev/null || true
      touch "$WINEPREFIX/.made"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$wine" "$@"
