#!/bin/sh
# Runs the Unix-link case of test_update under Wine. Wine shows a Unix
# symbolic link to a folder as a reparse point without a tag, and every open
# of it, whatever it asks for, goes through to the folder it points at; no
# Windows call can remove it. Windows programs cannot make such links, so
# this script makes them before the case runs: one standing as the working
# folder itself, one inside a working folder, both pointing at a canary tree.
#
#   unix_links_wine_test.sh RUNNER TEST_EXE WORK_DIR
set -u
runner=$1 exe=$2 work=$3
rm -rf "$work"
mkdir -p "$work/canary/Program" "$work/Tmp2/New"
printf 'database' >"$work/canary/TarnVel.fdb"
printf 'client' >"$work/canary/Program/TarnVel.exe"
printf 'payload' >"$work/Tmp2/New/files.exe"
ln -s "$work/canary" "$work/Tmp1"
ln -s "$work/canary" "$work/Tmp2/New/DB_Data"
TARNVEL_UNIX_LINK_TREE=$(printf 'Z:%s' "$work" | tr / '\\') \
  "$runner" "$exe" --gtest_filter='MyRemoveDirUnixLinksUnderWine.*' </dev/null >"$work.log" 2>&1
exit_code=$?
cat "$work.log"
# A skipped case would pass without having looked at the links.
if [ $exit_code -eq 0 ] && ! grep -q '^\[  PASSED  \] 1 test' "$work.log"; then exit_code=1; fi
if grep -q 'SKIPPED' "$work.log"; then exit_code=1; fi
rm -rf "$work"
exit $exit_code
