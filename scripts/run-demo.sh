#!/usr/bin/env bash
# The main job: sets up this machine and runs the updater against a demo
# product with a real Firebird database.
#
# The update run itself (discovery, database services, backup, replacement)
# is built and tested (tests/driver); the front ends that start it are being
# built. Until they land this command builds the updater, starts it headless
# and shows what it has so far.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ "${TARNVEL_SKIP_INSTALL:-0}" != 1 ]; then
  as_root bash scripts/install-deps.sh
fi
for setup in scripts/services/*.sh; do
  [ -e "$setup" ] || continue
  as_root bash "$setup"
done

mkdir -p build
cmake -S "$root" -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >build/native.configure.log 2>&1 ||
  { cat build/native.configure.log; exit 1; }
cmake --build build/native --target Updater_TarnVel_console -j "$(nproc)"

echo
echo "Not there yet: the demo product and the front end that starts the update run. Starting the updater shell:"
echo
set +e
build/native/src/frontends/console/Updater_TarnVel_console
code=$?
set -e
echo
echo "Updater_TarnVel_console exited with $code (2 = its front end is not built yet)."
