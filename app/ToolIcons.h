// Vector drawings of the palette's tools.
#pragma once

#include "DrawingTool.h"

#include <QIcon>

// The icon of a palette tool: a pointer, a bar, a move hand, the three supports, the two forces.
QIcon ToolIcon(TDrawingTool tool);

// The pen bar: a line in a pen style, a square in a brush style, a shape tool, a colour well.
QIcon PenStyleIcon(Qt::PenStyle style);
QIcon BrushStyleIcon(Qt::BrushStyle style);
QIcon ShapeIcon(TDrawingTool tool);
QIcon ColourIcon(const QColor& colour);

// The program's icon: a loaded truss on a pin and a roller.
QIcon ApplicationIcon();
