// Number texts of the model: report figures, file values, the equation listing, and their parsing.
#pragma once

#include <QString>

#include <optional>

// The report's fixed(d): rounded once at the 5th significant digit or the d-th decimal, whichever
// comes first, written with exactly d decimals and the locale's decimal separator.
QString FormatFixed(double value, int decimals);

// Plain fixed notation with the given decimals and the locale's separator (labels on the drawing).
QString FormatDecimals(double value, int decimals);

// "%7.1f" of an extended value with the locale's separator (equation listing).
QString FormatListingValue(long double value);

// A real as the file writes it: up to 15 significant digits, fixed notation between 0.00001 and
// 15 integer digits, otherwise scientific with "E"; the locale's decimal separator when it is
// "." or ",", which a file can be read back with, and "." under any other locale.
QString FormatFileReal(double value);

// A real value of a file; "." and "," are both taken as the decimal separator so a file written
// under another locale keeps its loads. Anything that is not a number gives none.
std::optional<double> ParseFileReal(const QString& text);

// A 32-bit integer of a file: decimal, or hexadecimal after "$", "0x" or "0X"; none otherwise.
std::optional<int> ParseFileInteger(const QString& text);

// The locale's decimal separator as used by the formatters of reports, drawings and listings.
QChar DecimalSeparator();

// A whole number with the locale's thousands separator and no decimals, rounded half away from
// zero: 12345.678 gives "12,346" in English.
QString FormatThousands(double value);
