#!/usr/bin/env bash
# Lays out an installed TarnVel product for tests, benchmarks and the demo:
#
#   FOLDER/Program/TarnVel.exe      the installed ("old") client executable
#   FOLDER/Program/bulk/…           optional bulk files (--program-mb)
#   FOLDER/DB_Data/TarnVel.fdb      a real database made by the Firebird server
#                                   on localhost/3051, filled to --db-mb
#
#   make-product.sh FOLDER [--client-only | --server-only] [--program-mb N]
#                   [--db-mb N] [--files N] [--client-text TEXT]
#
#   --client-only / --server-only   lay out only Program or only DB_Data
#   --program-mb N                  N MiB of bulk files in Program/bulk (default 0)
#   --files N                       spread the bulk over N files (default 4)
#   --db-mb N                       grow the database to at least N MiB (default: small)
#   --client-text TEXT              content of the old client executable
#
# An existing FOLDER is replaced. The server (SYSDBA password "kelpdromux")
# creates the database, so the file belongs to the server's user as in
# production; the users CLERK1 (clerk1pw) and CLERK2 (clerk2pw) exist and may
# read the table CLIENTS. Every folder above FOLDER must be searchable by the
# server's user "firebird".
set -euo pipefail

readonly server=localhost/3051
readonly password=kelpdromux

fail() { echo "make-product.sh: $*" >&2; exit 1; }

[ $# -ge 1 ] || fail "usage: make-product.sh FOLDER [options] (see the head of this script)"
folder=$1; shift
client=1 server_part=1 program_mb=0 files=4 db_mb=0 client_text="TarnVel client, installed version"
while [ $# -gt 0 ]; do
  case $1 in
    --client-only) server_part=0 ;;
    --server-only) client=0 ;;
    --program-mb) program_mb=$2; shift ;;
    --files) files=$2; shift ;;
    --db-mb) db_mb=$2; shift ;;
    --client-text) client_text=$2; shift ;;
    *) fail "unknown option $1" ;;
  esac
  shift
done
[[ $program_mb =~ ^[0-9]+$ && $files =~ ^[1-9][0-9]*$ && $db_mb =~ ^[0-9]+$ ]] ||
  fail "sizes and counts are whole numbers"
case $folder in /*) ;; *) folder=$PWD/$folder ;; esac
[ "$folder" != / ] || fail "refusing to lay out a product at /"

# Never wipe a folder that is not a product of ours.
if [ -e "$folder" ]; then
  for entry in "$folder"/* "$folder"/.[!.]*; do
    [ -e "$entry" ] || continue
    case ${entry##*/} in Program | DB_Data | Tmp\$* | Logs) ;; *) fail "$folder holds other things than a product; not replacing it" ;; esac
  done
  chattr -R -i "$folder" 2>/dev/null || true
  rm -rf "$folder"
fi
mkdir -p "$folder"

if [ $client = 1 ]; then
  mkdir -p "$folder/Program"
  printf '%s\n' "$client_text" >"$folder/Program/TarnVel.exe"
  chmod 0755 "$folder/Program/TarnVel.exe"
  if [ "$program_mb" -gt 0 ]; then
    mkdir -p "$folder/Program/bulk"
    per_file=$(((program_mb * 1024 + files - 1) / files))  # KiB
    for ((i = 1; i <= files; i++)); do
      head -c "${per_file}K" /dev/urandom >"$folder/Program/bulk/part$i.bin"
    done
  fi
fi

if [ $server_part = 1 ]; then
  mkdir -p "$folder/DB_Data"
  chmod 0777 "$folder/DB_Data"
  if [ "$(id -u)" -eq 0 ] && ! runuser -u firebird -- test -w "$folder/DB_Data" 2>/dev/null; then
    fail "the server's user 'firebird' cannot write $folder/DB_Data: every folder above it must be searchable by others (chmod o+x)"
  fi
  # A server that was just restarted takes a moment to listen again.
  for _ in $(seq 1 120); do nc -z 127.0.0.1 3051 2>/dev/null && break; sleep 0.5; done
  database=$folder/DB_Data/TarnVel.fdb
  # Each filler row holds 32000 bytes; a page of 16 KiB keeps the overhead low.
  rows=$(((db_mb * 1024 * 1024 + 31999) / 32000))
  {
    echo "create database '$server:$database' page_size 16384 default character set WIN1251;"
    echo "create table clients (id integer not null primary key, name varchar(60));"
    echo "insert into clients values (1, 'Acme');"
    echo "insert into clients values (2, 'Globex');"
    echo "insert into clients values (3, 'Initech');"
    echo "create table filler (id integer not null, payload varchar(32000));"
    echo "commit;"
    echo "create or alter user CLERK1 password 'clerk1pw' using plugin Srp;"
    echo "create or alter user CLERK2 password 'clerk2pw' using plugin Srp;"
    echo "grant select on clients to CLERK1;"
    echo "grant select on clients to CLERK2;"
    echo "commit;"
    if [ "$rows" -gt 0 ]; then
      echo "set term ^;"
      echo "execute block as declare i integer = 0; begin"
      echo "  while (i < $rows) do begin"
      echo "    insert into filler values (:i, rpad(:i || '-', 32000, uuid_to_char(gen_uuid())));"
      echo "    i = i + 1;"
      echo "  end"
      echo "end^"
      echo "set term ;^"
      echo "commit;"
    fi
  } | isql-fb -q -bail -user SYSDBA -password "$password" ||
    fail "isql-fb could not create $database on $server (is the server running? scripts/services/firebird.sh)"
  [ -f "$database" ] || fail "$database was not created"
fi
echo "make-product.sh: product in $folder"
