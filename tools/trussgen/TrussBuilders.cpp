// Textbook truss builders.
#include "TrussBuilders.h"

#include <vector>

namespace {

constexpr double Down = 90; // loads along +y point down the drawing

struct TBridgeJoints {
    std::vector<QPoint> Bottom, Top;
};

TBridgeJoints bridgeJoints(const TBridgeShape& s, int topCount, int topOffset) {
    TBridgeJoints j;
    for (int i = 0; i <= s.Panels; ++i)
        j.Bottom.emplace_back(s.Left + i * s.PanelWidth, s.Bottom);
    for (int i = 0; i < topCount; ++i)
        j.Top.emplace_back(s.Left + (i + topOffset) * s.PanelWidth, s.Bottom - s.Height);
    return j;
}

void bar(TPrutovaSoustava& t, QPoint a, QPoint b) {
    t.AddPrut(a.x(), a.y(), b.x(), b.y());
}

void supportsAndLoads(TPrutovaSoustava& t, const TBridgeShape& s, const TBridgeJoints& j) {
    t.AddPodpera(j.Bottom.front().x(), j.Bottom.front().y(), P_X | P_Y, 0);
    t.AddPodpera(j.Bottom.back().x(), j.Bottom.back().y(), P_Y, 0);
    for (int i = 1; i < s.Panels; ++i)
        t.AddSila(j.Bottom[i].x(), j.Bottom[i].y(), s.Load, Down);
}

// Pratt and Howe differ only in the direction of their diagonals.
void buildVerticalTruss(TPrutovaSoustava& t, const TBridgeShape& s, bool pratt) {
    const TBridgeJoints j = bridgeJoints(s, s.Panels + 1, 0);
    auto diagonal = [&](int i) {
        const bool leftHalf = 2 * i < s.Panels;
        // Pratt: the diagonal of a left-half panel runs from its top-left to its bottom-right.
        if (leftHalf == pratt)
            bar(t, j.Top[i], j.Bottom[i + 1]);
        else
            bar(t, j.Bottom[i], j.Top[i + 1]);
    };
    if (s.Order == TJointOrder::PanelByPanel) {
        bar(t, j.Bottom[0], j.Top[0]);
        for (int i = 0; i < s.Panels; ++i) {
            bar(t, j.Bottom[i], j.Bottom[i + 1]);
            bar(t, j.Top[i], j.Top[i + 1]);
            bar(t, j.Bottom[i + 1], j.Top[i + 1]);
            diagonal(i);
        }
    } else {
        for (int i = 0; i < s.Panels; ++i)
            bar(t, j.Bottom[i], j.Bottom[i + 1]);
        for (int i = 0; i < s.Panels; ++i)
            bar(t, j.Top[i], j.Top[i + 1]);
        for (int i = 0; i <= s.Panels; ++i)
            bar(t, j.Bottom[i], j.Top[i]);
        for (int i = 0; i < s.Panels; ++i)
            diagonal(i);
    }
    supportsAndLoads(t, s, j);
}

} // namespace

void BuildTriangle(TPrutovaSoustava& t, int span, int height, double load) {
    const QPoint a(40, 40 + height), b(40 + span, 40 + height), c(40 + span / 2, 40);
    bar(t, a, b);
    bar(t, b, c);
    bar(t, c, a);
    t.AddPodpera(a.x(), a.y(), P_X | P_Y, 0);
    t.AddPodpera(b.x(), b.y(), P_Y, 0);
    t.AddSila(c.x(), c.y(), load, Down);
}

void BuildWarren(TPrutovaSoustava& t, const TBridgeShape& s) {
    // Top joints stand above the middle of each inner pair of bottom panels.
    TBridgeJoints j;
    for (int i = 0; i <= s.Panels; ++i)
        j.Bottom.emplace_back(s.Left + i * s.PanelWidth, s.Bottom);
    for (int i = 0; i < s.Panels; ++i)
        j.Top.emplace_back(s.Left + i * s.PanelWidth + s.PanelWidth / 2, s.Bottom - s.Height);
    for (int i = 0; i < s.Panels; ++i) {
        bar(t, j.Bottom[i], j.Bottom[i + 1]);
        bar(t, j.Bottom[i], j.Top[i]);
        bar(t, j.Top[i], j.Bottom[i + 1]);
        if (i + 1 < s.Panels)
            bar(t, j.Top[i], j.Top[i + 1]);
    }
    supportsAndLoads(t, s, j);
}

void BuildPratt(TPrutovaSoustava& t, const TBridgeShape& s) {
    buildVerticalTruss(t, s, true);
}

void BuildHowe(TPrutovaSoustava& t, const TBridgeShape& s) {
    buildVerticalTruss(t, s, false);
}

void BuildKingPostRoof(TPrutovaSoustava& t, int halfSpan, int rise, double load) {
    const QPoint left(40, 40 + rise), mid(40 + halfSpan, 40 + rise),
        right(40 + 2 * halfSpan, 40 + rise), ridge(40 + halfSpan, 40);
    bar(t, left, mid);
    bar(t, mid, right);
    bar(t, left, ridge);
    bar(t, ridge, right);
    bar(t, mid, ridge);
    t.AddPodpera(left.x(), left.y(), P_X | P_Y, 0);
    t.AddPodpera(right.x(), right.y(), P_Y, 0);
    t.AddSila(ridge.x(), ridge.y(), load, Down);
}

void BuildTower(TPrutovaSoustava& t, int bays, int width, double lateralLoad) {
    const int base = 40 + bays * width;
    auto left = [&](int level) { return QPoint(40, base - level * width); };
    auto right = [&](int level) { return QPoint(40 + width, base - level * width); };
    bar(t, left(0), right(0));
    for (int level = 0; level < bays; ++level) {
        bar(t, left(level), left(level + 1));
        bar(t, right(level), right(level + 1));
        bar(t, left(level + 1), right(level + 1));
        bar(t, left(level), right(level + 1));
    }
    t.AddPodpera(left(0).x(), left(0).y(), P_X | P_Y, 0);
    t.AddPodpera(right(0).x(), right(0).y(), P_Y, 0);
    t.AddSila(left(bays).x(), left(bays).y(), lateralLoad, 0);
}
