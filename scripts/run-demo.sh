#!/usr/bin/env bash
# The main job: sets up this machine, lays out a demo TarnVel product at the
# updater's preset folder with a real Firebird database, and updates it with
# the unattended console program while a user is attached. A second run
# meets a client executable that cannot be replaced and rolls back.
#
#   bash scripts/run-demo.sh            the console demo (both runs)
#   bash scripts/run-demo.sh --window   the Linux window on the same product
#                                       (also chosen when DISPLAY is set)
#   bash scripts/run-demo.sh --console  the console demo even with a display
#
# TARNVEL_SKIP_INSTALL=1 skips the package installation; TARNVEL_DEMO_FOLDER
# lays the product out elsewhere than /opt/ZEK/TarnVel.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

mode=console
[ -n "${DISPLAY:-}" ] && mode=window
case "${1:-}" in
  --window) mode=window ;;
  --console) mode=console ;;
  "") ;;
  *) echo "usage: run-demo.sh [--window | --console]" >&2; exit 64 ;;
esac

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
title() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

if [ "${TARNVEL_SKIP_INSTALL:-0}" != 1 ]; then
  as_root bash scripts/install-deps.sh
fi
for setup in scripts/services/*.sh; do
  [ -e "$setup" ] || continue
  as_root bash "$setup"
done

title "Building the updater"
mkdir -p build
cmake -S "$root" -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >build/native.configure.log 2>&1 ||
  { cat build/native.configure.log; exit 1; }
targets=(Updater_TarnVel_console)
[ $mode = window ] && targets+=(Updater_TarnVel)
cmake --build build/native --target "${targets[@]}" -j "$(nproc)"
console=$root/build/native/src/frontends/console/Updater_TarnVel_console
window=$root/build/native/src/frontends/qt/Updater_TarnVel

started=$(date +%s)
product=${TARNVEL_DEMO_FOLDER:-/opt/ZEK/TarnVel}
demo=$root/build/demo
mkdir -p "$demo"

# The shared server is stopped and started only under this lock.
exec 9>/tmp/tarnvel-firebird.lock
flock 9

title "Demo product in $product"
as_root mkdir -p "$(dirname "$product")"
as_root chmod o+x "$(dirname "$product")"
as_root bash scripts/make-product.sh "$product" --db-mb 16 --program-mb 8 \
  --client-text "TarnVel client 1.0 (the installed version)"

# Discovery: a registry file naming the product's own Firebird service, whose
# service script hands every action to the system's Firebird server.
mkdir -p "$demo/services" "$demo/Firebird/bin"
cat >"$demo/services/NorvaskFireXBirdServer" <<'EOF'
#!/bin/sh
# The product's own Firebird service: the system's Firebird 3 server.
exec /etc/init.d/firebird3.0 "$@" >/dev/null 2>&1
EOF
chmod 0755 "$demo/services/NorvaskFireXBirdServer"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer]\r\n"ImagePath"="%s/Firebird/bin/fbsrvtrvl -s -p 3051"\r\n' \
  "$demo" >"$demo/registry.reg"
export TARNVEL_REGISTRY_FILE=$demo/registry.reg TARNVEL_SERVICE_DIR=$demo/services
echo "registry file: $TARNVEL_REGISTRY_FILE (service NorvaskFireXBirdServer -> /etc/init.d/firebird3.0)"

database=localhost/3051:$product/DB_Data/TarnVel.fdb
query_as_clerk() {
  echo "select count(*) as clients from clients;" |
    isql-fb -q -user CLERK1 -password clerk1pw "$database" 2>&1 | sed '/^$/d'
}
client_sum() { sha256sum "$product/Program/TarnVel.exe" | cut -c1-16; }

if [ $mode = window ]; then
  flock -u 9
  title "Starting the window on $product (SYSDBA password and folder are preset)"
  exec "$window"
fi

# One user at work in the database, so that the run warns about attached users.
# Its own process group (ended as a whole at exit), without the lock's descriptor.
setsid bash -c '{ echo "select name from clients;"; sleep 300; } | isql-fb -q -user CLERK1 -password clerk1pw "$1"' \
  clerk "$database" >"$demo/clerk.log" 2>&1 9>&- &
clerk=$!
trap 'kill -- -$clerk 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q Acme "$demo/clerk.log" 2>/dev/null && break; sleep 0.2; done

export TARNVEL_SYSDBA_PASSWORD=kelpdromux
old_sum=$(client_sum)
title "Before run 1: $(basename "$console") check (what an update would meet; changes nothing)"
set +e
"$console" check --folder "$product" --report "$demo/check.json"
check_code=$?
set -e
echo "exit code of the check: $check_code (0: nothing blocks an update)"
[ "$check_code" -eq 0 ] || { echo "the check found something that blocks an update" >&2; exit 1; }

title "Run 1: $(basename "$console") --yes --report build/demo/report-1.json"
set +e
"$console" --folder "$product" --yes --report "$demo/report-1.json"
code=$?
set -e
kill -- -$clerk 2>/dev/null || true

title "What a person would check after run 1"
python3 - "$demo/report-1.json" <<'EOF'
import json, sys
report = json.load(open(sys.argv[1]))
print(f"outcome: {report['outcome']} (exit code {report['exitCode']}), rolled back: {report['rolledBack']}")
print(f"log file: {report['logFile']}")
print(f"backup folder: {report['backupFolder']}")
print("longest steps:")
for entry in sorted(report["entries"], key=lambda e: -e["stepSeconds"])[:3]:
    print(f"  {entry['stepSeconds']:6.1f} s  {entry['text'].splitlines()[0]}")
EOF
echo "exit code of the program: $code"
echo "client executable: $old_sum before, $(client_sum) after"
echo "backup under the working folder:"
(cd "$product" && find Tmp\$*/Old -maxdepth 2 | sort | sed 's/^/  /')
echo "the database as a normal user (CLERK1):"
query_as_clerk | sed 's/^/  /'

title "Run 2: the installed client cannot be replaced: the run rolls back"
# The client is made immutable, as an administrator protects a file: the
# replacement is refused, the installed client stays whole, and the rollback
# finds every installed part equal to its backup and leaves it alone. (A
# running client no longer stops an update on Linux: the new client is
# renamed over it, and the running program keeps its old file until it ends.)
as_root chattr +i "$product/Program/TarnVel.exe"
trap 'kill -- -$clerk 2>/dev/null || true; as_root chattr -i "$product/Program/TarnVel.exe" 2>/dev/null || true' EXIT
tree_sum() { (cd "$product" && find Program -type f -exec sha256sum {} + | sort | sha256sum | cut -c1-16); }
before_sum=$(tree_sum)
set +e
"$console" --folder "$product" --yes --report "$demo/report-2.json"
code2=$?
set -e
as_root chattr -i "$product/Program/TarnVel.exe"

title "What a person would check after run 2"
python3 - "$demo/report-2.json" <<'EOF2'
import json, sys
report = json.load(open(sys.argv[1]))
print(f"outcome: {report['outcome']} (exit code {report['exitCode']}), rolled back: {report['rolledBack']}")
print(f"backup kept in: {report['backupFolder']}")
EOF2
echo "exit code of the program: $code2"
echo "the Program folder (checksum of every file): $before_sum before, $(tree_sum) after"
echo "the database as a normal user (CLERK1):"
query_as_clerk | sed 's/^/  /'

title "Done in $(($(date +%s) - started)) s (after the build)"
echo "run 1: exit $code (0 = success), run 2: exit $code2 (3 = rolled back)"
[ "$code" -eq 0 ] && [ "$code2" -eq 3 ]
