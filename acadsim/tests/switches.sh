#!/bin/sh
# Runs the stand-in under each of its six ProgIDs in turn: each run answers only the ProgID it was told
# to, through the Running Object Table, and ends cleanly so that the next one can take its place.
#   switches.sh <wine-exec> <acadsim.exe> <acadsim_probe.exe> <work folder>
wine_exec=$1 exe=$2 probe=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
pidfile=$work/acadsim-switches.pid
fail() { echo "FAIL: $*"; sh "$here/stop.sh" "$wine_exec" "$exe" "$pidfile" >/dev/null; exit 1; }
for key in plain 14 15 16 17 18; do
  marker="$key.9s (switch test)"
  sh "$here/start.sh" "$wine_exec" "$exe" "$pidfile" /As "$key" /Version "$marker" >/dev/null || fail "start /As $key"
  for other in plain 14 15 16 17 18; do
    progid=AutoCAD.Application
    [ "$other" = plain ] || progid=AutoCAD.Application.$other
    got=$("$wine_exec" "$probe" active "$progid" | tr -d '\r')
    if [ "$other" = "$key" ]; then
      [ "$got" = "$marker" ] || fail "/As $key: $progid gave '$got'"
    else
      [ "$got" != "$marker" ] || fail "/As $key also answers $progid"
    fi
  done
  sh "$here/stop.sh" "$wine_exec" "$exe" "$pidfile" >/dev/null
  got=$("$wine_exec" "$probe" active AcadSim.Control | tr -d '\r')
  [ "$got" = unavailable ] || [ "$got" = failed ] || fail "/As $key: still in the ROT after stop ($got)"
  echo "/As $key: ok"
done
# A client that holds an object of a stand-in that has gone gets an error, not a hang or a crash.
sh "$here/start.sh" "$wine_exec" "$exe" "$pidfile" /As 16 >/dev/null || fail "start for quit"
got=$("$wine_exec" "$probe" gone AutoCAD.Application.16 | tr -d '\r')
sh "$here/stop.sh" "$wine_exec" "$exe" "$pidfile" >/dev/null
[ "$got" = failed ] || fail "a call after Quit gave '$got'"
echo "call after quit: ok"
echo PASS
