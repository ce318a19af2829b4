#!/usr/bin/env bash
# Runs the fleet playbook (deploy/ansible/tarnvel-update.yml) against this
# machine and judges what it did from the product folders, the updater's
# state folders, the database and the reports fetched to the controller.
#
#   bash deploy/ansible/test/run-fleet-test.sh [CONSOLE_PROGRAM]
#
# Four inventory hosts, all "ansible_connection: local", each with a product
# folder, a program folder and a state folder of its own (the shared Firebird
# server serves their databases one after the other), in the order the play
# takes them:
#
#   fleet-updated    an ordinary product: updated (exit code 0), client
#                    replaced, backup complete, database online
#   fleet-blocked    something `check` calls blocking: left as it was, no
#                    update attempted, database in the mode it had
#   fleet-rollback   a client that cannot be replaced (chattr +i): the update
#                    rolls back (exit code 3) and stops the play
#   fleet-after      never reached, since the play stopped before it
#
# The first three get the SYSDBA password from Ansible Vault, fleet-rollback
# from a password file on the controller.
#
# Run as root, after the native build (CONSOLE_PROGRAM defaults to its
# console program) and with the server answering (scripts/services/firebird.sh).
# The script takes /tmp/tarnvel-firebird.lock itself, as the demo does: do
# not wrap it in flock. It removes what an earlier run left, and on its way
# out everything but build/fleet-test/reports and build/fleet-test/ansible.log.
set -euo pipefail
cd "$(dirname "$0")/../../.."
root=$PWD
console=${1:-$root/build/native/src/frontends/console/Updater_TarnVel_console}
standin=$root/build/native/src/update/payload/TarnVel_standin
work=$root/build/fleet-test
readonly password=kelpdromux
started=$SECONDS

fail() { echo "run-fleet-test.sh: FAILED: $*" >&2; exit 1; }
say() { echo "run-fleet-test.sh: [$((SECONDS - started)) s] $*"; }

[ "$(id -u)" -eq 0 ] || fail "must run as root (the console program needs root's rights)"
[ -x "$console" ] || fail "no console program at $console (build the native target first)"
command -v ansible-playbook >/dev/null || fail "ansible-playbook is missing (scripts/install-deps.sh)"

hosts=(fleet-updated fleet-blocked fleet-rollback fleet-after)
product() { echo "$work/products/$1/TarnVel"; }
database() { echo "localhost/3051:$(product "$1")/DB_Data/TarnVel.fdb"; }

# What the test changed on this machine, undone on every way out.
blocker_pid=""
cleanup() {
  local code=$?
  set +e
  [ -n "$blocker_pid" ] && kill "$blocker_pid" 2>/dev/null && wait "$blocker_pid" 2>/dev/null
  [ -d "$work/products" ] && chattr -R -i "$work/products" 2>/dev/null
  # A failed run may have left the shared server stopped; it is started
  # without the lock's descriptor, which it would otherwise keep for ever.
  nc -z 127.0.0.1 3051 2>/dev/null || bash "$root/scripts/services/firebird.sh" >/dev/null 9>&-
  rm -rf "$work/products" "$work/hosts" "$work/inventory" "$work/ansible-tmp" "$work/secrets" \
    "$work/services" "$work/Firebird" "$work/registry.reg"
  exit $code
}
trap cleanup EXIT

mkdir -p "$root/build"
# The playbook as written, on every system: the Windows tasks are checked
# here and nowhere run.
say "ansible-playbook --syntax-check and ansible-lint on deploy/ansible"
(cd deploy/ansible && ANSIBLE_CONFIG=$PWD/ansible.cfg \
  ansible-playbook -i inventory.example.yml tarnvel-update.yml --syntax-check >/dev/null) ||
  fail "the playbook does not pass ansible-playbook --syntax-check"
(cd deploy/ansible && ansible-lint --offline -q --nocolor >"$work.lint.log" 2>&1) ||
  { cat "$work.lint.log"; fail "the playbook does not pass ansible-lint"; }
rm -f "$work.lint.log"

# The shared server is stopped and started by the updates only under this
# lock, as in the demo. The playbook gets no copy of the lock's descriptor:
# the server the updates restart would otherwise hold the lock for ever.
exec 9>/tmp/tarnvel-firebird.lock
say "waiting for /tmp/tarnvel-firebird.lock"
flock 9
say "laying out the products"

chattr -R -i "$work" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work/products" "$work/hosts" "$work/inventory" "$work/reports" "$work/secrets"
chmod 0700 "$work/secrets"

# --- the products ----------------------------------------------------------
for host in "${hosts[@]}"; do
  mkdir -p "$work/products/$host" "$work/hosts/$host/state" "$work/hosts/$host/secret"
  chmod o+x "$work/products/$host"
  layout=()
  [ "$host" = fleet-after ] && layout=(--client-only)
  bash scripts/make-product.sh "$(product "$host")" "${layout[@]}" --program-mb 1 \
    --client-text "TarnVel client 1.0 on $host" >/dev/null
done

# Discovery, as in the demo: the product's own service NorvaskFireXBirdServer,
# whose script hands every action to the system's Firebird server.
mkdir -p "$work/services" "$work/Firebird/bin"
cat >"$work/services/NorvaskFireXBirdServer" <<'EOF'
#!/bin/sh
# The product's own Firebird service: the system's Firebird 3 server.
exec /etc/init.d/firebird3.0 "$@" >/dev/null 2>&1
EOF
chmod 0755 "$work/services/NorvaskFireXBirdServer"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer]\r\n"ImagePath"="%s/Firebird/bin/fbsrvtrvl -s -p 3051"\r\n' \
  "$work" >"$work/registry.reg"

# --- what each host is before the play ---------------------------------------
# Every file of a folder with its checksum, and every name in it.
tree_state() { (cd "$1" && find . -type f -exec sha256sum {} + | sort && find . | sort); }
# The database's shutdown mode as a normal user sees it (0 = online); a
# database that is shut down refuses the user.
database_mode() {
  echo "select 'mode=' || mon\$shutdown_mode from mon\$database;" |
    isql-fb -q -user CLERK1 -password clerk1pw "$(database "$1")" 2>&1 | grep -o 'mode=[0-9]*\|Statement failed.*\|.*shutdown.*' | head -1
}

# fleet-rollback: the client is made immutable, as an administrator protects
# a file, so that its replacement is refused and the run rolls back.
# (fleet-blocked gets its blocking condition just before the play.)
chattr +i "$(product fleet-rollback)/Program/TarnVel.exe"

for host in "${hosts[@]}"; do
  tree_state "$(product "$host")/Program" >"$work/hosts/$host/program-before"
  (cd "$(product "$host")/.." && find . | sort) >"$work/hosts/$host/names-before"
done
[ "$(database_mode fleet-blocked)" = mode=0 ] || fail "fleet-blocked's database is not online before the play"

# --- inventory and secrets ---------------------------------------------------
vault_password_file=$work/secrets/vault-password
head -c 24 /dev/urandom | base64 >"$vault_password_file"
mkdir -p "$work/inventory/group_vars/tarnvel"
printf 'fleet_test_sysdba_password: %s\n' "$password" >"$work/inventory/group_vars/tarnvel/vault.yml"
ansible-vault encrypt --vault-password-file "$vault_password_file" \
  "$work/inventory/group_vars/tarnvel/vault.yml" >/dev/null
printf '%s\n' "$password" >"$work/secrets/sysdba.pw"
chmod 0600 "$work/secrets/sysdba.pw"

{
  cat <<EOF
---
tarnvel:
  vars:
    ansible_connection: local
    ansible_python_interpreter: /usr/bin/python3
    tarnvel_update_console_src: $console
    tarnvel_update_controller_report_dir: $work/reports
  hosts:
EOF
  for host in "${hosts[@]}"; do
    cat <<EOF
    $host:
      tarnvel_update_folder: $(product "$host")
      tarnvel_update_console_dir: $work/hosts/$host/program
      tarnvel_update_secret_parent: $work/hosts/$host/secret
      tarnvel_update_environment:
        TARNVEL_STATE_DIR: $work/hosts/$host/state
        TARNVEL_REGISTRY_FILE: $work/registry.reg
        TARNVEL_SERVICE_DIR: $work/services
EOF
    if [ "$host" = fleet-rollback ]; then
      echo "      tarnvel_update_sysdba_password_file: $work/secrets/sysdba.pw"
    else
      echo "      tarnvel_update_sysdba_password: \"{{ fleet_test_sysdba_password }}\""
    fi
  done
} >"$work/inventory/hosts.yml"

# --- the blocking condition of fleet-blocked ---------------------------------
# A program whose working folder lies in the product (a shell or a client an
# operator left open there): `check` calls it blocking, and an update would
# shut the database down and stop the service, only to fail its lock test on
# it. Without the lock's descriptor, ended on the way out.
(cd "$(product fleet-blocked)/Program" && exec sleep 3600) 9>&- &
blocker_pid=$!

# --- the play ----------------------------------------------------------------
say "running the playbook (the two updates pause 15 s each after the service stop)"
set +e
ANSIBLE_CONFIG=$root/deploy/ansible/ansible.cfg \
ANSIBLE_LOCAL_TEMP=$work/ansible-tmp/local ANSIBLE_REMOTE_TEMP=$work/ansible-tmp/remote \
ANSIBLE_NOCOLOR=1 ANSIBLE_CALLBACKS_ENABLED=ansible.posix.profile_tasks \
  ansible-playbook -v -i "$work/inventory/hosts.yml" --vault-password-file "$vault_password_file" \
  "$root/deploy/ansible/tarnvel-update.yml" </dev/null >"$work/ansible.log" 2>&1 9>&-
play_code=$?
set -e
sed -n '/^PLAY RECAP/,$p' "$work/ansible.log"
say "ansible-playbook ended with exit code $play_code"

# --- judgement, from the disk and the fetched reports ------------------------
# A play with a failed host ends with exit code 2.
[ $play_code -eq 2 ] || fail "ansible-playbook ended with $play_code, not 2 (a failed host); see $work/ansible.log"
if grep -q "$password" "$work/ansible.log"; then
  fail "the SYSDBA password appears in the playbook's output"
fi
for host in "${hosts[@]}"; do
  [ -z "$(ls -A "$work/hosts/$host/secret")" ] || fail "$host: the password's folder was not removed"
  [ ! -e "$work/hosts/$host/state/run-journal.jsonl" ] || fail "$host: an unfinished run journal is left"
done

report_field() {  # host file field
  python3 -c 'import json, sys; print(json.load(open(sys.argv[1]))[sys.argv[2]])' \
    "$work/reports/$1/$2" "$3"
}
ended_journals() { find "$work/hosts/$1/state" -path '*/ended/*' -type f | wc -l; }

# fleet-updated: checked, updated, client replaced, database online.
host=fleet-updated
[ -f "$work/reports/$host/check.json" ] || fail "$host: no check report was fetched"
[ "$(report_field $host check.json outcome)" = succeeded ] || fail "$host: the check found something blocking"
[ "$(report_field $host update.json outcome)" = succeeded ] || fail "$host: the update did not succeed"
[ "$(report_field $host update.json exitCode)" = 0 ] || fail "$host: the update's exit code is not 0"
[ "$(report_field $host update.json backupComplete)" = True ] || fail "$host: the backup is not complete"
new_sum=$(sha256sum <"$(product $host)/Program/TarnVel.exe")
old_sum=$(grep ' ./TarnVel.exe$' "$work/hosts/$host/program-before" | cut -d' ' -f1)
[ "${new_sum%% *}" != "$old_sum" ] || fail "$host: the client was not replaced"
if [ -f "$standin" ]; then
  [ "$new_sum" = "$(sha256sum <"$standin")" ] || fail "$host: the new client is not the payload's client"
fi
backup=$(report_field $host update.json backupFolder)
[ "$(sha256sum <"$backup/Program/TarnVel.exe" | cut -d' ' -f1)" = "$old_sum" ] ||
  fail "$host: the backup does not hold the old client"
[ "$(database_mode $host)" = mode=0 ] || fail "$host: the database is not online after the update"
[ "$(ended_journals $host)" -ge 1 ] || fail "$host: no ended run journal"
say "$host: updated, client replaced, backup in $backup, database online"

# fleet-blocked: the check blocked it; nothing was attempted or changed.
host=fleet-blocked
[ -f "$work/reports/$host/check.json" ] || fail "$host: no check report was fetched"
python3 - "$work/reports/$host/check.json" "$blocker_pid" <<'EOF' ||
import json, sys
report = json.load(open(sys.argv[1]))
blocking = [f for f in report["findings"] if f["verdict"] == "blocks"]
for finding in blocking:
    print(f"run-fleet-test.sh: fleet-blocked: blocks: {finding['topic']}: {finding['text']}")
# Blocked by the program left in the folder, and by nothing else.
assert report["command"] == "check" and report["outcome"] == "blocked" and report["exitCode"] == 5, report
assert [f["topic"] for f in blocking] == ["holders"], blocking
assert f"sleep (PID {sys.argv[2]})" in blocking[0]["text"], blocking
EOF
  fail "$host: the check report does not name the program in the folder as what blocks"
[ ! -e "$work/reports/$host/update.json" ] || fail "$host: an update report was fetched: an update ran"
[ ! -e "$work/hosts/$host/program/Reports/update.json" ] || fail "$host: an update ran"
tree_state "$(product $host)/Program" | cmp -s - "$work/hosts/$host/program-before" ||
  fail "$host: files of Program changed"
(cd "$(product $host)/.." && find . | sort) | cmp -s - "$work/hosts/$host/names-before" ||
  fail "$host: names in the product's folder changed (a working folder, a renamed folder)"
[ "$(database_mode $host)" = mode=0 ] || fail "$host: the database is no longer online"
[ "$(ended_journals $host)" -eq 0 ] || fail "$host: a run journal was written: an update ran"
say "$host: blocked by the check, left as it was (files, names, database online, no journal)"

# fleet-rollback: the update rolled back, the play stopped here.
host=fleet-rollback
[ "$(report_field $host update.json outcome)" = rolled-back ] || fail "$host: the update did not roll back"
[ "$(report_field $host update.json exitCode)" = 3 ] || fail "$host: the update's exit code is not 3"
[ "$(report_field $host update.json rolledBack)" = True ] || fail "$host: the report does not say rolled back"
chattr -i "$(product $host)/Program/TarnVel.exe"
tree_state "$(product $host)/Program" | cmp -s - "$work/hosts/$host/program-before" ||
  fail "$host: files of Program differ from before the update"
[ "$(database_mode $host)" = mode=0 ] || fail "$host: the database is not online after the rollback"
[ "$(ended_journals $host)" -ge 1 ] || fail "$host: no ended run journal"
say "$host: rolled back (exit code 3), Program as it was, database online"

# fleet-after: the play stopped before it.
host=fleet-after
[ ! -e "$work/hosts/$host/program" ] || fail "$host: the play reached it"
[ ! -e "$work/reports/$host" ] || fail "$host: reports were fetched from it"
tree_state "$(product $host)/Program" | cmp -s - "$work/hosts/$host/program-before" ||
  fail "$host: files of Program changed"
say "$host: not reached, the play stopped at fleet-rollback"

say "passed"
