// The printed report of a truss: header, drawing, result tables, report text, page numbers, on
// any paged device (a PDF file or a printer).
#pragma once

#include "ResultTables.h"
#include "TrussPicture.h"

#include <QString>
#include <QStringList>

#include <vector>

class QPagedPaintDevice;

struct TReportContent {
    QString Title;         // the file name, or "bez názvu"
    QString Date;          // as the user's locale writes it
    QStringList UnitLines; // what the units are (UnitsLines)
    TTrussRenderOptions Drawing;
    std::vector<TResultTable> Tables;
    QString Text; // the report of the side panel (Describe), lines ending in CR LF or LF
};

// The content for a truss after its analysis: the truss's file name, today's date, its units,
// the three tables and Describe with the analysis's lines. drawing says what the picture shows.
TReportContent ReportContentOf(const TPrutovaSoustava& truss, const TAnalysis& analysis,
                               const TTrussRenderOptions& drawing);

// Paints the report on the device from its first page, starting a new page where the next
// block does not fit; the header's first line, each table's title and header row stay together
// with what follows them. Each page ends with "Strana n z N". The device's resolution sets how
// large the drawing's pixels are (ExportDpi keeps the window's proportions). Returns the number
// of pages; throws ERangeError as the drawing does.
int PaintReport(QPagedPaintDevice& device, TPrutovaSoustava& truss, const TReportContent& content);

// The report as an A4 PDF file; EExportError when it cannot be written. Returns the pages.
int WriteReportPdf(const QString& path, TPrutovaSoustava& truss, const TReportContent& content);
