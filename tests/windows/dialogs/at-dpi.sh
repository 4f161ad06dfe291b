#!/usr/bin/env bash
# Runs one Windows program in the Wine session with the screen's DPI set to
# a value (Wine reads it from the registry when a program starts), and puts
# the previous setting back however the program ends.
#
#   at-dpi.sh SESSION_DIR DPI PROGRAM [ARGUMENT]...
set -euo pipefail

[[ $# -ge 3 ]] || { echo "usage: $0 SESSION_DIR DPI PROGRAM [ARGUMENT]..." >&2; exit 2; }
session=$1 dpi=$2
shift 2
wine_run=(bash "$(dirname "$0")/../run-in-wine.sh" "$session")
key='HKCU\Control Panel\Desktop'

# "    LogPixels    REG_DWORD    0x60" when the value is set.
previous=$("${wine_run[@]}" reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' |
    awk '$1 == "LogPixels" && $2 == "REG_DWORD" { print $3 }') || previous=""

restore() {
    if [[ $previous =~ ^0x[0-9a-fA-F]+$ ]]; then
        "${wine_run[@]}" reg add "$key" /v LogPixels /t REG_DWORD /d $((previous)) /f
    else
        "${wine_run[@]}" reg delete "$key" /v LogPixels /f
    fi >/dev/null 2>&1 || echo "could not put LogPixels back to '${previous:-unset}'" >&2
}
trap restore EXIT

"${wine_run[@]}" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
"${wine_run[@]}" "$@"
