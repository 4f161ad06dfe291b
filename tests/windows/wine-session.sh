#!/usr/bin/env bash
# The windows tests' Wine session (Xvfb, a persistent wineserver, a prefix per build tree); processes are
# ended by the ids "start" recorded, or by a watchdog should CTest end without "stop".
set -euo pipefail

# True when process $1 runs program $2 (a recorded id may have been reused).
runs() { [[ -n $1 && -r /proc/$1/cmdline ]] && [[ $(tr '\0' ' ' <"/proc/$1/cmdline") == *"$2"* ]]; }

stop_process() {
    runs "$1" "$2" || return 0
    kill -TERM "$1" 2>/dev/null || true
    for _ in $(seq 50); do runs "$1" "$2" || return 0; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
}

stop_session() {
    local session=$1 server="" xvfb=""
    [[ -f $session/wineserver.pid ]] && server=$(<"$session/wineserver.pid")
    [[ -f $session/xvfb.pid ]] && xvfb=$(<"$session/xvfb.pid")
    rm -f "$session/session.env"
    # Asking the server to end takes every Wine process of the session with it.
    if runs "$server" wineserver && [[ -f $session/prefix ]]; then
        WINEPREFIX=$(<"$session/prefix") timeout 20 wineserver -k || true
    fi
    stop_process "$server" wineserver
    stop_process "$xvfb" Xvfb
    rm -f "$session/wineserver.pid" "$session/xvfb.pid"
}

wait_for() { for _ in $(seq 100); do "$@" && return 0; sleep 0.1; done; echo "timed out: $*" >&2; return 1; }

start_session() {
    local prefix=$1 session=$2
    mkdir -p "$session"
    stop_session "$session" # one an interrupted run left behind
    local log=$session/session.log
    : >"$log"
    echo "$prefix" >"$session/prefix"
    # Processes that outlive this script write to the log, never to CTest's pipes.
    (exec setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display" >>"$log" 2>&1 </dev/null) &
    echo $! >"$session/xvfb.pid"
    wait_for grep -qE '^[0-9]+$' "$session/display"
    export DISPLAY=":$(<"$session/display")" WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # A marker tells a finished prefix.
    local fresh=false
    [[ -f $prefix/.tala-prefix-ready ]] || { rm -rf "$prefix"; fresh=true; }
    mkdir -p "$prefix"
    # The server stays up between the tests, so a program starts in a fraction of a second.
    (exec setsid wineserver --foreground --persistent >>"$log" 2>&1 </dev/null) &
    local server=$!
    echo $server >"$session/wineserver.pid"
    wait_for test -S "/proc/$server/cwd/socket"
    # The first Wine process starts Wine's services, which keep its output open: it writes to the log.
    if $fresh; then
        {
            timeout 300 wine wineboot --init
            # Unmanaged, a hidden window does not stall 2 s; a crash ends instead of showing a dialog.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
            wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        } >>"$log" 2>&1
        touch "$prefix/.tala-prefix-ready"
    else
        timeout 120 wine wineboot >>"$log" 2>&1
    fi
    (exec setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; [[ -f $2/session.env ]] && bash "$0" stop "$2"' \
        "$0" "$PPID" "$session" >>"$log" 2>&1 </dev/null) &
    declare -p DISPLAY WINEPREFIX WINEDEBUG WINEDLLOVERRIDES server >"$session/session.env"
    echo "Wine session up: display $DISPLAY, wineserver $server"
}

run_program() {
    local session=$1
    shift
    [[ -f $session/session.env ]] || { echo "no Wine session in $session" >&2; exit 125; }
    # shellcheck source=/dev/null
    source "$session/session.env"
    export DISPLAY WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
    runs "$server" wineserver || { echo "the Wine session's server has ended" >&2; exit 125; }
    [[ ${1:-} == --dpi=* ]] || exec wine "$@"
    local key='HKCU\Control Panel\Desktop' previous status=0
    previous=$(wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }') || true
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "${1#--dpi=}" /f >/dev/null
    shift
    wine "$@" || status=$?
    if [[ -n $previous ]]; then
        wine reg add "$key" /v LogPixels /t REG_DWORD /d $((previous)) /f >/dev/null
    else
        wine reg delete "$key" /v LogPixels /f >/dev/null
    fi
    exit $status
}

case ${1:-} in
start) [[ $# -eq 3 ]] && start_session "$2" "$3" ;;
stop) [[ $# -eq 2 ]] && { [[ ! -d $2 ]] || stop_session "$2"; echo "Wine session stopped"; } ;;
run) [[ $# -ge 3 ]] && run_program "${@:2}" ;;
*) echo "usage: $0 start PREFIX SESSION_DIR | stop SESSION_DIR | run SESSION_DIR [--dpi=N] PROGRAM..." >&2; exit 2 ;;
esac
