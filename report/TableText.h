// The result tables as text: CSV for files and the command line, tab-separated text for the
// clipboard.
#pragma once

#include "ResultTables.h"

#include <QString>

#include <vector>

// The tables one after another, each as its title on a line of its own, the header row and the
// rows, with an empty line between tables. RFC 4180: comma-separated, CR LF line ends, a field
// with a comma, a quote, CR or LF in quotes with its quotes doubled. Numbers with "." and up to
// 15 significant digits, as the truss file writes them, under any locale; empty and unknown
// cells are empty fields. No byte order mark: the caller adds one if its reader needs it.
QString ResultsCsv(const std::vector<TResultTable>& tables);

// One CSV field, quoted when it must be.
QString CsvField(const QString& text);
// A number as the CSV writes it: "1.4", "-7.07106781186548", "1e-16".
QString CsvNumber(double value);

// The cells of the given rows and columns (indices, in the order given, as a window's sorted
// view shows them) separated by tabs, one line per row ending in "\n", the column headers first
// when withHeaders. This is what goes to the clipboard, so numbers follow the user's locale
// (a spreadsheet in a Czech locale reads "1,4", not "1.4"), without thousands separators and
// with up to 15 significant digits. Tabs and line breaks inside a cell become spaces.
QString TableTsv(const TResultTable& table, const std::vector<int>& rows,
                 const std::vector<int>& columns, bool withHeaders);

// A cell as a window or a printed page shows it: a number with up to six significant digits in
// the user's locale (no thousands separators), a word, "?" for a value not known, nothing for
// one that does not apply.
QString CellDisplayText(const TResultCell& cell);
