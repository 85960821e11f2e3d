// Tests of the publisher's signature: the check itself against published test vectors, signed
// and unsigned downloads through whole update checks, and the publisher's signing script.
#include "TestSigner.h"
#include "WebUpdateFixture.h"
#include "mxWebUpdateSignature.h"

#include <QProcess>

namespace {

QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}
QString Base64(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toBase64());
}

// Test vectors 1 and 2 of RFC 8032 (section 7.1): the empty message and the byte 0x72.
struct TVector {
    QByteArray Message;
    QString PublicKey;
    QString Signature;
};
TVector Rfc8032Vector(int number) {
    if (number == 1)
        return {QByteArray(),
                Base64(Hex("d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a")),
                Base64(Hex("e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e06522490155"
                           "5fb8821590a33bacc61e39701cf9b46bd25bf5f0595bbe24655141438e7a100b"))};
    return {Hex("72"),
            Base64(Hex("3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c")),
            Base64(Hex("92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da"
                       "085ac1e43e15996e458f3613d0f11d8c387b2eaeb4302aeeb00d291612bb0c00"))};
}

TEST(UpdateSignature, PublishedVectorsVerifyAndNoChangeDoes) {
    for (const int number : {1, 2}) {
        const TVector v = Rfc8032Vector(number);
        EXPECT_TRUE(mxVerifySignature(v.Message, v.Signature, v.PublicKey)) << number;
        EXPECT_FALSE(mxVerifySignature(v.Message + 'x', v.Signature, v.PublicKey)) << number;
        const TVector other = Rfc8032Vector(3 - number);
        EXPECT_FALSE(mxVerifySignature(v.Message, v.Signature, other.PublicKey)) << number;
        EXPECT_FALSE(mxVerifySignature(v.Message, other.Signature, v.PublicKey)) << number;
        QByteArray flipped = QByteArray::fromBase64(v.Signature.toLatin1());
        flipped[10] = char(flipped[10] ^ 0x01);
        EXPECT_FALSE(mxVerifySignature(v.Message, Base64(flipped), v.PublicKey)) << number;
    }
}

TEST(UpdateSignature, OnlyCanonicalBase64OfTheRightLengthIsRead) {
    const TVector v = Rfc8032Vector(2);
    EXPECT_TRUE(mxVerifySignature(v.Message, " " + v.Signature + "\t", " " + v.PublicKey + " "));
    const QString sig = v.Signature;
    // The last character before "==" carries four spare bits, which canonical base64 leaves 0;
    // the next letter sets one and decodes leniently to the same bytes.
    const QString spareBitSet = sig.left(85) + QChar(sig[85].unicode() + 1) + "==";
    for (const QString& bad :
         {sig.left(84), sig.left(sig.size() - 2), sig + "AAAA", "*" + sig.mid(1),
          sig.left(40) + " " + sig.mid(40), spareBitSet, QString(), sig.toLower()})
        EXPECT_FALSE(mxVerifySignature(v.Message, bad, v.PublicKey)) << bad.toStdString();
    const QString key = v.PublicKey;
    for (const QString& bad : {QString(), key.left(40), key.left(43) + "A" + key.mid(43),
                               Base64(QByteArray::fromBase64(key.toLatin1()) + 'k')})
        EXPECT_FALSE(mxVerifySignature(v.Message, sig, bad)) << bad.toStdString();
}

// Whole checks of a component that starts only what its publisher signed.
class WebUpdateSigned : public WebUpdateFixture {
protected:
    void SetUp() override {
        WebUpdateFixture::SetUp();
        update.SetOptions(uoRunUpdate | uoTerminate | uoOverwrite | uoVerifySignature);
        update.SetPublicKey(signer.PublicKey());
        update.OnSignatureError = [this](TmxWebUpdate&, const QString& fileName) {
            Log("SignatureError " + fileName.toStdString());
        };
    }
    // The update page with tag (a signature line, or none) after the download's tags.
    void ServeSigned(const QByteArray& tag) {
        ServeInfo(InfoPage("2.1.0.90", Tag("mxDownload", kSetupPath) +
                                           Tag("mxClientSideName", "TrabexSetup.sh") + tag));
    }

    const QByteArray setup = "#!/bin/sh\n" + QByteArray(3000, '#');
    TTestSigner signer;
};

TEST_F(WebUpdateSigned, ACorrectlySignedFileIsKeptAndStarted) {
    ServeSigned(signer.SignatureTag(setup));
    ServeSetup(setup);
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), setup);
    EXPECT_EQ(TargetEntries(), QStringList{"TrabexSetup.sh"});
    ASSERT_EQ(update.Starts.size(), 1u);
    EXPECT_EQ(update.Starts[0].first, TargetFile("TrabexSetup.sh"));
    EXPECT_EQ(Count("SignatureError"), 0);
    EXPECT_EQ(Count("Terminate"), 1);
}

TEST_F(WebUpdateSigned, AFileThatDoesNotVerifyIsDeletedUnstartedAndReportedOnce) {
    QByteArray changed = setup;
    changed[2000] = char(changed[2000] ^ 0x20);
    const QByteArray good = signer.Sign(setup);
    TTestSigner otherPublisher;
    struct TCase {
        const char* what;
        QByteArray served;
        QByteArray tag; // the page's signature line
        QString key;    // the key the program trusts
    };
    const auto tag = [](const QByteArray& value) { return Tag("mxSignature", value); };
    const TCase cases[] = {
        {"a file changed by one byte", changed, tag(good), signer.PublicKey()},
        {"the signature of another file", setup, signer.SignatureTag(changed), signer.PublicKey()},
        {"a truncated signature", setup, tag(good.left(good.size() - 4)), signer.PublicKey()},
        {"a signature that is no base64", setup, tag("not base64 at all!"), signer.PublicKey()},
        {"a page without mxSignature", setup, {}, signer.PublicKey()},
        {"a program without a trusted key", setup, tag(good), QString()},
        {"another publisher's signature", setup, otherPublisher.SignatureTag(setup),
         signer.PublicKey()},
    };
    const std::string file = TargetFile("TrabexSetup.sh").toStdString();
    for (const TCase& c : cases) {
        ServeSigned(c.tag);
        ServeSetup(c.served);
        update.SetPublicKey(c.key);
        for (const bool oldFile : {false, true}) {
            if (oldFile)
                WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
            log.clear();
            update.Starts.clear();
            EXPECT_FALSE(update.RunUpdateCheck()) << c.what;
            EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
                      (std::vector<std::string>{"SignatureError " + file, "AfterDownload " + file}))
                << c.what;
            EXPECT_EQ(Count("DownloadError"), 0) << c.what;
            EXPECT_TRUE(update.Starts.empty()) << c.what;
            EXPECT_FALSE(update.Success()) << c.what;
            // The download is gone; a file of that name from before stays as it was.
            EXPECT_EQ(TargetEntries(), oldFile ? QStringList{"TrabexSetup.sh"} : QStringList())
                << c.what;
            if (oldFile) {
                EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "old setup") << c.what;
            }
            QFile::remove(TargetFile("TrabexSetup.sh"));
        }
    }
    EXPECT_EQ(RequestsFor(kSetupPath), 2 * int(std::size(cases)));
}

// The publisher's script, run as the README tells: a key pair once, then the tag line of a setup
// file. Its output must be what the program accepts, and only for that file.
TEST_F(WebUpdateSigned, TheSigningScriptsLineAndKeyAreAccepted) {
    QTemporaryDir publisher;
    ASSERT_TRUE(publisher.isValid());
    const QString key = publisher.filePath("keys/update-key.pem");
    const QString setupFile = publisher.filePath("trabex-setup.sh");
    WriteFile(setupFile, setup);
    const auto script = [](const QStringList& arguments) {
        QProcess process;
        process.start("bash", QStringList{TRABEX_UPDATE_SERVER_DIR "/sign-update.sh"} + arguments);
        const bool finished = process.waitForFinished(60000);
        EXPECT_TRUE(finished && process.exitCode() == 0)
            << arguments.join(' ').toStdString() << ": " << process.readAllStandardError().data();
        return process.readAllStandardOutput();
    };
    const QByteArray generated = script({"keygen", key}).trimmed();
    const QByteArray publicKey = script({"pubkey", key}).trimmed();
    EXPECT_EQ(generated, publicKey);
    EXPECT_EQ(QFile::permissions(key) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions())
        << "the private key is for its owner only";
    const QByteArray line = script({"sign", setupFile, key});
    ASSERT_TRUE(line.startsWith("<META NAME=\"mxSignature\" CONTENT=\"")) << line.data();

    ServeSigned(line);
    ServeSetup(setup);
    update.SetPublicKey(QString::fromLatin1(publicKey));
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(update.Starts.size(), 1u);
    EXPECT_EQ(Count("SignatureError"), 0);

    // The same line does not vouch for another file.
    ServeSetup(setup + "\n");
    update.Starts.clear();
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_TRUE(update.Starts.empty());
    EXPECT_EQ(Count("SignatureError"), 1);
}

} // namespace
