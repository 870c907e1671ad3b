#!/bin/sh
# Runs a Windows program of the build under Wine, in the project's private prefix.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG=-all
exec wine "$@"
