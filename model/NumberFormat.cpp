// Number formatting and parsing for reports, drawings, listings and truss files.
#include "NumberFormat.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// Significant digits of the report's fixed(d) format.
constexpr int ReportPrecision = 5;
// Significant digits of a real written to a file.
constexpr int FilePrecision = 15;
// Width of a number in the equation listing, as printf's "%7.1f".
constexpr int ListingWidth = 7;
// Significant digits that always read back as the same double.
constexpr int ExactPrecision = std::numeric_limits<double>::max_digits10;

// printf writes the separator of the C library's locale, which the application object takes from
// the environment (a comma, or the Arabic U+066B in two bytes), while the code below finds and
// trims decimals by ".". So every digit text comes from std::to_chars, which writes "." under
// any locale, and the wanted separator goes in last.
QString withSeparator(const std::string& text, QChar sep) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    if (sep != u'.')
        s.replace(u'.', sep);
    return s;
}

QString withLocaleSeparator(const std::string& text) {
    return withSeparator(text, DecimalSeparator());
}

// A file is read back under any locale only with "." or ","; any other separator the locale
// has is written as ".".
QString withFileSeparator(const std::string& text) {
    const QChar sep = DecimalSeparator();
    return withSeparator(text, sep == u',' ? sep : QChar(u'.'));
}

// printf's "%.*f" and "%.*e" in the C locale, for double and extended values alike.
template <typename Real> std::string digits(Real value, std::chars_format format, int precision) {
    // Fixed notation of the largest extended value needs 4933 integer digits.
    char buffer[5200];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string fixedDigits(double value, int decimals) {
    return digits(value, std::chars_format::fixed, decimals);
}

// Mantissa with precision decimals, "e", sign and at least two exponent digits: "1.50e+20".
std::string scientificDigits(double value, int precision) {
    return digits(value, std::chars_format::scientific, precision);
}

// Decimal exponent of the leading digit of a finite non-zero value.
int decimalExponent(double value) {
    const std::string e = scientificDigits(value, 16);
    return std::stoi(e.substr(e.find('e') + 1));
}

// "-0.0" reads badly in a report: a value that rounded to zero is written without its sign.
void dropNegativeZero(std::string& text) {
    if (!text.empty() && text[0] == '-' && text.find_first_of("123456789") == std::string::npos)
        text.erase(0, 1);
}

// Whether a real's text reads back as a finite double. Rounded to the file's precision, the
// largest doubles pass the largest one and would read back as nothing.
bool readsBack(const std::string& text) {
    double back = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), back);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(back);
}

std::string nonFinite(double value) {
    if (std::isnan(value))
        return "NAN";
    return value > 0 ? "INF" : "-INF";
}

// Scientific text as the file and the report write it: "1.5E20", "1E-6".
std::string scientific(double value, int precision) {
    std::string e = scientificDigits(value, precision - 1);
    const auto ePos = e.find('e');
    std::string mantissa = e.substr(0, ePos);
    const int exponent = std::stoi(e.substr(ePos + 1));
    if (mantissa.find('.') != std::string::npos) {
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        if (mantissa.back() == '.')
            mantissa.pop_back();
    }
    return mantissa + "E" + std::to_string(exponent);
}

} // namespace

QChar DecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

QString FormatFixed(double value, int decimals) {
    if (!std::isfinite(value))
        return QString::fromStdString(nonFinite(value));
    if (value == 0)
        return withLocaleSeparator(fixedDigits(0.0, decimals));
    const int exponent = decimalExponent(value);
    const int roundAt = std::min(decimals, ReportPrecision - 1 - exponent);
    if (roundAt < 0)
        return withLocaleSeparator(scientific(value, ReportPrecision));
    std::string text = fixedDigits(value, roundAt);
    if (roundAt < decimals) {
        if (roundAt == 0)
            text += '.';
        text.append(static_cast<size_t>(decimals - roundAt), '0');
    }
    dropNegativeZero(text);
    return withLocaleSeparator(text);
}

QString FormatDecimals(double value, int decimals) {
    if (!std::isfinite(value))
        return QString::fromStdString(nonFinite(value));
    std::string text = fixedDigits(value, decimals);
    dropNegativeZero(text);
    return withLocaleSeparator(text);
}

QString FormatListingValue(long double value) {
    return withLocaleSeparator(digits(value, std::chars_format::fixed, 1))
        .rightJustified(ListingWidth);
}

QString FormatFileReal(double value) {
    if (!std::isfinite(value))
        return QString::fromStdString(nonFinite(value));
    if (value == 0)
        return QStringLiteral("0");
    // Round to the file's precision first: the rounded value decides the notation.
    const std::string rounded = scientificDigits(value, FilePrecision - 1);
    const int exponent = std::stoi(rounded.substr(rounded.find('e') + 1));
    if (exponent < -5 || exponent >= FilePrecision)
        return withFileSeparator(
            scientific(value, readsBack(rounded) ? FilePrecision : ExactPrecision));
    std::string text = fixedDigits(value, std::max(0, FilePrecision - 1 - exponent));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
    }
    return withFileSeparator(text);
}

std::optional<double> ParseFileReal(const QString& text) {
    std::string s = text.trimmed().toStdString();
    if (!s.empty() && s[0] == '+')
        s.erase(0, 1);
    if (s.empty() || s.find_first_not_of("0123456789+-.,eE") != std::string::npos)
        return std::nullopt;
    for (char& c : s)
        if (c == ',')
            c = '.';
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseFileInteger(const QString& text) {
    std::string s = text.trimmed().toStdString();
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.erase(0, 1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.erase(0, 1);
    } else if (s.size() > 1 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.erase(0, 2);
    }
    if (s.empty() || s[0] == '-' || s[0] == '+')
        return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

QString FormatThousands(double value) {
    if (!std::isfinite(value))
        return QString::fromStdString(nonFinite(value));
    std::string whole = fixedDigits(std::round(value), 0);
    dropNegativeZero(whole);
    const bool negative = !whole.empty() && whole.front() == '-';
    if (negative)
        whole.erase(0, 1);
    const QString separator = QLocale().groupSeparator();
    QString result;
    for (size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            result += separator;
        result += QChar::fromLatin1(whole[i]);
    }
    return negative ? u'-' + result : result;
}
