#!/usr/bin/env bash
# Makes the keys of the local test server and of the API, for tests only:
#   ca.pem, ca.key           test certificate authority
#   server.pem, server.key   server certificate for 127.0.0.1 and localhost, signed by the CA
#   api_private.pem          2048-bit RSA private key of the API (PEM)
#   api_public.pem           its public key (PEM, PKCS#1 RSAPublicKey)
#   api_public.b64           the same public key as one line of base64 DER
# Files that exist and stay valid for more than 30 days are kept.
#   usage: scripts/make-test-keys.sh <dir>
set -euo pipefail

if (($# != 1)); then
  echo "usage: $0 <dir>" >&2
  exit 2
fi
dir="$1"
mkdir -p "$dir"
umask 077

# Thirty days, in seconds: a certificate closer than that to its end is made anew.
min_validity=2592000
valid_cert() {
  [[ -s "$1" ]] && openssl x509 -in "$1" -noout -checkend "$min_validity" >/dev/null 2>&1
}

# Work in a scratch folder and move finished files into place, so that a run that
# stops half way (or a reader running at the same time) never sees a half-written set.
work="$(mktemp -d "$dir/.make-test-keys.XXXXXX")"
trap 'rm -rf "$work"' EXIT

new_ca=0
if ! valid_cert "$dir/ca.pem" || [[ ! -s "$dir/ca.key" ]]; then
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 825 \
    -keyout "$work/ca.key" -out "$work/ca.pem" \
    -subj "/CN=Zentavo Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" >/dev/null 2>&1
  mv -f "$work/ca.key" "$dir/ca.key"
  mv -f "$work/ca.pem" "$dir/ca.pem"
  new_ca=1
fi

signed_by_ca() {
  openssl verify -CAfile "$dir/ca.pem" "$dir/server.pem" >/dev/null 2>&1
}
if ((new_ca)) || ! valid_cert "$dir/server.pem" || [[ ! -s "$dir/server.key" ]] || ! signed_by_ca; then
  openssl req -newkey rsa:2048 -nodes -sha256 \
    -keyout "$work/server.key" -out "$work/server.csr" \
    -subj "/CN=127.0.0.1" >/dev/null 2>&1
  cat >"$work/server.ext" <<'EOF'
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=IP:127.0.0.1,DNS:localhost
EOF
  openssl x509 -req -in "$work/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
    -CAcreateserial -CAserial "$work/ca.srl" -days 397 -sha256 \
    -extfile "$work/server.ext" -out "$work/server.pem" >/dev/null 2>&1
  mv -f "$work/server.key" "$dir/server.key"
  mv -f "$work/server.pem" "$dir/server.pem"
fi

if [[ ! -s "$dir/api_private.pem" || ! -s "$dir/api_public.b64" || ! -s "$dir/api_public.pem" ]]; then
  openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$work/api_private.pem" 2>/dev/null
  openssl rsa -in "$work/api_private.pem" -RSAPublicKey_out -out "$work/api_public.pem" 2>/dev/null
  openssl rsa -in "$work/api_private.pem" -RSAPublicKey_out -outform DER 2>/dev/null |
    openssl base64 -A >"$work/api_public.b64"
  chmod 644 "$work/api_public.pem" "$work/api_public.b64"
  mv -f "$work/api_private.pem" "$dir/api_private.pem"
  mv -f "$work/api_public.pem" "$dir/api_public.pem"
  mv -f "$work/api_public.b64" "$dir/api_public.b64"
fi
chmod 644 "$dir/ca.pem" "$dir/server.pem"
