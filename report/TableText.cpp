// CSV and tab-separated text of the result tables.
#include "TableText.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace {

// Significant digits of a number in the exports: what a truss file keeps of its reals.
constexpr int ExportPrecision = 15;

const QString CrLf = QStringLiteral("\r\n");

QString csvCell(const TResultCell& cell) {
    switch (cell.Kind) {
    case TResultCell::TKind::Number:
        return CsvNumber(cell.Number);
    case TResultCell::TKind::Text:
        return CsvField(cell.Text);
    case TResultCell::TKind::Empty:
    case TResultCell::TKind::Unknown:
        break;
    }
    return {};
}

QString csvRow(const QStringList& fields) {
    QStringList quoted;
    for (const QString& f : fields)
        quoted << CsvField(f);
    return quoted.join(u',') + CrLf;
}

QString tsvNumber(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value == 0 ? 0.0 : value, 'g', ExportPrecision);
}

// Significant digits of a number as a window or a page shows it.
constexpr int DisplayPrecision = 6;
constexpr double DisplayZero = 1e-12;

QString tsvText(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return text;
}

QString tsvCell(const TResultCell& cell) {
    switch (cell.Kind) {
    case TResultCell::TKind::Number:
        return tsvNumber(cell.Number);
    case TResultCell::TKind::Text:
        return tsvText(cell.Text);
    case TResultCell::TKind::Empty:
    case TResultCell::TKind::Unknown:
        break;
    }
    return {};
}

} // namespace

QString CsvField(const QString& text) {
    const bool quote =
        text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString CsvNumber(double value) {
    if (value == 0)
        return QStringLiteral("0"); // also for -0
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                            std::chars_format::general, ExportPrecision);
    return QString::fromLatin1(buffer, error == std::errc() ? end - buffer : 0);
}

QString ResultsCsv(const std::vector<TResultTable>& tables) {
    QString out;
    for (size_t t = 0; t < tables.size(); ++t) {
        const TResultTable& table = tables[t];
        if (t > 0)
            out += CrLf;
        out += CsvField(table.Title) + CrLf;
        out += csvRow(table.Headers);
        for (const auto& row : table.Rows) {
            QStringList fields;
            for (const TResultCell& cell : row)
                fields << csvCell(cell);
            out += fields.join(u',') + CrLf;
        }
    }
    return out;
}

QString TableTsv(const TResultTable& table, const std::vector<int>& rows,
                 const std::vector<int>& columns, bool withHeaders) {
    QString out;
    auto line = [&](auto cellText) {
        QStringList fields;
        for (const int c : columns)
            fields << cellText(c);
        out += fields.join(u'\t') + u'\n';
    };
    if (withHeaders)
        line([&](int c) {
            return c < table.Headers.size() ? tsvText(table.Headers[c]) : QString();
        });
    for (const int r : rows) {
        if (r < 0 || static_cast<size_t>(r) >= table.Rows.size())
            continue;
        const auto& row = table.Rows[static_cast<size_t>(r)];
        line([&](int c) {
            return c >= 0 && static_cast<size_t>(c) < row.size()
                       ? tsvCell(row[static_cast<size_t>(c)])
                       : QString();
        });
    }
    return out;
}

QString CellDisplayText(const TResultCell& cell) {
    switch (cell.Kind) {
    case TResultCell::TKind::Number: {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        // What is left of a zero by rounding (a reaction of 1e-19) is shown as the zero it is.
        const double value = std::fabs(cell.Number) < DisplayZero ? 0.0 : cell.Number;
        return locale.toString(value, 'g', DisplayPrecision);
    }
    case TResultCell::TKind::Text:
        return cell.Text;
    case TResultCell::TKind::Unknown:
        return QStringLiteral("?");
    case TResultCell::TKind::Empty:
        break;
    }
    return {};
}
