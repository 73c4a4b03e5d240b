#!/bin/sh
# Runs the stand-in under each of its six ProgIDs in turn: each run answers only the ProgID it was told
# to, through the Running Object Table, and ends cleanly so that the next one can take its place.
# One ProgID a run (or "quit": a client holding an object of a stand-in that has gone), so that each
# stays a short test of its own.
#   switches.sh <wine-exec> <acadsim.exe> <acadsim_probe.exe> <work folder> <plain|14|...|18|quit>
wine_exec=$1 exe=$2 probe=$3 work=$4 which=$5
here=$(cd "$(dirname "$0")" && pwd)
pidfile=$work/acadsim-switches.pid
fail() { echo "FAIL: $*"; sh "$here/stop.sh" "$wine_exec" "$exe" "$pidfile" >/dev/null; exit 1; }
for key in $which; do
  [ "$key" = quit ] && continue
  marker="$key.9s (switch test)"
  sh "$here/start.sh" "$wine_exec" "$exe" "$pidfile" /As "$key" /Version "$marker" >/dev/null || fail "start /As $key"
  progids="AutoCAD.Application AutoCAD.Application.14 AutoCAD.Application.15 AutoCAD.Application.16 AutoCAD.Application.17 AutoCAD.Application.18"
  # One probe run answers all six, a line each, in this order.
  answers=$("$wine_exec" "$probe" active $progids | tr -d '\r')
  [ "$(printf '%s\n' "$answers" | wc -l)" = 6 ] || fail "/As $key: the probe answered '$answers'"
  i=0
  for other in plain 14 15 16 17 18; do
    i=$((i + 1))
    progid=AutoCAD.Application
    [ "$other" = plain ] || progid=AutoCAD.Application.$other
    got=$(printf '%s\n' "$answers" | sed -n "${i}p")
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
if [ "$which" != quit ]; then echo PASS; exit 0; fi
# A client that holds an object of a stand-in that has gone gets an error, not a hang or a crash.
sh "$here/start.sh" "$wine_exec" "$exe" "$pidfile" /As 16 >/dev/null || fail "start for quit"
first=$(cat "$pidfile")
sh "$here/start.sh" "$wine_exec" "$exe" "$pidfile" /As 16 >/dev/null || fail "a second start while it runs"
[ "$(cat "$pidfile")" = "$first" ] || fail "a second start replaced the running stand-in"
got=$("$wine_exec" "$probe" gone AutoCAD.Application.16 | tr -d '\r')
sh "$here/stop.sh" "$wine_exec" "$exe" "$pidfile" >/dev/null
[ "$got" = failed ] || fail "a call after Quit gave '$got'"
echo "call after quit: ok"
echo PASS
