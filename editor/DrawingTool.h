// The tools of the main window's palette that a mouse action in a truss window applies.
#pragma once

#include <cstdint>

enum TDrawingTool : std::uint8_t {
    dtPrut,      // a bar between two grid points
    dtMove,      // drags joints with everything on them
    dtPevnaPod,  // fixed support, reactions in x and y
    dtVolPodX,   // support with a reaction in x only
    dtVolPodY,   // support with a reaction in y only
    dtForceLeft, // force at 0 degrees
    dtForceUp,   // force at 90 degrees
    dtLine,      // pen bar shapes: rubber band only, nothing is created
    dtRectangle,
    dtEllipse,
    dtRoundRect,
    dtSelect, // picks bars, supports and loads; edits their values
};
