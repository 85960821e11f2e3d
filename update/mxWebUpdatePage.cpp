// The update-information page without any network: lines, META tags, version comparison, URLs.
#include "mxWebUpdatePage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace {

// Longest file name, in bytes of its UTF-8 form, that the file system takes (NAME_MAX).
constexpr qsizetype kMaxFileNameBytes = 255;

const QString kTagMarker = QStringLiteral("META NAME");
const QString kContentMarker = QStringLiteral("CONTENT=");
// Where the name starts after the start of "META NAME" (past META NAME=") and the value after
// the start of "CONTENT=" (past CONTENT=").
constexpr qsizetype kNameOffset = 11;
constexpr qsizetype kValueOffset = 9;

// The text from start up to the next double quote within kTagFieldWindow characters; empty when
// there is no such quote.
QString QuotedField(const QString& line, qsizetype start) {
    if (start < 0 || start >= line.size())
        return QString();
    const QString window = line.mid(start, kTagFieldWindow);
    const qsizetype quote = window.indexOf(QLatin1Char('"'));
    return quote < 0 ? QString() : window.left(quote);
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A version component as its decimal digits without leading zeros ("" is zero); a component
// that is not an unsigned decimal number counts as zero. Any number of digits is compared
// exactly, so no component overflows.
QString ComponentDigits(const QString& component) {
    const QString text = component.trimmed();
    if (text.isEmpty())
        return QString();
    for (QChar c : text)
        if (!IsAsciiDigit(c))
            return QString();
    qsizetype first = 0;
    while (first < text.size() && text[first] == QLatin1Char('0'))
        ++first;
    return text.mid(first);
}

// -1, 0 or 1 as the number a is smaller, equal or greater than b (both from ComponentDigits).
int CompareDigits(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = QString::compare(a, b, Qt::CaseSensitive);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

// vfStandard: components compared from the left; the version with fewer components counts as
// having zeros for the missing ones, so "2.1" and "2.1.0" are equal and "2.1.0.1" is newer.
bool StandardNewer(const QString& installed, const QString& published) {
    const QStringList a = installed.split(QLatin1Char('.'));
    const QStringList w = published.split(QLatin1Char('.'));
    const qsizetype count = std::max(a.size(), w.size());
    for (qsizetype i = 0; i < count; ++i) {
        const int order = CompareDigits(i < a.size() ? ComponentDigits(a[i]) : QString(),
                                        i < w.size() ? ComponentDigits(w[i]) : QString());
        if (order != 0)
            return order < 0;
    }
    return false;
}

// vfNumber: the whole text (blanks around it aside) is a finite decimal number with "." as the
// decimal point, an optional sign and an optional exponent; anything else is no number.
std::optional<double> DecimalNumber(const QString& value) {
    const QString text = value.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text)
        if (!IsAsciiDigit(c) && c != QLatin1Char('.') && c != QLatin1Char('e') &&
            c != QLatin1Char('E') && c != QLatin1Char('+') && c != QLatin1Char('-'))
            return std::nullopt;
    std::string digits = text.toStdString();
    if (digits.front() == '+')
        digits.erase(0, 1);
    if (digits.empty() || digits.front() == '+' || digits.front() == 'e' || digits.front() == 'E')
        return std::nullopt;
    double number = 0;
    const char* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, number, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

QString mxDecodePage(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    text.replace(QChar(0), QChar::ReplacementCharacter);
    return text;
}

QStringList mxSplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < size && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

TmxPageValues mxParseInfo(const QStringList& lines, const TmxTagInfo& tags) {
    TmxPageValues values;
    const std::pair<const QString*, QString*> fields[] = {
        {&tags.Author, &values.Author},
        {&tags.Email, &values.Email},
        {&tags.ClientFileName, &values.ClientFileName},
        {&tags.Download, &values.Download},
        {&tags.ProductName, &values.ProductName},
        {&tags.Redirection, &values.Redirection},
        {&tags.RunParameters, &values.RunParameters},
        {&tags.Version, &values.Version},
        {&tags.Signature, &values.Signature},
    };
    for (const QString& line : lines) {
        const qsizetype tag = line.indexOf(kTagMarker, 0, Qt::CaseSensitive);
        if (tag < 0)
            continue;
        const QString name = QuotedField(line, tag + kNameOffset);
        if (name.isEmpty())
            continue;
        // Without CONTENT= the search gives -1, so the value starts at the line's ninth character.
        const qsizetype content = line.indexOf(kContentMarker, 0, Qt::CaseInsensitive);
        const QString value = QuotedField(line, content + kValueOffset);
        for (const auto& [tagName, field] : fields)
            if (*tagName == name)
                *field = value;
    }
    return values;
}

bool mxIsNewerVersion(TmxVersionFormat format, const QString& installed, const QString& published) {
    switch (format) {
    case vfStandard:
        return StandardNewer(installed, published);
    case vfString:
        return QString::compare(published, installed, Qt::CaseSensitive) > 0;
    case vfNumber: {
        const std::optional<double> a = DecimalNumber(installed);
        const std::optional<double> w = DecimalNumber(published);
        return a && w && *w > *a;
    }
    }
    return false;
}

TmxURLParts mxSplitURL(const QString& url) {
    QString text = url;
    if (text.toLower().contains(QLatin1String("http://")))
        text.remove(0, 7);
    const qsizetype slash = text.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QString(), text};
    return {text.left(slash), text.mid(slash)};
}

QString mxPlainFileName(const QString& name) {
    const qsizetype cut =
        std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    const QString plain = name.mid(cut + 1);
    if (plain.isEmpty() || plain == QLatin1String(".") || plain == QLatin1String(".."))
        return QString();
    for (QChar c : plain)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QString();
    if (plain.toUtf8().size() > kMaxFileNameBytes)
        return QString();
    return plain;
}
