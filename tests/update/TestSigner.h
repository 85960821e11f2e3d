// An Ed25519 key pair made for one test run, and signatures made with it, through OpenSSL.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class TTestSigner {
public:
    // A fresh key pair; fails the test (ADD_FAILURE) when OpenSSL cannot make one.
    TTestSigner();
    ~TTestSigner();
    TTestSigner(const TTestSigner&) = delete;
    TTestSigner& operator=(const TTestSigner&) = delete;

    // Base64 of the 32 raw bytes of the public key.
    QString PublicKey() const;
    // Base64 of the 64-byte Ed25519 signature of data.
    QByteArray Sign(const QByteArray& data) const;
    // The page's tag line carrying the signature of data.
    QByteArray SignatureTag(const QByteArray& data) const;

private:
    struct TKey;
    std::unique_ptr<TKey> key;
};
