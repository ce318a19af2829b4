#!/usr/bin/env bash
# Installs every Debian package the project needs, on a fresh machine or again
# (idempotent, non-interactive). Run as root.
#
#   install-deps.sh        what the build and the test suite need
#   install-deps.sh fuzz   and clang with libFuzzer for scripts/fuzz.sh
set -euo pipefail

packages=(
  # native build and tests
  cmake ninja-build g++ make pkg-config git python3
  googletest libgtest-dev libgmock-dev
  zlib1g-dev
  # Windows cross build (posix thread model), its zlib, Wine to run the tests
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
  binutils-mingw-w64-i686 libz-mingw-w64-dev
  wine wine64 wine64-tools
  # Firebird: client headers and library (loaded at run time), server and tools
  # for the tests and the demo
  libfbclient2 firebird-dev firebird3.0-server firebird3.0-utils
  # the Linux window, and a display and screenshots for window tests
  qt6-base-dev xvfb imagemagick
  # test helpers: chattr, setpriv, mkfs.ext4, procps, netstat-like checks
  e2fsprogs util-linux procps iproute2 netcat-openbsd
  # the copy-on-write (XFS) case of the benchmarks
  xfsprogs
  # Authenticode signatures of the zips' programs, and the throwaway
  # certificate and time-stamp server that check them in CI
  osslsigncode openssl
  # the sanitizer build of the native suite (g++'s AddressSanitizer and
  # UndefinedBehaviorSanitizer run-time libraries)
  libasan8 libubsan1
  # the fleet playbook in deploy/ansible and its test: the engine, the
  # collections (ansible.windows for the Windows hosts) and the linter
  ansible-core ansible ansible-lint
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

export DEBIAN_FRONTEND=noninteractive
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
  "${missing[@]}"
