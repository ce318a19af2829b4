#!/usr/bin/env bash
# Makes the packages from the builds scripts/test.sh made (a Debian package
# from build/native, a zip from build/win64 and build/win32), installs the
# Debian package on this machine, and runs the installed console program:
# its --help and --version, then the "online" command on a product of its
# own. The zips' programs are signed with a throwaway self-signed
# certificate made here, and each signature is checked.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
fail() { echo "check-packages.sh: $*" >&2; exit 1; }

# Inverts every bit of the byte in the middle of File (inside the signed
# bytes of a program: its signature sits at the end).
flip_middle_byte() {
  local at old
  at=$(($(stat -c %s "$1") / 2))
  old=$(od -An -tu1 -j "$at" -N 1 "$1" | tr -d ' ')
  # shellcheck disable=SC2059
  printf "$(printf '\\%03o' $((old ^ 255)))" | dd of="$1" bs=1 seek="$at" conv=notrunc status=none
}

# The certificate and key live only as long as this script, outside the
# tree; so does a time-stamp server of our own on this machine.
signing=$(mktemp -d)
tsa_pid=""
trap 'if [ -n "$tsa_pid" ]; then kill "$tsa_pid" 2>/dev/null; fi; rm -rf "$signing"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=TarnVel throwaway signing certificate" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null ||
  fail "openssl could not make the throwaway signing certificate"
python3 scripts/timestamp-server.py "$signing/tsa" >"$signing/tsa-port" &
tsa_pid=$!
for _ in $(seq 300); do
  [ -s "$signing/tsa-port" ] && break
  kill -0 "$tsa_pid" 2>/dev/null || fail "the time-stamp server did not start"
  sleep 0.1
done
[ -s "$signing/tsa-port" ] || fail "the time-stamp server did not start"
TARNVEL_SIGN_TIMESTAMP_URL="http://127.0.0.1:$(cat "$signing/tsa-port")"
export TARNVEL_SIGN_TIMESTAMP_URL

zips=()
for build in build/win64 build/win32; do
  rm -f "$build"/Updater_TarnVel-*.zip
  (cd "$build" && TARNVEL_SIGN_CERT="$signing/cert.pem" TARNVEL_SIGN_KEY="$signing/key.pem" \
    cpack -G ZIP >/dev/null) || fail "no signed zip from $build"
  zip=$(ls "$root/$build"/Updater_TarnVel-*.zip)
  echo "$zip"
  zips+=("$zip")
  unpacked="$signing/$(basename "$build")"
  mkdir "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
  programs=0
  while IFS= read -r -d '' file; do
    [ "$(head -c 2 "$file")" = MZ ] || continue
    set +e
    verdict=$(bash scripts/check-signature.sh "$file" "$signing/cert.pem" "$signing/tsa/tsa-cert.pem")
    code=$?
    set -e
    echo "$verdict"
    # 3: intact but untrusted, what a self-signed certificate gives.
    [ $code -eq 3 ] || fail "$(basename "$file") of $(basename "$zip"): check-signature.sh gave $code, not 3"
    [[ $verdict == *time-stamped* ]] || fail "$(basename "$file") of $(basename "$zip") has no valid time stamp"
    programs=$((programs + 1))
  done < <(find "$unpacked" -type f -print0)
  [ $programs -ge 2 ] || fail "$(basename "$zip") holds $programs signed programs, not both"
done

# The check can fail: a signed program with one byte changed is broken.
tampered="$signing/tampered.exe"
cp "$signing/win64/"*/Updater_TarnVel_console.exe "$tampered"
flip_middle_byte "$tampered"
set +e
verdict=$(bash scripts/check-signature.sh "$tampered" "$signing/cert.pem")
code=$?
set -e
echo "$verdict"
if [ $code -ne 1 ] || [[ $verdict != *"changed after signing"* ]]; then
  fail "a program changed after signing passed the check"
fi

(cd build/native && rm -f ./*.deb && cpack -G DEB >/dev/null) || fail "no Debian package"
deb=$(ls "$root"/build/native/*.deb)
echo "$deb"
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb" >/dev/null

/usr/bin/Updater_TarnVel_console --help | head -1
[ -d /opt/tarnvel/Logs ] || fail "the package has no Logs folder beside the programs"

# One version, from project(): the installed program's, the Debian
# package's and the one in every package's name.
version=$(/usr/bin/Updater_TarnVel_console --version)
echo "$version"
version=${version#Updater_TarnVel_console }
[[ $version =~ ^[0-9]+(\.[0-9]+)+$ ]] || fail "--version printed no version: $version"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the Debian package's version is not $version"
for package in "$deb" "${zips[@]}"; do
  [[ $(basename "$package") == *[-_]"$version"[-_]* ]] || fail "$(basename "$package") does not carry version $version"
done

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
