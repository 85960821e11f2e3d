// The picture of a truss as a window shows it: white ground, grid, the truss, support images.
#pragma once

#include "TrussSystem.h"
#include "ViewMapping.h"

#include <QImage>

// Vector drawings of the three supports, 40 x 40: fixed (0), fixed in y (1), fixed in x (2).
TImageList MakeSupportImages();

// Grid points (dots) or grid lines of the given step, from the top-left corner.
void DrawGrid(QPainter& canvas, QSize size, int step, bool lines);

// Zoomed out, grid points would stand closer than this many pixels: every second, fifth,
// tenth ... of them is drawn instead, so the grid stays a grid and does not turn the picture grey.
constexpr double MinGridSpacing = 5;

// The grid of step drawing units over a picture of size pixels seen through view. The identity
// draws what DrawGrid draws; a view that zooms out thins the points (and lines) out to keep
// them at least MinGridSpacing apart, on multiples of the step so they stay where points snap.
void DrawViewGrid(QPainter& canvas, const TViewMapping& view, QSize size, int step, bool lines);

// What a picture of a truss shows besides the truss itself.
struct TTrussRenderOptions {
    // TDisplayFlag bits: bar names, bar forces, joint numbers.
    std::uint8_t Flags = dfPrutName;
    // The error code of the truss's last solve: bars are grey and forces "?" unless it is 0.
    std::uint8_t Err = 0;
    // Drawing units between grid points; 0 draws no grid.
    int GridStep = 0;
    // Grid lines instead of grid points.
    bool GridLines = false;
};

// The white ground of size pixels and the grid the options ask for.
void RenderGround(QPainter& canvas, const TViewMapping& view, const TTrussRenderOptions& options,
                  QSize size);

// Every picture of a truss is drawn here, on any painter (a window's picture, a PNG, an SVG, a
// PDF, a printer): the ground, the grid and the truss, seen through view. Nothing is read from
// the process-wide DisplayFlags or EquationStore. Returns the truss's drawing time (DrawTime)
// in milliseconds; throws ERangeError for a position beyond the 32-bit pixel range.
double RenderTruss(QPainter& canvas, const TViewMapping& view, const TTrussRenderOptions& options,
                   TPrutovaSoustava& truss, const TImageList& supports, QSize size);

// A picture of size pixels drawn by RenderTruss at the identity view, with the program's own
// support images.
QImage RenderTrussPicture(TPrutovaSoustava& truss, QSize size, const TTrussRenderOptions& options);
