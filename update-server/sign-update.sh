#!/usr/bin/env bash
# Signs Trabex setup files for the update page with the publisher's Ed25519 key (openssl).
#
#   sign-update.sh keygen [KEY]     make the key pair once; prints the public key
#   sign-update.sh pubkey [KEY]     prints the public key: the value of TRABEX_UPDATE_PUBLIC_KEY
#   sign-update.sh sign FILE [KEY]  prints the mxSignature tag line of FILE for the update page
#
# KEY is the private key file: $TRABEX_SIGNING_KEY, else ~/.config/trabex-signing/update-key.pem.
# It never belongs in a repository; keygen refuses to write it inside a git work tree.
set -euo pipefail

usage() {
  sed -n '4,6p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

fail() {
  echo "sign-update.sh: $*" >&2
  exit 1
}

default_key() {
  echo "${TRABEX_SIGNING_KEY:-${XDG_CONFIG_HOME:-$HOME/.config}/trabex-signing/update-key.pem}"
}

# The 32 raw bytes of the public key, base64: the DER form of an Ed25519 public key is a fixed
# 12-byte header followed by them.
public_key() {
  local key=$1 der
  [ -f "$key" ] || fail "no private key at $key (make one with: sign-update.sh keygen)"
  der=$(openssl pkey -in "$key" -pubout -outform DER | od -An -v -tx1 | tr -d ' \n')
  [ "${der:0:24}" = "302a300506032b6570032100" ] && [ ${#der} -eq 88 ] ||
    fail "$key is not an Ed25519 private key"
  openssl pkey -in "$key" -pubout -outform DER | tail -c 32 | base64 -w0
  echo
}

keygen() {
  local key=$1 dir
  [ -e "$key" ] && fail "$key exists already; a new key would make every installed copy refuse updates"
  dir=$(dirname "$key")
  mkdir -p "$dir"
  if git -C "$dir" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    fail "$dir lies in a git work tree; keep the private key outside any repository"
  fi
  (umask 077 && openssl genpkey -algorithm ED25519 -out "$key")
  echo "private key: $key (keep it safe and private; a lost key cannot sign updates)" >&2
  public_key "$key"
}

sign() {
  local file=$1 key=$2 signature
  [ -f "$file" ] || fail "no file $file"
  # openssl cannot sign nothing, and an empty setup file is a mistake anyway.
  [ -s "$file" ] || fail "$file is empty"
  [ -f "$key" ] || fail "no private key at $key (make one with: sign-update.sh keygen)"
  signature=$(openssl pkeyutl -sign -rawin -inkey "$key" -in "$file" | base64 -w0)
  printf '<META NAME="mxSignature" CONTENT="%s">\n' "$signature"
}

[ $# -ge 1 ] || usage
case $1 in
  keygen) [ $# -le 2 ] || usage; keygen "${2:-$(default_key)}" ;;
  pubkey) [ $# -le 2 ] || usage; public_key "${2:-$(default_key)}" ;;
  sign) [ $# -ge 2 ] && [ $# -le 3 ] || usage; sign "$2" "${3:-$(default_key)}" ;;
  *) usage ;;
esac
