// What the palette's tools do to a truss: grid snapping and the edit made at a mouse release.
#pragma once

#include "DrawingTool.h"

#include <QPoint>

class TPrutovaSoustava;

// Both coordinates on the nearest grid point; halfway points go to the even grid index.
QPoint SnapToGrid(QPoint p, double step);

// The edit a completed drag makes with the tool: press point s, release point r (both snapped),
// force the palette's force value. Returns true when the truss was changed.
bool ApplyToolAtRelease(TPrutovaSoustava& truss, TDrawingTool tool, QPoint s, QPoint r,
                        double force);

// True for the tools that draw a rubber band while dragging.
bool HasRubberBand(TDrawingTool tool);
