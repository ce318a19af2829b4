#!/bin/sh
# Runs the read-only case of test_sysroutines under Wine as the user nobody,
# in a prefix of its own: Wine run as root writes read-only files, as root
# does on Linux, so only another user shows the protection.
#
#   read_only_as_user_wine.sh TEST_EXE WORK_DIR
set -u
exe=$1 work=$2
[ "$(id -u)" -eq 0 ] || { echo "needs root to switch users"; exit 77; }
as_nobody() {
  setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME="$work/home" WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d" "$@"
}
cleanup() {
  as_nobody wineserver -k </dev/null >/dev/null 2>&1
  as_nobody wineserver -w </dev/null >/dev/null 2>&1
  rm -rf "$work"
}
rm -rf "$work"
mkdir -p "$work/home"
chown -R 65534:65534 "$work"
trap cleanup EXIT
cd "$work" || exit 1
# Server and prefix first, with their output on /dev/null (they outlive the
# test program and must not hold ctest's output pipe).
as_nobody wineserver -p </dev/null >/dev/null 2>&1
as_nobody wineboot -i </dev/null >/dev/null 2>&1
as_nobody wine "$exe" --gtest_filter='ReadOnlyTarget.*' </dev/null >"$work/run.log" 2>&1
code=$?
cat "$work/run.log"
if [ $code -eq 0 ] && { ! grep -q '^\[  PASSED  \] 1 test' "$work/run.log" || grep -q SKIPPED "$work/run.log"; }; then
  echo "the case did not run for real"
  code=1
fi
exit $code
