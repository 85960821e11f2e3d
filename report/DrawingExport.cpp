// The truss drawing fitted to SVG, PNG and PDF files and to areas of printed pages.
#include "DrawingExport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <algorithm>

namespace {

const TImageList& supportImages() {
    static const TImageList images = MakeSupportImages();
    return images;
}

[[noreturn]] void cannotWrite(const QString& path, const QString& why) {
    throw EExportError(QStringLiteral("cannot write \"%1\": %2").arg(path, why).toStdString());
}

// QSvgGenerator and QPdfWriter say nothing when their file cannot be made: try it first.
void ensureWritable(const QString& path) {
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        cannotWrite(path, probe.errorString());
}

void checkSize(const QString& path, QSize size) {
    if (size.width() < 1 || size.height() < 1)
        cannotWrite(path, QStringLiteral("empty picture"));
}

} // namespace

TViewMapping FitMapping(const std::optional<QRectF>& bounds, QSizeF size, double margin) {
    TViewMapping mapping;
    if (!bounds)
        return mapping;
    const double roomW = std::max(1.0, size.width() - 2 * margin);
    const double roomH = std::max(1.0, size.height() - 2 * margin);
    if (bounds->width() > 0 && bounds->height() > 0)
        mapping.Scale = std::min(roomW / bounds->width(), roomH / bounds->height());
    else if (bounds->width() > 0)
        mapping.Scale = roomW / bounds->width();
    else if (bounds->height() > 0)
        mapping.Scale = roomH / bounds->height();
    mapping.Offset =
        QPointF(size.width() / 2, size.height() / 2) - bounds->center() * mapping.Scale;
    return mapping;
}

double PaintFittedTruss(QPainter& canvas, const QRect& area, TPrutovaSoustava& truss,
                        const TTrussRenderOptions& options) {
    canvas.save();
    canvas.translate(area.topLeft());
    canvas.setClipRect(QRect(QPoint(0, 0), area.size()));
    const TViewMapping view = FitMapping(truss.Bounds(), QSizeF(area.size()), ExportMargin);
    double time = 0;
    try {
        time = RenderTruss(canvas, view, options, truss, supportImages(), area.size());
    } catch (...) {
        canvas.restore();
        throw;
    }
    canvas.restore();
    return time;
}

void WriteDrawingSvg(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size) {
    checkSize(path, size);
    ensureWritable(path);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(ExportDpi);
    svg.setTitle(truss.FileName.isEmpty() ? QStringLiteral("Trabex")
                                          : QFileInfo(truss.FileName).completeBaseName());
    QPainter canvas;
    if (!canvas.begin(&svg))
        cannotWrite(path, QStringLiteral("SVG"));
    PaintFittedTruss(canvas, QRect(QPoint(0, 0), size), truss, options);
    canvas.end();
}

void WriteDrawingPng(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size) {
    checkSize(path, size);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        cannotWrite(path, QStringLiteral("picture too large"));
    QPainter canvas(&image);
    PaintFittedTruss(canvas, image.rect(), truss, options);
    canvas.end();
    QImageWriter writer(path, "png");
    if (!writer.write(image))
        cannotWrite(path, writer.errorString());
}

void WriteDrawingPdf(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size) {
    checkSize(path, size);
    ensureWritable(path);
    QPdfWriter pdf(path);
    pdf.setResolution(ExportDpi);
    // A page exactly as large as the picture, in points (1/72 inch).
    const double toPoints = 72.0 / ExportDpi;
    pdf.setPageSize(QPageSize(QSizeF(size.width() * toPoints, size.height() * toPoints),
                              QPageSize::Point, QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter canvas;
    if (!canvas.begin(&pdf))
        cannotWrite(path, QStringLiteral("PDF"));
    PaintFittedTruss(canvas, QRect(0, 0, pdf.width(), pdf.height()), truss, options);
    canvas.end();
}

void WriteDrawing(const QString& path, TPrutovaSoustava& truss, const TTrussRenderOptions& options,
                  QSize size) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        WriteDrawingSvg(path, truss, options, size);
    else if (suffix == QLatin1String("png"))
        WriteDrawingPng(path, truss, options, size);
    else if (suffix == QLatin1String("pdf"))
        WriteDrawingPdf(path, truss, options, size);
    else
        cannotWrite(path, QStringLiteral("the name must end in .svg, .png or .pdf"));
}
