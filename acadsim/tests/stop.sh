#!/bin/sh
# Ends the acadsim.exe that start.sh started, by its process id, and waits until it is gone.
#   stop.sh <wine-exec> <acadsim.exe> <pidfile>
# The stand-in is asked to close (it then revokes its class objects and leaves the ROT); only a server
# that does not end in time is killed.
wine_exec=$1 exe=$2 pidfile=$3
case $pidfile in /*) ;; *) pidfile=$(pwd)/$pidfile ;; esac
if [ -s "$pidfile" ]; then
  "$wine_exec" "$exe" /Stop "$(tr -d '\r\n' <"$pidfile")"
fi
if [ -f "$pidfile.unix" ]; then
  pid=$(cat "$pidfile.unix")
  n=0
  while kill -0 "$pid" 2>/dev/null && [ $n -lt 50 ]; do sleep 0.1; n=$((n + 1)); done
  kill -0 "$pid" 2>/dev/null && kill -9 "$pid" 2>/dev/null
fi
echo "acadsim $(cat "$pidfile" 2>/dev/null) stopped"
rm -f "$pidfile" "$pidfile.unix"
exit 0
