#!/usr/bin/env bash
# Signs an installer with a throw-away certificate and stamps the signed copy,
# as the vendor and then a distributor do, for the Windows tests:
#   tests/core/sign_and_stamp.sh STAMP INSTALLER AGENT_ID OUT
# STAMP is the native build's stamping tool. Fails unless OUT verifies.
set -euo pipefail
stamp=$1 installer=$2 agent_id=$3 out=$4

if [ ! -x "$stamp" ]; then
  echo "sign_and_stamp: no stamping tool at $stamp; build the native configuration first (scripts/test does)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$(dirname "$0")/../support/make_signing_certificate.sh" "$work"
osslsigncode sign -certs "$work/signer.pem" -key "$work/signer.key" -n "Lumen test" \
  -in "$installer" -out "$work/signed.exe" >/dev/null
"$stamp" "$work/signed.exe" "$agent_id" -o "$out"
osslsigncode verify -CAfile "$work/signer.pem" -TSA-CAfile "$work/tsa.pem" -in "$out" >/dev/null
