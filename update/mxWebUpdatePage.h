// The update-information page without any network: lines, META tags, version comparison, URLs.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Rule by which the published version is compared with the installed one.
enum TmxVersionFormat {
    vfStandard, // dot-separated decimal components, compared from the left
    vfString,   // ordinal, case-sensitive comparison of the character codes
    vfNumber    // one decimal number with "." as the decimal point
};

// Names of the META tags that the page values are read from; compared exactly with a tag's NAME.
struct TmxTagInfo {
    QString Author = QStringLiteral("mxAuthor");
    QString Email = QStringLiteral("mxEmail");
    QString ClientFileName = QStringLiteral("mxClientSideName");
    QString Download = QStringLiteral("mxDownload");
    QString ProductName = QStringLiteral("mxProduct");
    QString Redirection = QStringLiteral("mxRedirection");
    QString RunParameters = QStringLiteral("mxRunParameters");
    QString Version = QStringLiteral("mxVersion");
    // The publisher's signature of the setup file (base64 of the Ed25519 signature of its bytes).
    QString Signature = QStringLiteral("mxSignature");
};

// The values a page publishes, each filled from the tag of the same name in TmxTagInfo.
struct TmxPageValues {
    QString Author;
    QString Email;
    QString ClientFileName; // file name for the local copy of the download
    QString Download;       // URL of the file to download
    QString ProductName;
    QString Redirection; // URL of another information page to read instead
    QString RunParameters;
    QString Version;   // the published version
    QString Signature; // of the file to download, checked before the file is kept

    bool operator==(const TmxPageValues&) const = default;
};

// Host and path of an address, as the update component reads it.
struct TmxURLParts {
    QString Host;
    QString Path;

    bool operator==(const TmxURLParts&) const = default;
};

// Characters after which a tag's name or value must have met its closing double quote; a field
// whose quote lies further away (or is missing) is read as empty.
inline constexpr int kTagFieldWindow = 255;

// The page's bytes as text: UTF-8, with every byte that is no part of a valid sequence and every
// NUL byte replaced by U+FFFD, so that no value read from a page holds a NUL character.
QString mxDecodePage(const QByteArray& bytes);

// Splits text into lines that end with CR LF, LF or CR (so LF CR is two line ends). A last line
// without an end is kept; text that ends with a line end gives no empty line after it.
QStringList mxSplitLines(const QString& text);

// Reads the tag lines of a page. A tag line holds the exact upper-case text "META NAME"; only its
// first tag is read. The name starts eleven characters after "META NAME" (after NAME=") and the
// value nine characters after "CONTENT=" (found ignoring case; the ninth character of the line
// when the line has none), each up to the next double quote within kTagFieldWindow characters.
// A later line with the same name replaces the value; an empty or unknown name is ignored.
TmxPageValues mxParseInfo(const QStringList& lines, const TmxTagInfo& tags);

// Whether published is newer than installed under format (see mxWebUpdatePage.cpp for the
// rules of each format). Never fails: text that cannot be read counts as described there.
bool mxIsNewerVersion(TmxVersionFormat format, const QString& installed, const QString& published);

// Host and path of url: a leading seven characters are dropped when the lower-cased text holds
// "http://"; the host is what precedes the first "/", the path that "/" and all after it. Without
// a "/" the host is empty and the path is the whole text.
TmxURLParts mxSplitURL(const QString& url);

// The plain file name in name: the part after the last "/" or "\". Empty when that part is empty,
// "." or "..", holds a control character, or is longer than a file name may be.
QString mxPlainFileName(const QString& name);
