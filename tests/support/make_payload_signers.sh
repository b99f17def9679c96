#!/usr/bin/env bash
# Makes throw-away certificates and copies of a program signed with them, for
# the tests of the pinned signer check:
#   tests/support/make_payload_signers.sh FOLDER PROGRAM.exe
#
# Certificates (RSA, SHA-256, no issuer or revocation-list addresses, so that
# nothing is ever fetched for them), in FOLDER:
#   root.pem              "Lumen test root", a CA nobody trusts
#   vendor.pem, .key      the vendor's code-signing certificate, from the root (a
#                         vendor.key already in FOLDER is kept)
#   other.pem, .key       someone else's code-signing certificate, from the root
#   expired.pem           the vendor's key in a code-signing certificate of 2020
#   tls.pem               the vendor's key in a TLS server certificate
#   vendor.pin, other.pin their keys' pins, as PAYLOAD_SIGNER_SHA256 takes them
# Copies of PROGRAM, in FOLDER:
#   unsigned.exe                   as built
#   vendor.exe                     signed by the vendor, the root in the signature
#   vendor-alone.exe               signed by the vendor, no root in the signature
#   vendor-nesting-other.exe       vendor.exe with someone else's nested signature
#   vendor-code-changed.exe        vendor.exe with one byte at the entry point changed
#   vendor-signature-changed.exe   vendor.exe with one byte of the signature value changed
#   other.exe                      signed by someone else
#   other-nesting-vendor.exe       other.exe with the vendor's nested signature
#   expired.exe, tls.exe           signed with the vendor's key in those certificates
# Fails unless osslsigncode judges each copy as intended.
set -euo pipefail
folder=$1 program=$2

mkdir -p "$folder"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/openssl.cnf" <<EOF
[req]
distinguished_name = subject
[subject]
[ca]
default_ca = test_ca
[test_ca]
database = $work/index.txt
new_certs_dir = $work
serial = $work/serial
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[root]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
[code_signing]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature
extendedKeyUsage = codeSigning
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[tls_server]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
EOF
: >"$work/index.txt"
echo 1000 >"$work/serial"

# A key is made only where none is: the build makes the vendor's key when it
# configures, to pin a test installer to it.
make_key() {
  [ -f "$folder/$1.key" ] || openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$folder/$1.key" 2>/dev/null
}

# issue NAME KEY SUBJECT EXTENSIONS VALIDITY...: a certificate from the root.
issue() {
  local name=$1 key=$2 subject=$3 extensions=$4
  shift 4
  openssl req -new -config "$work/openssl.cnf" -key "$folder/$key.key" -subj "/CN=$subject" -out "$work/$name.csr"
  openssl ca -batch -notext -config "$work/openssl.cnf" -cert "$folder/root.pem" -keyfile "$folder/root.key" \
    -extensions "$extensions" "$@" -in "$work/$name.csr" -out "$folder/$name.pem" 2>/dev/null
}

make_key root
openssl req -x509 -new -config "$work/openssl.cnf" -extensions root -key "$folder/root.key" \
  -subj "/CN=Lumen test root" -days 3650 -out "$folder/root.pem"
make_key vendor
make_key other
issue vendor vendor "Lumen test vendor" code_signing -days 3650
issue other other "Lumen test other signer" code_signing -days 3650
issue expired vendor "Lumen test vendor (expired)" code_signing -startdate 20200101000000Z -enddate 20210101000000Z
issue tls vendor "Lumen test vendor (TLS)" tls_server -days 3650
for signer in vendor other; do
  openssl x509 -in "$folder/$signer.pem" -pubkey -noout | openssl pkey -pubin -outform DER | sha256sum |
    cut -d' ' -f1 >"$folder/$signer.pin"
done

# sign CERTIFICATES KEY IN OUT [-nest]
sign() {
  osslsigncode sign -certs "$1" -key "$folder/$2.key" -n "Lumen test" -in "$3" -out "$work/signed.exe" "${@:5}" \
    >/dev/null
  mv "$work/signed.exe" "$4"
}

# change_byte FILE code|signature: one byte of the code at the entry point,
# or of the primary signature's value (the end of the certificate table of a
# file with one signature and nothing after its value).
change_byte() {
  python3 - "$1" "$2" <<'EOF'
import struct, sys

path, where = sys.argv[1], sys.argv[2]
image = bytearray(open(path, "rb").read())
pe = struct.unpack_from("<I", image, 0x3C)[0]
sections, optional_size = struct.unpack_from("<HxxxxxxxxxxxxH", image, pe + 6)
optional = pe + 24
if where == "code":
    entry = struct.unpack_from("<I", image, optional + 16)[0]
    for n in range(sections):
        _, _, address, raw_size, raw_offset = struct.unpack_from("<8sIIII", image, optional + optional_size + 40 * n)
        if address <= entry < address + raw_size:
            offset = raw_offset + entry - address
            break
    else:
        sys.exit("no section holds the entry point")
else:
    directories = optional + (96 if struct.unpack_from("<H", image, optional)[0] == 0x10B else 112)
    table, _ = struct.unpack_from("<II", image, directories + 4 * 8)
    pkcs7 = table + 8
    if image[pkcs7:pkcs7 + 2] != b"\x30\x82":
        sys.exit("the signature is not one long DER sequence")
    end = pkcs7 + 4 + struct.unpack_from(">H", image, pkcs7 + 2)[0]
    if image[end - 260:end - 256] != b"\x04\x82\x01\x00":
        sys.exit("the signature does not end with a 2048-bit signature value")
    offset = end - 100
image[offset] ^= 0x01
open(path, "wb").write(image)
EOF
}

cat "$folder/vendor.pem" "$folder/root.pem" >"$work/vendor-chain.pem"
cp "$program" "$folder/unsigned.exe"
sign "$work/vendor-chain.pem" vendor "$program" "$folder/vendor.exe"
sign "$folder/vendor.pem" vendor "$program" "$folder/vendor-alone.exe"
sign "$folder/other.pem" other "$folder/vendor.exe" "$folder/vendor-nesting-other.exe" -nest
cp "$folder/vendor.exe" "$folder/vendor-code-changed.exe"
change_byte "$folder/vendor-code-changed.exe" code
cp "$folder/vendor.exe" "$folder/vendor-signature-changed.exe"
change_byte "$folder/vendor-signature-changed.exe" signature
sign "$folder/other.pem" other "$program" "$folder/other.exe"
sign "$folder/vendor.pem" vendor "$folder/other.exe" "$folder/other-nesting-vendor.exe" -nest
sign "$folder/expired.pem" vendor "$program" "$folder/expired.exe"
sign "$folder/tls.pem" vendor "$program" "$folder/tls.exe"

# What osslsigncode makes of them, trusting the root: the intact copies
# verify, the changed ones do not.
verifies() { osslsigncode verify -CAfile "$folder/root.pem" -in "$folder/$1" >/dev/null 2>&1; }
for intact in vendor.exe vendor-alone.exe vendor-nesting-other.exe other.exe other-nesting-vendor.exe; do
  verifies "$intact" || { echo "make_payload_signers: $intact does not verify" >&2; exit 1; }
done
for broken in unsigned.exe vendor-code-changed.exe vendor-signature-changed.exe; do
  ! verifies "$broken" || { echo "make_payload_signers: $broken verifies" >&2; exit 1; }
done
