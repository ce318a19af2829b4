#!/usr/bin/env bash
# Prepares the local Firebird 3 server that the tests and the demo use:
# listens on 127.0.0.1 port 3051, SYSDBA's password is "kelpdromux", running.
# Run as root. Idempotent: on a machine where the packages were just installed
# (server stopped, random password) and again on one where it already ran.
#
# Callers that share the server serialise on /tmp/tarnvel-firebird.lock; this
# script does not take that lock itself, since it runs inside such callers.
set -euo pipefail

readonly port=3051
readonly password=kelpdromux
readonly conf=/etc/firebird/3.0/firebird.conf
readonly securityDb=/var/lib/firebird/3.0/system/security3.fdb
readonly passwordFile=/etc/firebird/3.0/SYSDBA.password
readonly service=firebird3.0
readonly waitSeconds=90

say() { echo "firebird.sh: $*"; }
fail() { echo "firebird.sh: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "must run as root"
[ -f "$conf" ] && [ -x /usr/sbin/fbguard ] || fail "firebird3.0-server is not installed (scripts/install-deps.sh)"
command -v isql-fb >/dev/null && command -v fbsvcmgr >/dev/null ||
  fail "firebird3.0-utils is not installed (scripts/install-deps.sh)"

running() { pidof /usr/sbin/fbguard >/dev/null 2>&1; }

# Answers on the port and accepts our password.
answers() {
  fbsvcmgr "localhost/$port:service_mgr" user SYSDBA password "$password" info_server_version \
    >/dev/null 2>&1
}

# set_key KEY VALUE: one active "KEY = VALUE" line; returns 0 when the file changed.
set_key() {
  local key=$1 value=$2
  if grep -Eq "^[[:space:]]*$key[[:space:]]*=[[:space:]]*$value[[:space:]]*$" "$conf" &&
     [ "$(grep -Ec "^[[:space:]]*$key[[:space:]]*=" "$conf")" -eq 1 ]; then
    return 1
  fi
  sed -i -E "/^[[:space:]]*$key[[:space:]]*=/d" "$conf"
  printf '%s = %s\n' "$key" "$value" >>"$conf"
  return 0
}

stop_server() {
  running || return 0
  say "stopping the server"
  service "$service" stop >/dev/null || true
  for _ in $(seq 1 30); do running || return 0; sleep 1; done
  fail "the server did not stop"
}

# The security database is opened exclusively by a running server, so the
# embedded engine changes the password while the server is down, as the
# owner of the file.
set_password_embedded() {
  say "setting the SYSDBA password"
  printf "create or alter user SYSDBA password '%s' using plugin Srp;\ncommit;\n" "$password" |
    runuser -u firebird -- isql-fb -q -user SYSDBA "$securityDb" >/dev/null ||
    fail "could not set the SYSDBA password in $securityDb"
}

write_password_file() {
  cat >"$passwordFile" <<EOF
# Password for firebird SYSDBA user (set by the project's scripts/services/firebird.sh)
ISC_USER=sysdba
ISC_PASSWORD="$password"
EOF
  chmod 0600 "$passwordFile"
}

changed=0
set_key RemoteServicePort "$port" && changed=1
set_key RemoteBindAddress 127.0.0.1 && changed=1
[ $changed -eq 1 ] && say "configured port $port on 127.0.0.1"

if running && [ $changed -eq 0 ] && answers; then
  write_password_file
  say "server already running on localhost/$port"
  exit 0
fi

stop_server
set_password_embedded
write_password_file

say "starting the server"
service "$service" start >/dev/null || fail "service $service start failed"
for _ in $(seq 1 "$waitSeconds"); do
  if answers; then
    say "server answers on localhost/$port"
    exit 0
  fi
  sleep 1
done
fail "the server does not answer on localhost/$port after ${waitSeconds} s"
