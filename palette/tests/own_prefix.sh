#!/bin/sh
# Runs a program of the palette's tests or benchmarks under Wine in a prefix of its own:
#   own_prefix.sh <wine-exec> <build prefix> [--dpi N] [--one-core] <program> [arguments...]
# --dpi N     a screen of another pixels-per-inch setting. Wine reads LogPixels once, when a process
#             starts, so the shared test prefix cannot change it without changing it for every test
#             that starts beside this one. The program finds the setting in KELVA_EXPECT_DPI.
# --one-core  the program and its own wineserver on one processor. Every window call is a round trip
#             to the server, and between two processors each costs whatever the machine's scheduler
#             makes of it (measured here: from 5 to 50 us within a minute), which swamps what a
#             benchmark is after; on one processor the figures hold still from run to run.
# The prefix is a copy of the build prefix's registry, on the build prefix's drive, with its own
# wineserver, gone when the run ends.
set -u
wine_exec=$1 base=$2
shift 2
dpi= pin=
while [ $# -gt 0 ]; do
  case $1 in
    --dpi) dpi=$2; shift 2 ;;
    --one-core) pin="taskset -c $(($(nproc) - 1))"; shift ;;
    *) break ;;
  esac
done
prefix="$base-own${dpi:+-dpi$dpi}${pin:+-one-core}"

cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null
  WINEPREFIX="$prefix" wineserver -w 2>/dev/null
  rm -rf "$prefix"
}
cleanup
mkdir -p "$prefix/dosdevices" || exit 1
cp "$base"/system.reg "$base"/user.reg "$base"/userdef.reg "$base"/.update-timestamp "$prefix/" || exit 1
ln -s "$base/drive_c" "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"
trap cleanup EXIT
export WINEPREFIX="$prefix"
# Started apart from this script's output, so that no Wine process holds on to ctest's pipes; it
# goes by itself a few seconds after its last client.
$pin wineserver -p5 </dev/null >/dev/null 2>&1
if [ -n "$dpi" ]; then
  "$wine_exec" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit 1
  export KELVA_EXPECT_DPI="$dpi"
fi
$pin "$wine_exec" "$@"
