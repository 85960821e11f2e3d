// The printed report laid out in blocks, paged, then painted page by page.
#include "PrintedReport.h"

#include "DrawingExport.h"
#include "JointStepsText.h"
#include "TableText.h"
#include "plsLangConsts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <functional>

namespace {

// One piece of the page: how tall it is, how much room it needs to start on a page (itself and
// what must not be parted from it) and how it paints itself with its top at a height.
struct TBlock {
    double Height = 0;
    double Needs = 0;
    std::function<void(QPainter&, double)> Paint;
    int Page = 0;
    double Top = 0;
};

QFont reportFont(double points, bool bold = false) {
    QFont font(QStringLiteral("Arial"), 1);
    font.setPointSizeF(points);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(bold);
    return font;
}

constexpr double TitlePoints = 14, HeadingPoints = 11, BodyPoints = 9;
// The drawing takes at most this share of the page's height.
constexpr double DrawingShare = 0.45;

class TReportLayout {
public:
    TReportLayout(QPagedPaintDevice& device, TPrutovaSoustava& truss)
        : device(device), truss(truss), width(device.width()) {}

    // A line of text, wrapped to the page's width.
    void Text(const QString& text, const QFont& font, double extraNeeds = 0) {
        const QFontMetricsF metrics(font, &device);
        const QRectF box =
            metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap | Qt::AlignLeft, text);
        const double height = std::max(box.height(), metrics.height());
        Add(height, height + extraNeeds, [=, this](QPainter& p, double top) {
            p.setFont(font);
            p.setPen(Qt::black);
            p.drawText(QRectF(0, top, width, height), Qt::TextWordWrap | Qt::AlignLeft, text);
        });
    }

    void Space(double points) { Add(Points(points), 0, {}); }

    void Drawing(const TTrussRenderOptions& options, double pageHeight) {
        const double height = std::min(width * 0.6, pageHeight * DrawingShare);
        Add(height, height, [=, this](QPainter& p, double top) {
            const QRect area(0, static_cast<int>(top), static_cast<int>(width),
                             static_cast<int>(height));
            PaintFittedTruss(p, area, truss, options);
            p.setPen(QPen(Qt::gray, 0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(area);
        });
    }

    void Table(const TResultTable& table) {
        const QFont heading = reportFont(HeadingPoints, true);
        const QFont head = reportFont(BodyPoints, true);
        const QFont body = reportFont(BodyPoints);
        const double rowHeight = QFontMetricsF(body, &device).height() * 1.35;
        const double firstRow = table.Rows.empty() ? 0 : rowHeight;
        Text(table.Title, heading, 2 * rowHeight + firstRow);
        // A header stands over its column's numbers: right-aligned when the first row has one.
        std::vector<bool> numeric(static_cast<size_t>(table.Headers.size()), false);
        if (!table.Rows.empty())
            for (size_t c = 0; c < numeric.size() && c < table.Rows[0].size(); ++c)
                numeric[c] = table.Rows[0][c].Kind == TResultCell::TKind::Number;
        Add(rowHeight, rowHeight + firstRow, [=, this](QPainter& p, double top) {
            std::vector<QString> cells(table.Headers.begin(), table.Headers.end());
            Row(p, top, rowHeight, head, cells, numeric);
            p.setPen(QPen(Qt::black, 0));
            p.drawLine(QPointF(0, top + rowHeight), QPointF(width, top + rowHeight));
        });
        for (const auto& row : table.Rows) {
            std::vector<QString> cells;
            std::vector<bool> numbers;
            for (const TResultCell& cell : row) {
                cells.push_back(CellDisplayText(cell));
                numbers.push_back(cell.Kind == TResultCell::TKind::Number);
            }
            while (cells.size() < static_cast<size_t>(table.Headers.size())) {
                cells.emplace_back();
                numbers.push_back(false);
            }
            Add(rowHeight, rowHeight, [=, this](QPainter& p, double top) {
                Row(p, top, rowHeight, body, cells, numbers);
            });
        }
    }

    // Places the blocks on pages of usable height; returns the number of pages.
    int Paginate(double usable) {
        int page = 0;
        double y = 0;
        for (TBlock& b : blocks) {
            if (y > 0 && y + std::max(b.Needs, b.Height) > usable) {
                ++page;
                y = 0;
            }
            // Space at the top of a page is left out.
            if (y == 0 && !b.Paint)
                continue;
            b.Page = page;
            b.Top = y;
            y += b.Height;
        }
        return page + 1;
    }

    void PaintPage(QPainter& p, int page) const {
        for (const TBlock& b : blocks)
            if (b.Page == page && b.Paint)
                b.Paint(p, b.Top);
    }

    double Points(double points) const { return points * device.logicalDpiY() / 72.0; }

private:
    void Add(double height, double needs, std::function<void(QPainter&, double)> paint) {
        blocks.push_back({height, needs, std::move(paint)});
    }

    void Row(QPainter& p, double top, double height, const QFont& font,
             const std::vector<QString>& cells, const std::vector<bool>& numbers) const {
        p.setFont(font);
        p.setPen(Qt::black);
        const QFontMetricsF metrics(font, &device);
        const double column = width / static_cast<double>(std::max<size_t>(1, cells.size()));
        const double pad = Points(3);
        for (size_t c = 0; c < cells.size(); ++c) {
            const QRectF box(c * column + pad, top, column - 2 * pad, height);
            const Qt::Alignment align =
                Qt::AlignVCenter | (numbers[c] ? Qt::AlignRight : Qt::AlignLeft);
            p.drawText(box, align, metrics.elidedText(cells[c], Qt::ElideRight, box.width()));
        }
    }

    QPagedPaintDevice& device;
    TPrutovaSoustava& truss;
    double width;
    std::vector<TBlock> blocks;
};

QString pageText(int page, int pages) {
    return FormatConst(FormatConst(str_ZpravaStrana, QString::number(page)),
                       QString::number(pages));
}

} // namespace

TReportContent ReportContentOf(const TPrutovaSoustava& truss, const TAnalysis& analysis,
                               const TTrussRenderOptions& drawing) {
    TReportContent c;
    c.Title = truss.FileName.isEmpty() ? str_BezNazvu : QFileInfo(truss.FileName).fileName();
    c.Date = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    c.UnitLines = UnitsLines(truss.Units);
    c.Drawing = drawing;
    c.Tables = ResultTables(ResultsOf(truss, analysis));
    c.Text = truss.Describe() + DescribeAnalysis(analysis);
    return c;
}

int PaintReport(QPagedPaintDevice& device, TPrutovaSoustava& truss, const TReportContent& content) {
    TReportLayout layout(device, truss);
    const QFont body = reportFont(BodyPoints);
    const double footer = QFontMetricsF(body, &device).height() * 2;
    const double usable = std::max(1.0, device.height() - footer);

    layout.Text(content.Title, reportFont(TitlePoints, true));
    layout.Text(FormatConst(str_ZpravaDatum, content.Date), body);
    for (const QString& line : content.UnitLines)
        layout.Text(line, body);
    layout.Space(8);
    layout.Drawing(content.Drawing, usable);
    for (const TResultTable& table : content.Tables) {
        layout.Space(10);
        layout.Table(table);
    }
    layout.Space(10);
    QString text = content.Text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    for (const QString& line : text.split(u'\n'))
        layout.Text(line.isEmpty() ? QStringLiteral(" ") : line, body);

    const int pages = layout.Paginate(usable);
    QPainter p;
    if (!p.begin(&device))
        throw EExportError("cannot paint the report");
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device.newPage();
        layout.PaintPage(p, page);
        p.setFont(body);
        p.setPen(Qt::black);
        p.drawText(QRectF(0, device.height() - footer, device.width(), footer),
                   Qt::AlignHCenter | Qt::AlignBottom, pageText(page + 1, pages));
    }
    p.end();
    return pages;
}

int WriteReportPdf(const QString& path, TPrutovaSoustava& truss, const TReportContent& content) {
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw EExportError(QStringLiteral("cannot write \"%1\": %2")
                                   .arg(path, probe.errorString())
                                   .toStdString());
    }
    QPdfWriter pdf(path);
    pdf.setResolution(ExportDpi);
    pdf.setTitle(content.Title);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
    return PaintReport(pdf, truss, content);
}
