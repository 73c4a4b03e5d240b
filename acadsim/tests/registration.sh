#!/usr/bin/env bash
# /UnregServer removes every ProgID of the stand-in and /RegServer writes them back, each naming its
# own class.   registration.sh <wine-exec> <acadsim.exe> <acadsim_probe.exe>
wine_exec=$1 exe=$2 probe=$3
progids="AutoCAD.Application AutoCAD.Application.14 AutoCAD.Application.15 AutoCAD.Application.16 AutoCAD.Application.17 AutoCAD.Application.18 AcadSim.Control"
fail() { echo "FAIL: $*"; exit 1; }
# Prints "ProgID answer" for each ProgID, from one probe run.
answers() { "$wine_exec" "$probe" progid $progids | tr -d '\r' | paste -d' ' <(printf '%s\n' $progids) -; }
"$wine_exec" "$exe" /UnregServer || fail "/UnregServer failed"
n=0
while read -r p got; do
  n=$((n + 1))
  [ "$got" = unregistered ] || fail "$p still registered after /UnregServer ($got)"
done < <(answers)
[ $n = 7 ] || fail "the probe answered $n ProgIDs of 7"
"$wine_exec" "$exe" /RegServer || fail "/RegServer failed"
seen="" n=0
while read -r p got; do
  n=$((n + 1))
  case $got in \{*\}) ;; *) fail "$p not registered: $got" ;; esac
  case " $seen " in *" $got "*) fail "$p shares its class $got" ;; esac
  seen="$seen $got"
done < <(answers)
[ $n = 7 ] || fail "the probe answered $n ProgIDs of 7"
"$wine_exec" "$exe" /NoSuchSwitch && fail "an unknown switch was accepted"
echo PASS
