#!/bin/sh
# Runs one scenario against a fresh AutoCAD stand-in:
#   run-with-acadsim.sh <wine-exec> <win64|win32> <acadsim.exe> <pidfile> <script.vbs> [script args...]
# The stand-in (already registered) is started and waited for, the scenario runs (its last line must be
# PASS), and the stand-in is stopped by its process id, also when the scenario failed.
wine_exec=$1 arch=$2 acadsim=$3 pidfile=$4 script=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
sh "$root/acadsim/tests/start.sh" "$wine_exec" "$acadsim" "$pidfile" || { echo "FAIL: acadsim did not start"; exit 1; }
"$root/scripts/run-vbs" "$wine_exec" "$arch" "$script" "$@"
status=$?
sh "$root/acadsim/tests/stop.sh" "$wine_exec" "$acadsim" "$pidfile"
exit $status
