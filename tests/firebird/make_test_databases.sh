#!/usr/bin/env bash
# Creates the Firebird test databases in FOLDER (a fresh folder the server's
# "firebird" user can write) and the test users CLERK1 and CLERK2. The server
# on localhost/3051 creates the files, so they belong to it as in production.
#
#   make_test_databases.sh FOLDER
set -euo pipefail
folder=$1
server=localhost/3051
password=kelpdromux

fail() { echo "make_test_databases.sh: $*" >&2; exit 1; }

rm -rf "$folder"
mkdir -p "$folder"
chmod 0777 "$folder"
if [ "$(id -u)" -eq 0 ] && ! runuser -u firebird -- test -w "$folder" 2>/dev/null; then
  fail "the server's user 'firebird' cannot write $folder: every folder above it must be searchable by others (chmod o+x)"
fi

# A server that was just restarted takes a moment to listen again.
for _ in $(seq 1 120); do nc -z 127.0.0.1 3051 2>/dev/null && break; sleep 0.5; done

databases=(users modes)
{
  for name in "${databases[@]}"; do
    echo "create database '$server:$folder/$name.fdb' page_size 4096 default character set WIN1251;"
  done
  echo "create or alter user CLERK1 password 'clerk1pw' using plugin Srp;"
  echo "create or alter user CLERK2 password 'clerk2pw' using plugin Srp;"
  echo "commit;"
} | isql-fb -q -bail -user SYSDBA -password "$password" ||
  fail "isql-fb could not create the test databases on $server (is scripts/services/firebird.sh done?)"

for name in "${databases[@]}"; do
  [ -f "$folder/$name.fdb" ] || fail "$folder/$name.fdb was not created"
done
echo "make_test_databases.sh: ${databases[*]} in $folder"
