// The update-information page exercise: the bytes as a page, its tags read, its signature
// checked, versions compared, addresses split and the client file name reduced.
#include "ReaderExercises.h"

#include "mxWebUpdatePage.h"
#include "mxWebUpdateSignature.h"

namespace {

const TmxVersionFormat Formats[] = {vfStandard, vfString, vfNumber};

// Installed versions the published one is compared with, as a program would hold them.
const QString InstalledVersions[] = {QStringLiteral("2.1.0.88"), QStringLiteral("1.0"), QString(),
                                     QStringLiteral("99999999999999999999.1")};

// A public key whose owner signed no fuzz input (the key of RFC 8032's first test vector).
const QString StrangerKey = QStringLiteral("11qYAYKxCrfVS/7TyWQHOg7hcvPapiMlrwIaaPcHURo=");

std::string checkVersions(const QString& published) {
    for (const TmxVersionFormat format : Formats) {
        // No version is newer than itself.
        if (mxIsNewerVersion(format, published, published))
            return "a version is newer than itself";
        for (const QString& installed : InstalledVersions) {
            // Newer both ways would offer an update in each direction for ever.
            if (mxIsNewerVersion(format, installed, published) &&
                mxIsNewerVersion(format, published, installed))
                return "two versions are each newer than the other";
        }
    }
    return {};
}

std::string checkAddress(const QString& url) {
    const TmxURLParts parts = mxSplitURL(url);
    if (!parts.Host.isEmpty() && parts.Host.contains(u'/'))
        return "a host holds a slash";
    if (!parts.Host.isEmpty() && !parts.Path.startsWith(u'/'))
        return "a path after a host does not start with a slash";
    return {};
}

std::string checkClientName(const QString& name) {
    const QString plain = mxPlainFileName(name);
    if (plain.isEmpty())
        return {};
    if (plain.contains(u'/') || plain.contains(u'\\') || plain == u"." || plain == u"..")
        return "a client file name leaves the target folder";
    for (const QChar c : plain)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return "a client file name holds a control character";
    return {};
}

} // namespace

std::string ExerciseUpdatePage(QByteArrayView bytes) {
    const QString text = mxDecodePage(bytes.toByteArray());
    if (text.contains(QChar(u'\0')))
        return "a decoded page holds a NUL character";
    const QStringList lines = mxSplitLines(text);
    for (const QString& line : lines)
        if (line.contains(u'\r') || line.contains(u'\n'))
            return "a line holds a line end";
    const TmxPageValues values = mxParseInfo(lines, TmxTagInfo());
    // Reading the same lines again gives the same values.
    if (!(mxParseInfo(lines, TmxTagInfo()) == values))
        return "the page reads differently the second time";
    for (const QString& value : {values.Version, values.Download, values.Redirection,
                                 values.ClientFileName, values.ProductName, values.Signature})
        if (value.size() > kTagFieldWindow)
            return "a tag value is longer than a tag field may be";
    // The signature comes from hostile text: it is decoded without harm and never vouches for
    // bytes that the key's owner did not sign.
    if (mxVerifySignature(bytes, values.Signature, StrangerKey))
        return "a page's signature verifies against a key that signed nothing";
    if (std::string failure = checkVersions(values.Version); !failure.empty())
        return failure;
    for (const QString& url : {values.Download, values.Redirection})
        if (std::string failure = checkAddress(url); !failure.empty())
            return failure;
    return checkClientName(values.ClientFileName);
}
