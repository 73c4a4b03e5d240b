#!/bin/sh
# /UnregServer removes every ProgID of the stand-in and /RegServer writes them back, each naming its
# own class.   registration.sh <wine-exec> <acadsim.exe> <acadsim_probe.exe>
wine_exec=$1 exe=$2 probe=$3
progids="AutoCAD.Application AutoCAD.Application.14 AutoCAD.Application.15 AutoCAD.Application.16 AutoCAD.Application.17 AutoCAD.Application.18 AcadSim.Control"
fail() { echo "FAIL: $*"; exit 1; }
"$wine_exec" "$exe" /UnregServer || fail "/UnregServer failed"
for p in $progids; do
  got=$("$wine_exec" "$probe" progid "$p" | tr -d '\r')
  [ "$got" = unregistered ] || fail "$p still registered after /UnregServer ($got)"
done
"$wine_exec" "$exe" /RegServer || fail "/RegServer failed"
seen=""
for p in $progids; do
  got=$("$wine_exec" "$probe" progid "$p" | tr -d '\r')
  case $got in \{*\}) ;; *) fail "$p not registered: $got" ;; esac
  case " $seen " in *" $got "*) fail "$p shares its class $got" ;; esac
  seen="$seen $got"
done
"$wine_exec" "$exe" /NoSuchSwitch && fail "an unknown switch was accepted"
echo PASS
