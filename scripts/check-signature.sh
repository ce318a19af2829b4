#!/usr/bin/env bash
# Tells whether the Authenticode signature of a Windows program is intact,
# and whether this machine would trust it, with osslsigncode:
#
#   check-signature.sh PROGRAM CERT [TSA_CERT]
#
# CERT is the certificate the program was signed with (PEM), TSA_CERT the
# root of a private time-stamp server. Intact means: the signature verifies
# with CERT taken as the root, and the file's bytes are the bytes signed.
# Trusted means: its chain also leads to a root of this machine's store
# (/etc/ssl/certs), as it must lead to one of the Windows store for the UAC
# prompt to name the publisher (that store itself cannot be consulted here).
# One line on standard output, and the exit code:
#
#   0  intact and trusted
#   3  intact but untrusted (a self-signed or private certificate: expected
#      for the throwaway certificate of CI)
#   1  broken: not signed, changed after signing, or not signed with CERT
#   2  bad command line, or a file that does not exist
set -uo pipefail

[ $# -ge 2 ] || { echo "usage: check-signature.sh PROGRAM CERT [TSA_CERT]" >&2; exit 2; }
program=$1
cert=$2
tsa=()
[ $# -ge 3 ] && tsa=(-TSA-CAfile "$3")
[ -f "$program" ] || { echo "$program: no such file" >&2; exit 2; }
[ -f "$cert" ] || { echo "$cert: no such certificate" >&2; exit 2; }

if ! own=$(osslsigncode verify -CAfile "$cert" "${tsa[@]}" -in "$program" 2>&1); then
  if grep -q "No signature found" <<<"$own"; then
    reason="not signed"
  elif grep -q "MISMATCH" <<<"$own"; then
    reason="changed after signing (the digest of its bytes differs from the signed one)"
  else
    why=$(sed -n 's/.*Verify error: //p' <<<"$own" | head -1)
    reason="not signed with $cert, or its signature is damaged (${why:-see osslsigncode verify})"
  fi
  echo "$program: broken: $reason"
  exit 1
fi

# A time stamp keeps the signature valid after the certificate expires.
stamped=""
if grep -q "Timestamp Server Signature verification: ok" <<<"$own"; then
  # osslsigncode 2.9 says "Timestamp time:", 2.5 "The signature is timestamped:".
  stamped=", time-stamped $(sed -n 's/.*\(Timestamp time\|The signature is timestamped\): //p' <<<"$own" | head -1)"
elif grep -q "Timestamp Server Signature verification: failed" <<<"$own"; then
  stamped=", with a time stamp that does not verify (give its server's root as TSA_CERT)"
fi

if system=$(osslsigncode verify "${tsa[@]}" -in "$program" 2>&1); then
  echo "$program: intact and trusted$stamped"
  exit 0
fi
why=$(sed -n 's/.*Verify error: //p' <<<"$system" | head -1)
echo "$program: intact but untrusted here (${why:-its chain leads to no trusted root})$stamped"
exit 3
