// Vector drawings of the palette's tools.
#pragma once

#include "DrawingTool.h"

#include <QIcon>

// The icon of a palette tool: a bar, a move hand, the three supports and the two forces.
QIcon ToolIcon(TDrawingTool tool);
