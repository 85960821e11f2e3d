// An Ed25519 key pair made for one test run, and signatures made with it, through OpenSSL.
#include "TestSigner.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

struct TTestSigner::TKey {
    EVP_PKEY* pkey = nullptr;
    ~TKey() { EVP_PKEY_free(pkey); }
};

TTestSigner::TTestSigner() : key(std::make_unique<TKey>()) {
    key->pkey = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    if (!key->pkey)
        ADD_FAILURE() << "OpenSSL made no Ed25519 key";
}

TTestSigner::~TTestSigner() = default;

QString TTestSigner::PublicKey() const {
    QByteArray raw(32, '\0');
    size_t size = size_t(raw.size());
    if (!key->pkey || EVP_PKEY_get_raw_public_key(
                          key->pkey, reinterpret_cast<unsigned char*>(raw.data()), &size) != 1)
        return {};
    raw.resize(qsizetype(size));
    return QString::fromLatin1(raw.toBase64());
}

QByteArray TTestSigner::Sign(const QByteArray& data) const {
    QByteArray signature(64, '\0');
    size_t size = size_t(signature.size());
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    const bool signed_ =
        key->pkey && context &&
        EVP_DigestSignInit(context, nullptr, nullptr, nullptr, key->pkey) == 1 &&
        EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &size,
                       reinterpret_cast<const unsigned char*>(data.constData()),
                       size_t(data.size())) == 1;
    EVP_MD_CTX_free(context);
    if (!signed_) {
        ADD_FAILURE() << "OpenSSL did not sign";
        return {};
    }
    return signature.toBase64();
}

QByteArray TTestSigner::SignatureTag(const QByteArray& data) const {
    return "<META NAME=\"mxSignature\" CONTENT=\"" + Sign(data) + "\">\r\n";
}
