#!/usr/bin/env bash
# Makes throw-away certificates for tests and benchmarks in the folder given,
# each self-signed with an unprotected RSA key:
#   signer.pem, signer.key   a code-signing certificate, "Lumen test signer"
#   tsa.pem, tsa.key         a time-stamping authority's, "Lumen test time stamps"
# Nobody trusts them; a verifier is told to with -CAfile signer.pem (and
# -TSA-CAfile tsa.pem). Never sign a real installer with them.
set -euo pipefail
folder=$1

make_certificate() {
  local name=$1 subject=$2 usage=$3
  openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=$subject" \
    -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=$usage" \
    -keyout "$folder/$name.key" -out "$folder/$name.pem" 2>/dev/null
}

make_certificate signer "Lumen test signer" codeSigning
make_certificate tsa "Lumen test time stamps" critical,timeStamping
