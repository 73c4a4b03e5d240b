#!/bin/sh
# Runs a test program under Wine on a screen of another pixels-per-inch setting:
#   at_dpi.sh <wine-exec> <build prefix> <dpi> <program> [arguments...]
# Wine reads LogPixels once, when a process starts, so the shared test prefix cannot change it without
# changing it for every test that starts beside this one. The run gets a prefix of its own instead: a
# copy of the build prefix's registry with the new setting, on the build prefix's drive, with its own
# wineserver, gone when the run ends. The program finds the setting in KELVA_EXPECT_DPI.
set -u
wine_exec=$1 base=$2 dpi=$3
shift 3
prefix="$base-dpi$dpi"

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
wineserver -p5 </dev/null >/dev/null 2>&1
"$wine_exec" reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
  /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null || exit 1
KELVA_EXPECT_DPI=$dpi "$wine_exec" "$@"
status=$?
exit $status
