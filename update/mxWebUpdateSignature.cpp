// The publisher's Ed25519 signature of a downloaded setup file, checked through OpenSSL.
#include "mxWebUpdateSignature.h"

#include <QByteArray>

#include <openssl/evp.h>

#include <memory>
#include <optional>

namespace {

struct TKeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct TContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// The bytes that text encodes, when it is canonical base64 of exactly size bytes. A text that
// only decodes leniently (stray characters, missing padding, other spare bits) is refused, so
// that one signature has one written form.
std::optional<QByteArray> DecodeBase64(const QString& text, qsizetype size) {
    const QByteArray encoded = text.trimmed().toLatin1();
    const auto decoded =
        QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size || decoded.decoded.toBase64() != encoded)
        return std::nullopt;
    return decoded.decoded;
}

} // namespace

bool mxVerifySignature(QByteArrayView data, const QString& signature, const QString& publicKey) {
    const std::optional<QByteArray> key = DecodeBase64(publicKey, kEd25519KeyBytes);
    const std::optional<QByteArray> sig = DecodeBase64(signature, kEd25519SignatureBytes);
    if (!key || !sig)
        return false;
    const std::unique_ptr<EVP_PKEY, TKeyDeleter> pkey(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(key->constData()),
        size_t(key->size())));
    const std::unique_ptr<EVP_MD_CTX, TContextDeleter> context(EVP_MD_CTX_new());
    if (!pkey || !context)
        return false;
    // Ed25519 signs the message itself: no digest is named, and the whole file goes in at once.
    if (EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, pkey.get()) != 1)
        return false;
    static const unsigned char kNoBytes = 0;
    const auto* bytes =
        data.empty() ? &kNoBytes : reinterpret_cast<const unsigned char*>(data.data());
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(sig->constData()),
                            size_t(sig->size()), bytes, size_t(data.size())) == 1;
}
