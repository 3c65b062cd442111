#!/usr/bin/env bash
# Makes the certificates the EET tests need, in the folder given, with the openssl command:
#   taxpayer-ca.pem                 a taxpayer root (as the tax portal's CA)
#   taxpayer.p12 / expired.p12      the taxpayer's till certificate (CN=CZ00000019), exported with
#                                   the legacy RC2-40 encryption like the portal's files, password
#                                   "eet"; the second one ended in 2020
#   taxpayer-cert.pem, taxpayer-key.pem   the same certificate and key in PEM
#   signing-chain.pem               a root and sub-CA standing for the service's signing chain
#   signer.pem / signer-key.pem     the service's answer signer (organizationIdentifier
#                                   NTRCZ-72080043)
#   foreign.pem / foreign-key.pem   a signer of the same chain but another organisation
#   tls.pem / tls-key.pem / tls-ca.pem   the local service's TLS certificate for 127.0.0.1
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
exec 9>"$out/../$(basename "$out").lock"
flock 9
[ -f done ] && exit 0

ossl() { openssl "$@" 2>/dev/null; }

cat > ca.cnf <<'CNF'
[ ca ]
default_ca = ca
[ ca ]
dir = .
database = index.txt
new_certs_dir = .
serial = serial
default_md = sha256
policy = any
copy_extensions = none
unique_subject = no
[ any ]
commonName = supplied
[ leaf ]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature, nonRepudiation
certificatePolicies = 1.2.203.19122063.10.4.102.1.1
CNF
: > index.txt
echo 1000 > serial

root() { # name subject
    ossl req -x509 -newkey rsa:2048 -nodes -keyout "$1-key.pem" -out "$1.pem" -days 3650 \
        -subj "$2" -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign"
}
issue() { # name subject issuer extensions...
    local name=$1 subj=$2 issuer=$3
    shift 3
    ossl req -newkey rsa:2048 -nodes -keyout "$name-key.pem" -out "$name.csr" -subj "$subj"
    ossl x509 -req -in "$name.csr" -CA "$issuer.pem" -CAkey "$issuer-key.pem" -CAcreateserial \
        -days 730 -sha256 -out "$name.pem" -extfile <(printf '%s\n' "$@")
}

root taxpayer-ca "/CN=Test EET CA/O=Test/C=CZ"
issue taxpayer "/CN=CZ00000019/C=CZ" taxpayer-ca \
    "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,nonRepudiation" \
    "certificatePolicies=1.2.203.19122063.10.4.102.1.1"
cp taxpayer.pem taxpayer-cert.pem
legacy_p12() { # name
    ossl pkcs12 -export -legacy -certpbe PBE-SHA1-RC2-40 -keypbe PBE-SHA1-3DES -macalg sha1 \
        -inkey "$1-key.pem" -in "$1.pem" -passout pass:eet -out "$1.p12"
}
legacy_p12 taxpayer

# An expired certificate: issued by the CA tool with dates in the past.
ossl req -newkey rsa:2048 -nodes -keyout expired-key.pem -out expired.csr -subj "/CN=CZ00000019"
ossl ca -batch -config ca.cnf -cert taxpayer-ca.pem -keyfile taxpayer-ca-key.pem \
    -startdate 20190101000000Z -enddate 20200101000000Z -extensions leaf -in expired.csr \
    -out expired.pem -notext
legacy_p12 expired

root signing-root "/CN=Test I.CA Root/O=Test CA/C=CZ"
issue signing-sub "/CN=Test I.CA Public/O=Test CA/C=CZ" signing-root \
    "basicConstraints=critical,CA:TRUE" "keyUsage=critical,keyCertSign,cRLSign"
cat signing-sub.pem signing-root.pem > signing-chain.pem
issue signer "/CN=Test EET signer/O=Financni sprava/organizationIdentifier=NTRCZ-72080043/C=CZ" \
    signing-sub "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,nonRepudiation"
issue foreign "/CN=Someone else/O=Other/organizationIdentifier=NTRCZ-12345678/C=CZ" \
    signing-sub "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,nonRepudiation"

root tls-ca "/CN=Test TLS CA/C=CZ"
issue tls "/CN=127.0.0.1" tls-ca "basicConstraints=CA:FALSE" "subjectAltName=IP:127.0.0.1" \
    "extendedKeyUsage=serverAuth" "keyUsage=critical,digitalSignature,keyEncipherment"
touch done
