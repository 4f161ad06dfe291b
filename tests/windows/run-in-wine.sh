#!/usr/bin/env bash
# Runs one Windows program in the Wine session wine-session.sh started, and
# exits with its exit code (the shell sees it modulo 256).
#
#   run-in-wine.sh SESSION_DIR PROGRAM [ARGUMENT]...
set -euo pipefail

[[ $# -ge 2 ]] || { echo "usage: $0 SESSION_DIR PROGRAM [ARGUMENT]..." >&2; exit 2; }
session=$1
shift

# Without the session's server, wine would start a server of its own, and
# its services would hold this program's output open after it ends.
if [[ ! -f $session/session.env ]]; then
    echo "no Wine session in $session: run the windows.session.start test first" >&2
    exit 125
fi
wineserver_pid=""
# shellcheck source=/dev/null
source "$session/session.env"
if [[ ! -r /proc/$wineserver_pid/status ]] || grep -q '^State:[[:space:]]*Z' "/proc/$wineserver_pid/status"; then
    echo "the Wine session's server $wineserver_pid has ended" >&2
    exit 125
fi

exec wine "$@"
