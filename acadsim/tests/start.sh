#!/bin/sh
# Starts acadsim.exe in the background and waits until it is in the Running Object Table.
#   start.sh <wine-exec> <acadsim.exe> <pidfile> [server switches...]
# The server is detached from the caller's pipes (setsid, redirected output): ctest would otherwise wait
# for it. <pidfile> receives its Windows process id (stop.sh ends it by that id), <pidfile>.unix the id
# of the Wine process.
wine_exec=$1 exe=$2 pidfile=$3
shift 3
case $pidfile in /*) ;; *) pidfile=$(pwd)/$pidfile ;; esac
if [ -f "$pidfile.unix" ] && kill -0 "$(cat "$pidfile.unix")" 2>/dev/null; then
  echo "acadsim already runs as $(cat "$pidfile.unix")"
  exit 1
fi
rm -f "$pidfile"
winpid="Z:$(printf '%s' "$pidfile" | tr / '\\')"
setsid "$wine_exec" "$exe" /PidFile "$winpid" "$@" >"$pidfile.log" 2>&1 </dev/null &
echo $! >"$pidfile.unix"
if "$wine_exec" "$exe" /WaitReady 30000; then
  n=0
  while [ ! -s "$pidfile" ] && [ $n -lt 50 ]; do sleep 0.1; n=$((n + 1)); done
  echo "acadsim ready as process $(cat "$pidfile" 2>/dev/null)"
  exit 0
fi
echo "acadsim did not reach the Running Object Table"
kill "$(cat "$pidfile.unix")" 2>/dev/null
exit 1
