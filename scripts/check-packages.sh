#!/usr/bin/env bash
# Makes the packages from the builds scripts/test.sh made (a Debian package
# from build/native, a zip from build/win64 and build/win32), installs the
# Debian package on this machine, and runs the installed console program:
# its --help, then the "online" command on a product of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
fail() { echo "check-packages.sh: $*" >&2; exit 1; }

for build in build/win64 build/win32; do
  (cd "$build" && cpack -G ZIP >/dev/null) || fail "no zip from $build"
  ls "$build"/Updater_TarnVel-*.zip
done
(cd build/native && rm -f ./*.deb && cpack -G DEB >/dev/null) || fail "no Debian package"
deb=$(ls "$root"/build/native/*.deb)
echo "$deb"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null

/usr/bin/Updater_TarnVel_console --help | head -1
[ -d /opt/tarnvel/Logs ] || fail "the package has no Logs folder beside the programs"

# A product the server's user can reach, made and used under the server lock.
product=/var/lib/firebird/3.0/data/tarnvel-package-check/TarnVel
exec 9>/tmp/tarnvel-firebird.lock
flock 9
as_root mkdir -p "$(dirname "$product")"
as_root chmod 0755 "$(dirname "$product")"
as_root bash scripts/make-product.sh "$product" >/dev/null
set +e
TARNVEL_SYSDBA_PASSWORD=kelpdromux /usr/bin/Updater_TarnVel_console online --folder "$product" </dev/null
code=$?
set -e
as_root rm -rf "$(dirname "$product")"
[ $code -eq 0 ] || fail "the installed console's online command ended with exit code $code"
echo "check-packages.sh: the installed console program works"
