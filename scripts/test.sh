#!/usr/bin/env bash
# Sets up this machine and runs every test: installs the Debian packages,
# starts the services the tests need, builds the native and the Windows
# targets (x86_64 and i686) and the native target with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the native suite, the fleet playbook's test
# (deploy/ansible), the Windows suite under
# Wine and the native suite again with the sanitizers, then makes the
# packages, installs the Debian one and runs its console program. The suites run one
# after the other: tests that stop the shared Firebird server or change a
# database's mode must never overlap.
#
#   bash scripts/test.sh            everything
#   TARNVEL_SKIP_INSTALL=1 ...      skip the package step (already done)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

step() { printf '\n=== %s (%d s) ===\n' "$*" "$SECONDS"; }

if [ "${TARNVEL_SKIP_INSTALL:-0}" != 1 ]; then
  step "Installing packages"
  as_root bash scripts/install-deps.sh
fi

# Services the tests use (the Firebird server on localhost/3051).
for setup in scripts/services/*.sh; do
  [ -e "$setup" ] || continue
  step "Service: $setup"
  as_root bash "$setup"
done

configure() {  # build-dir [cmake args...]
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; return 1; }
}

mkdir -p build
step "Building native (Linux)"
configure build/native
cmake --build build/native -j "$jobs"

step "Building Windows x86_64 (mingw-w64)"
configure build/win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
cmake --build build/win64 -j "$jobs"

step "Building Windows i686 (mingw-w64, compile only)"
configure build/win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake"
cmake --build build/win32 -j "$jobs"

step "Building native with AddressSanitizer and UndefinedBehaviorSanitizer"
configure build/asan -DTARNVEL_SANITIZE=address,undefined
cmake --build build/asan -j "$jobs"

# Suites stop and start the Firebird server; each suite starts with a server
# that answers, whatever the one before left it doing.
server_ready() { as_root bash scripts/services/firebird.sh >/dev/null; }

status=0
step "Native suite"
server_ready
(cd build/native && ctest --output-on-failure -j "$jobs") || status=1

# The fleet playbook (deploy/ansible) against local hosts with the native
# console program: it updates real products and restarts the server, so it
# runs here, between suites, and takes the server's lock itself.
step "Fleet playbook (Ansible) against local hosts"
server_ready
as_root bash deploy/ansible/test/run-fleet-test.sh || status=1

step "Windows suite under Wine"
server_ready
export WINEPREFIX="$root/build/win64/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe,winedbg.exe=d"
# Wine's background processes must not hold ctest's output pipe open: start
# the server and the prefix first, with their output on /dev/null.
mkdir -p "$WINEPREFIX"
trap 'wineserver -k </dev/null >/dev/null 2>&1 || true' EXIT
wineserver -k </dev/null >/dev/null 2>&1 || true   # a server left over from an earlier run
wineserver -w </dev/null >/dev/null 2>&1 || true
# A display (Xvfb and Wine's virtual desktop) for the window tests; it writes
# the prefix's settings, so it comes before the server below starts.
source scripts/wine-display.sh
wineserver -p </dev/null >/dev/null 2>&1
# Plain wineboot: "wineboot -i" on a fresh prefix leaves two service managers
# running, and then no service can be started (ERROR_SERVICE_DATABASE_LOCKED).
wineboot </dev/null >/dev/null 2>&1
(cd build/win64 && ctest --output-on-failure -j "$jobs") || status=1
wineserver -k </dev/null >/dev/null 2>&1 || true
# The later suites run without the display, as before.
wine_display_stop
unset DISPLAY TARNVEL_WINDOW_DISPLAY

step "Native suite with AddressSanitizer and UndefinedBehaviorSanitizer"
server_ready
# Every finding fails its test: UBSan stops at the first one, ASan always does.
# The leak check stays off: LeakSanitizer's own tracer crashes at the exit of
# programs that used the Firebird client ("Tracer caught signal 11"), failing
# server tests whose every assertion passed.
(cd build/asan &&
  ASAN_OPTIONS=detect_leaks=0:check_initialization_order=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --output-on-failure -j "$jobs") || status=1

step "Packages: Debian package installed and run, Windows zips"
server_ready
bash scripts/check-packages.sh || status=1

step "Result"
if [ $status -eq 0 ]; then echo "Every suite passed."; else echo "A suite failed."; fi
exit $status
