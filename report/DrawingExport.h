// The truss drawing written to files (SVG, PNG, PDF) and painted into a part of any page, fitted
// to the output, by the same painter that draws the truss windows.
#pragma once

#include "TrussPicture.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <stdexcept>

class QPainter;

// A file that could not be written; what() names the file and, where known, why.
class EExportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Pixels left free around a fitted truss: room for the support images (40 pixels, centred on
// their joint), the labels beside the bars and the joint numbers.
constexpr double ExportMargin = 30;

// Vector outputs take this many dots per inch, as the screen does, so that a 3-pixel bar, an
// 8-point label and a 40-pixel support keep the proportions they have in the window.
constexpr int ExportDpi = 96;

// The mapping that shows bounds (drawing units) whole and centred in size pixels with margin
// pixels free on every side. A box with no extent along an axis sets no limit along it; a point
// or no box at all is drawn at one pixel per unit (centred, or at the origin).
TViewMapping FitMapping(const std::optional<QRectF>& bounds, QSizeF size, double margin);

// Paints the truss fitted into area of the painter's device (ground and truss, clipped to the
// area). Returns the truss's drawing time in milliseconds; throws ERangeError as RenderTruss does.
double PaintFittedTruss(QPainter& canvas, const QRect& area, TPrutovaSoustava& truss,
                        const TTrussRenderOptions& options);

// The drawing as a file of size pixels (at ExportDpi for SVG and PDF: a PDF page is that large).
// Throws EExportError when the file cannot be written.
void WriteDrawingSvg(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size);
void WriteDrawingPng(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size);
void WriteDrawingPdf(const QString& path, TPrutovaSoustava& truss,
                     const TTrussRenderOptions& options, QSize size);
// One of the three by the file's suffix (svg, png, pdf; any case); EExportError for another.
void WriteDrawing(const QString& path, TPrutovaSoustava& truss, const TTrussRenderOptions& options,
                  QSize size);
