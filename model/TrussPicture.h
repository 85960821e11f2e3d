// The picture of a truss as a window shows it: white ground, grid, the truss, support images.
#pragma once

#include "TrussSystem.h"

#include <QImage>

// Vector drawings of the three supports, 40 x 40: fixed (0), fixed in y (1), fixed in x (2).
TImageList MakeSupportImages();

// Grid points (dots) or grid lines of the given step, from the top-left corner.
void DrawGrid(QPainter& canvas, QSize size, int step, bool lines);

// A white picture with the dotted grid and the truss drawn by its Draw.
QImage RenderTrussPicture(TPrutovaSoustava& truss, QSize size, int gridStep);
