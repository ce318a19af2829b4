#!/bin/sh
# Runs the network-drive case of test_update under Wine in a prefix of its
# own, in which drive N: is a link to a folder of the build tree and is
# declared a network drive. Wine reads drive types when its server starts, so
# the suite's own server cannot be used. The prefix is made afresh: a copy of
# the suite's prefix taken while its server still holds the registry in
# memory comes out incomplete, and Wine then reports N: as a fixed drive.
#
#   network_drive_test.sh BASE_PREFIX TEST_EXE WORK_DIR   (BASE_PREFIX unused)
set -u
exe=$2 work=$3
prefix="$work/netprefix"
share="$work/netshare"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d"

cleanup() {
  wineserver -k </dev/null >/dev/null 2>&1
  wineserver -w </dev/null >/dev/null 2>&1
  rm -rf "$prefix" "$share"
}
trap cleanup EXIT
rm -rf "$prefix" "$share"
mkdir -p "$share/TarnVel/Program" "$work"
wineboot -i </dev/null >/dev/null 2>&1
ln -sfn "$share" "$prefix/dosdevices/n:"
wine reg add 'HKLM\Software\Wine\Drives' /v n: /t REG_SZ /d network /f </dev/null >/dev/null 2>&1
wineserver -k </dev/null >/dev/null 2>&1
wineserver -w </dev/null >/dev/null 2>&1
# Started apart, with their output on /dev/null: Wine's background processes
# must not hold ctest's output pipe.
wineserver -p </dev/null >/dev/null 2>&1
wineboot </dev/null >/dev/null 2>&1
TARNVEL_NETWORK_DRIVE=N: wine "$exe" --gtest_filter='UpdateInitNetworkDrive.*' </dev/null >"$work/netdrive.log" 2>&1
exit_code=$?
cat "$work/netdrive.log"
# A skipped case would pass without having looked at the drive.
if [ $exit_code -eq 0 ] && ! grep -q '^\[  PASSED  \] 1 test' "$work/netdrive.log"; then exit_code=1; fi
if grep -q 'SKIPPED' "$work/netdrive.log"; then exit_code=1; fi
exit $exit_code
