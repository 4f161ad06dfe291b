#!/usr/bin/env bash
# The Wine session the windows tests run in: a virtual X display, a
# persistent wineserver, and a Wine prefix made once per build tree.
#
#   wine-session.sh start PREFIX SESSION_DIR   (CTest fixture setup)
#   wine-session.sh stop SESSION_DIR           (CTest fixture cleanup)
#
# "start" writes SESSION_DIR/session.env for run-in-wine.sh and logs to
# SESSION_DIR/session.log. "stop" ends the session by the process ids it
# recorded, and is safe to run any number of times. Should the process that
# ran "start" end without "stop" (an interrupted CTest), a watchdog stops
# the session; the next "start" would also end a session left behind.
set -euo pipefail

# Processes that outlive this script must not hold CTest's output pipes:
# everything they print goes to the session log.
log_to() { exec >>"$1" 2>&1 </dev/null; }

# True while process $1 runs; an ended process that nobody has reaped yet
# (a zombie) has ended.
alive() {
    [[ -r /proc/$1/status ]] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null
}

# Waits up to $2 tenths of a second for process $1 to end.
wait_for_end() {
    local pid=$1 tenths=$2
    while ((tenths-- > 0)); do
        alive "$pid" || return 0
        sleep 0.1
    done
    ! alive "$pid"
}

# True when process $1 exists and runs program $2: a recorded id may have
# been reused by an unrelated process since.
runs() {
    local pid=$1 program=$2
    [[ -n $pid && -r /proc/$pid/cmdline ]] &&
        [[ $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) == *"$program"* ]]
}

stop_process() {
    local pid=$1 program=$2
    runs "$pid" "$program" || return 0
    kill -TERM "$pid" 2>/dev/null || true
    wait_for_end "$pid" 50 && return 0
    kill -KILL "$pid" 2>/dev/null || true
    wait_for_end "$pid" 50 || echo "process $pid ($program) did not end"
}

stop_session() {
    local session=$1 prefix="" xvfb="" server="" watchdog=""
    [[ -f $session/prefix ]] && prefix=$(<"$session/prefix")
    [[ -f $session/xvfb.pid ]] && xvfb=$(<"$session/xvfb.pid")
    [[ -f $session/wineserver.pid ]] && server=$(<"$session/wineserver.pid")
    [[ -f $session/watchdog.pid ]] && watchdog=$(<"$session/watchdog.pid")
    rm -f "$session/session.env"
    [[ $watchdog == "$$" ]] || stop_process "$watchdog" "wine-session.sh watch"
    if [[ -n $prefix ]] && runs "$server" wineserver; then
        # Asking the server to end takes every Wine process of the session
        # with it: services, the desktop, and any program a failed test left.
        WINEPREFIX=$prefix timeout 20 wineserver -k || true
        wait_for_end "$server" 100 || true
    fi
    stop_process "$server" wineserver
    stop_process "$xvfb" Xvfb
    # The server leaves its temporary folder (a lock file) behind; it makes
    # the folder again next time.
    if [[ -f $session/server-folder ]] && ! alive "$server"; then
        local folder
        folder=$(dirname "$(<"$session/server-folder")")
        [[ $(basename "$folder") == wine-* ]] && rm -rf "$folder"
    fi
    rm -f "$session/xvfb.pid" "$session/wineserver.pid" "$session/watchdog.pid" \
        "$session/display" "$session/server-folder"
}

# The start time of process $1 since boot, empty when there is none: with
# the id it names one process, even after the id is reused.
start_time_of() {
    local stat fields
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 0
    read -ra fields <<<"${stat##*) }"
    echo "${fields[19]:-}"
}

# Ends the session once the process that started it (CTest) has ended
# without running the cleanup, as when a run is interrupted.
watch_owner() {
    local session=$1 owner=$2 since=$3
    while [[ $(start_time_of "$owner") == "$since" ]]; do sleep 1; done
    stop_session "$session"
}

# Waits up to 10 s for the command after $1 $2 to succeed, while process $2
# (called $1) runs.
wait_until() {
    local name=$1 pid=$2 tenths=100
    shift 2
    until "$@"; do
        if ((tenths-- <= 0)) || ! alive "$pid"; then
            echo "$name did not start"
            return 1
        fi
        sleep 0.1
    done
}

display_written() { [[ $(cat "$1" 2>/dev/null) =~ ^[0-9]+$ ]]; }

# The server works in the folder that holds its socket.
server_listening() { [[ -S /proc/$1/cwd/socket ]]; }

start_session() {
    local prefix=$1 session=$2
    local log=$session/session.log
    mkdir -p "$session"
    # A session left by an interrupted run would hold the prefix.
    stop_session "$session"
    : >"$log"
    trap 'echo "the Wine session did not start; see $log" >&2; stop_session "$session"' ERR
    trap 'stop_session "$session"; exit 130' INT TERM
    echo "$prefix" >"$session/prefix"

    # Xvfb picks a display nobody uses and writes its number when it is ready.
    rm -f "$session/display"
    (log_to "$log"; exec setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$session/display") &
    local xvfb=$!
    echo "$xvfb" >"$session/xvfb.pid"
    wait_until Xvfb "$xvfb" display_written "$session/display"
    DISPLAY=":$(<"$session/display")"
    export DISPLAY

    # The prefix is made once per build tree; a marker tells a finished one
    # from one an interrupted run left half made.
    local ready=$prefix/.tala-prefix-ready fresh=false
    if [[ ! -f $ready ]]; then
        # Only a folder Wine made (or an empty one) is thrown away.
        if [[ -n $(ls -A "$prefix" 2>/dev/null) && ! -e $prefix/dosdevices && ! -e $prefix/wineserver ]]; then
            echo "$prefix is not a Wine prefix; not replacing it"
            false
        fi
        rm -rf "$prefix"
        fresh=true
    fi
    mkdir -p "$prefix"
    export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

    # The server stays up between the tests (a program then starts in a
    # fraction of a second) until "stop" ends it. Clients started before it
    # listens would start a server of their own.
    (log_to "$log"; exec setsid wineserver --foreground --persistent) &
    local server=$!
    echo "$server" >"$session/wineserver.pid"
    wait_until wineserver "$server" server_listening "$server"
    readlink "/proc/$server/cwd" >"$session/server-folder"

    # The session's first Wine process starts Wine's services, which keep its
    # output open: it writes to the log, never to a pipe a test reads.
    local started=$SECONDS
    if $fresh; then
        {
            timeout 300 wine wineboot --init
            # Without a window manager every hidden window would otherwise
            # stall 2 s, and a crash would wait on a dialog instead of ending.
            timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
            timeout 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        } >>"$log" 2>&1
        touch "$ready"
        echo "made the Wine prefix $prefix in $((SECONDS - started)) s"
    else
        timeout 120 wine wineboot >>"$log" 2>&1
    fi

    # Interrupt signals reach neither the session's processes (they have a
    # session of their own) nor this watchdog; it ends them when CTest is gone.
    (log_to "$log"; exec setsid bash "$0" watch "$session" "$PPID" "$(start_time_of "$PPID")") &
    echo $! >"$session/watchdog.pid"

    cat >"$session/session.env.new" <<EOF
export DISPLAY='$DISPLAY'
export WINEPREFIX='$prefix'
export WINEDEBUG='-all'
export WINEDLLOVERRIDES='mscoree,mshtml='
wineserver_pid=$server
EOF
    mv "$session/session.env.new" "$session/session.env"
    trap - ERR INT TERM
    echo "Wine session up: display $DISPLAY, wineserver $server, Xvfb $xvfb"
}

case ${1:-} in
start) [[ $# -eq 3 ]] || { echo "usage: $0 start PREFIX SESSION_DIR" >&2; exit 2; }
    start_session "$2" "$3" ;;
watch) [[ $# -eq 4 ]] || { echo "usage: $0 watch SESSION_DIR PID START_TIME" >&2; exit 2; }
    watch_owner "$2" "$3" "$4" ;;
stop) [[ $# -eq 2 ]] || { echo "usage: $0 stop SESSION_DIR" >&2; exit 2; }
    [[ -d $2 ]] && stop_session "$2"
    echo "Wine session stopped" ;;
*) echo "usage: $0 start PREFIX SESSION_DIR | stop SESSION_DIR" >&2; exit 2 ;;
esac
