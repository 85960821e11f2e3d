// Decoding and parsing of language files.
#include "LanguageFile.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cstdint>

namespace {

// Unicode of the bytes 0x80..0xFF of Windows-1250; U+FFFD marks the undefined bytes.
constexpr char16_t Windows1250High[128] = {
    // 0x80
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, //
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, //
    // 0x90
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, //
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, //
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, //
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, //
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, //
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, //
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, //
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, //
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, //
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, //
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, //
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, //
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, //
};

constexpr unsigned char Utf8Bom[] = {0xEF, 0xBB, 0xBF};

// Byte order marks of the Unicode encodings the reader refuses. A file saved in one of them would
// otherwise pass for Windows-1250 with a NUL after every letter and load as nothing at all. The
// UTF-32 little-endian mark begins with the UTF-16 one, so it is tested first.
struct TForeignBom {
    unsigned char Bytes[4];
    qsizetype Size;
    const char* Encoding;
};
constexpr TForeignBom ForeignBoms[] = {
    {{0xFF, 0xFE, 0x00, 0x00}, 4, "UTF-32 little-endian"},
    {{0x00, 0x00, 0xFE, 0xFF}, 4, "UTF-32 big-endian"},
    {{0xFF, 0xFE}, 2, "UTF-16 little-endian"},
    {{0xFE, 0xFF}, 2, "UTF-16 big-endian"},
};
// Smallest part a language file is read in.
constexpr qint64 MinReadPart = 64 * 1024;

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

bool IsTrimmed(QChar c) {
    const char16_t u = c.unicode();
    return u <= 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString CannotRead(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot read the language file \"%1\": %2").arg(path, reason);
}

QString TooLarge() {
    return QStringLiteral("it is larger than %1 bytes").arg(MaxLanguageFileSize);
}

QString ForeignEncoding(const QString& encoding) {
    return QStringLiteral("it is %1 text; only UTF-8 and Windows-1250 are read").arg(encoding);
}

} // namespace

bool IsValidUtf8(QByteArrayView bytes) {
    const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const std::uint8_t b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        // Lead byte: the length of the sequence and the range of its second byte, which is where
        // overlong forms, surrogates and code points beyond U+10FFFF are excluded.
        qsizetype length = 0;
        std::uint8_t low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length || s[i + 1] < low || s[i + 1] > high)
            return false;
        for (qsizetype k = 2; k < length; ++k)
            if (!IsContinuation(s[i + k]))
                return false;
        i += length;
    }
    return true;
}

QString DecodeWindows1250(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<std::uint8_t>(bytes[i]);
        out[i] = b < 0x80 ? QChar(b) : QChar(Windows1250High[b - 0x80]);
    }
    return text;
}

QString DecodeLanguageBytes(QByteArrayView bytes) {
    const QByteArrayView bom(reinterpret_cast<const char*>(Utf8Bom), sizeof Utf8Bom);
    if (bytes.startsWith(bom))
        bytes = bytes.sliced(bom.size());
    return IsValidUtf8(bytes) ? QString::fromUtf8(bytes) : DecodeWindows1250(bytes);
}

QString ForeignByteOrderMark(QByteArrayView bytes) {
    for (const TForeignBom& bom : ForeignBoms)
        if (bytes.startsWith(QByteArrayView(bom.Bytes, bom.Size)))
            return QString::fromLatin1(bom.Encoding);
    return QString();
}

QStringView TrimLine(QStringView text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString LineKey(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.left(eq);
}

QString LineValue(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    return eq < 0 ? QString() : line.mid(eq + 1);
}

QString TLanguageSection::Value(const QString& key) const {
    for (const QString& line : Lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(eq + 1);
    }
    return QString();
}

const TLanguageSection* TLanguageText::Find(const QString& name) const {
    for (const TLanguageSection& section : Sections)
        if (section.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

TLanguageText ParseLanguageLines(QStringView text) {
    TLanguageText result;
    QSet<QString> seen; // upper-case names of the sections met so far
    QStringList* lines = nullptr;
    const qsizetype n = text.size();
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QStringView line = TrimLine(text.sliced(pos, end - pos));
        pos = end;
        if (pos < n)
            pos += text[pos] == u'\r' && pos + 1 < n && text[pos + 1] == u'\n' ? 2 : 1;

        if (line.isEmpty() || line.front() == u';')
            continue;
        if (line.size() >= 2 && line.front() == u'[' && line.back() == u']') {
            const QString name = TrimLine(line.sliced(1, line.size() - 2)).toString();
            const QString upper = name.toUpper();
            lines = nullptr;
            if (!seen.contains(upper)) {
                seen.insert(upper);
                result.Sections.append(TLanguageSection{name, {}});
                lines = &result.Sections.last().Lines;
            }
            continue;
        }
        if (!lines)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            lines->append(line.toString());
        else
            lines->append(TrimLine(line.first(eq)).toString() + u'=' +
                          TrimLine(line.sliced(eq + 1)).toString());
    }
    return result;
}

bool ParseLanguageText(QByteArrayView bytes, TLanguageText& text, QString& error) {
    if (bytes.size() > MaxLanguageFileSize) {
        error =
            QStringLiteral("The language text is larger than %1 bytes.").arg(MaxLanguageFileSize);
        return false;
    }
    if (const QString encoding = ForeignByteOrderMark(bytes); !encoding.isEmpty()) {
        error =
            QStringLiteral("The language text cannot be read: %1.").arg(ForeignEncoding(encoding));
        return false;
    }
    text = ParseLanguageLines(DecodeLanguageBytes(bytes));
    return true;
}

bool ReadLanguageFile(const QString& path, TLanguageText& text, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = CannotRead(path, QStringLiteral("the file does not exist"));
        return false;
    }
    // Only regular files are opened: a FIFO or device of a matching name would block or never end.
    if (!info.isFile()) {
        error = CannotRead(path, QStringLiteral("it is not a regular file"));
        return false;
    }
    if (info.size() > MaxLanguageFileSize) {
        error = CannotRead(path, TooLarge());
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = CannotRead(path, file.errorString());
        return false;
    }
    // Read in parts of about the file's size, so that no read reserves the whole limit; one byte
    // beyond the limit tells a file that grew since its size was asked.
    QByteArray bytes;
    const qint64 part = std::max<qint64>(info.size() + 1, MinReadPart);
    while (bytes.size() <= MaxLanguageFileSize) {
        const QByteArray more =
            file.read(std::min<qint64>(part, MaxLanguageFileSize + 1 - bytes.size()));
        if (more.isEmpty())
            break;
        bytes += more;
    }
    if (file.error() != QFileDevice::NoError) {
        error = CannotRead(path, file.errorString());
        return false;
    }
    if (bytes.size() > MaxLanguageFileSize) {
        error = CannotRead(path, TooLarge());
        return false;
    }
    if (const QString encoding = ForeignByteOrderMark(bytes); !encoding.isEmpty()) {
        error = CannotRead(path, ForeignEncoding(encoding));
        return false;
    }
    return ParseLanguageText(bytes, text, error);
}

bool RightToLeftFlag(const QString& value) {
    bool ok = false;
    qlonglong number = 0;
    if (value.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        number = QStringView(value).sliced(2).toLongLong(&ok, 16);
    else
        number = value.toLongLong(&ok, 10);
    return ok && number != 0;
}
