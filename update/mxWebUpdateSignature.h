// The publisher's Ed25519 signature of a downloaded setup file, checked through OpenSSL.
#pragma once

#include <QByteArrayView>
#include <QString>

// Bytes of a raw Ed25519 public key and of a signature.
inline constexpr qsizetype kEd25519KeyBytes = 32;
inline constexpr qsizetype kEd25519SignatureBytes = 64;

// Whether signature (base64 of the 64-byte Ed25519 signature) is the signature of data under
// publicKey (base64 of the 32 raw key bytes). Blanks around either text are ignored; anything
// else that is not canonical base64 of the right length, an empty key included, never verifies.
bool mxVerifySignature(QByteArrayView data, const QString& signature, const QString& publicKey);
