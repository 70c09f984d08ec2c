#!/usr/bin/env bash
# Runs a Windows executable under Wine with the build's prefix and without Wine's chatter.
# build.sh exports WINEPREFIX and DISPLAY; this default only serves a manual run.
here="$(cd "$(dirname "$0")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/win32/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
