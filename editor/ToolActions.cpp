// The palette's tools applied to a truss.
#include "ToolActions.h"

#include "RutinyUnit.h"
#include "TrussSystem.h"

#include <algorithm>
#include <limits>

namespace {

int SnapCoordinate(int c, double step) {
    const std::int64_t snapped = RoundToStep(c, step);
    // A point snapped beyond the 32-bit drawing range stays at its edge.
    return static_cast<int>(std::clamp<std::int64_t>(snapped, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

QPoint SnapToGrid(QPoint p, double step) {
    return {SnapCoordinate(p.x(), step), SnapCoordinate(p.y(), step)};
}

bool ApplyToolAtRelease(TPrutovaSoustava& truss, TDrawingTool tool, QPoint s, QPoint r,
                        double force) {
    switch (tool) {
    case dtPrut:
        if (r == s)
            return false;
        truss.AddPrut(s.x(), s.y(), r.x(), r.y());
        return true;
    case dtMove:
        // The drag has moved the joints already; the whole drag becomes one undo state.
        truss.PushSnapshot();
        return true;
    case dtPevnaPod:
        truss.AddPodpera(r.x(), r.y(), P_X | P_Y, 0);
        return true;
    case dtVolPodX:
        truss.AddPodpera(r.x(), r.y(), P_X, 0);
        return true;
    case dtVolPodY:
        truss.AddPodpera(r.x(), r.y(), P_Y, 0);
        return true;
    case dtForceLeft:
        truss.AddSila(r.x(), r.y(), force, 0);
        return true;
    case dtForceUp:
        truss.AddSila(r.x(), r.y(), force, 90);
        return true;
    default:
        return false;
    }
}

bool HasRubberBand(TDrawingTool tool) {
    return tool == dtPrut;
}
