// Distances from the cursor to bars, loads, supports and joints, measured on the screen.
#include "TrussHitTest.h"

#include "TrussSystem.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

double DistanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0 ? QPointF::dotProduct(p - a, ab) / length2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

double Distance(QPointF p, QPointF q) {
    return std::hypot(p.x() - q.x(), p.y() - q.y());
}

QPointF At(int x, int y) {
    return {static_cast<double>(x), static_cast<double>(y)};
}

// The support's picture on the screen: its image is centred on its point.
QRectF SupportBox(const TPodpera& s, const TToScreen& toScreen) {
    const double half = SupportImageSize / 2.0;
    return QRectF(toScreen(At(s.X, s.Y) - QPointF(half, half)),
                  toScreen(At(s.X, s.Y) + QPointF(half, half)))
        .normalized();
}

struct TCandidate {
    double Distance = std::numeric_limits<double>::infinity();
    int Rank = 0; // 0 loads, 1 supports, 2 bars: what is drawn on top comes first
    TItemRef Item{TItemKind::Bar, -1};

    bool Beats(const TCandidate& other) const {
        if (Distance != other.Distance)
            return Distance < other.Distance;
        return Rank < other.Rank;
    }
};

} // namespace

QPointF LoadTip(const TSila& load) {
    const double a = static_cast<double>(DegToRad(load.Uhel));
    return {load.X + load.Sila * std::cos(a), load.Y + load.Sila * std::sin(a)};
}

std::optional<TItemRef> PickItem(const TPrutovaSoustava& truss, QPointF cursor,
                                 const TToScreen& toScreen, double tolerance) {
    TCandidate best;
    auto offer = [&](double distance, int rank, TItemRef item) {
        const TCandidate c{distance, rank, item};
        if (distance <= tolerance && c.Beats(best))
            best = c;
    };
    for (int i = 0; i < truss.SilaCount(); ++i) {
        const TSila& f = truss.Sila(i);
        offer(DistanceToSegment(cursor, toScreen(At(f.X, f.Y)), toScreen(LoadTip(f))), 0,
              {TItemKind::Load, i});
    }
    for (int i = 0; i < truss.PodperaCount(); ++i) {
        const TPodpera& s = truss.Podpera(i);
        double d = Distance(cursor, toScreen(At(s.X, s.Y)));
        // Anywhere on its picture counts, as far as the edge of the tolerance, so that a bar
        // passing over the picture still wins where it lies under the cursor.
        if (s.Fixed != 0 && SupportBox(s, toScreen).contains(cursor))
            d = std::min(d, tolerance);
        offer(d, 1, {TItemKind::Support, i});
    }
    for (int i = 0; i < truss.PrutCount(); ++i) {
        const TPrut& p = truss.Prut(i);
        offer(DistanceToSegment(cursor, toScreen(At(p.Sa_X, p.Sa_Y)), toScreen(At(p.Sb_X, p.Sb_Y))),
              2, {TItemKind::Bar, i});
    }
    if (best.Item.Index < 0)
        return std::nullopt;
    return best.Item;
}

std::optional<QPoint> PickJoint(const TPrutovaSoustava& truss, QPointF cursor,
                                const TToScreen& toScreen, double radius) {
    std::optional<QPoint> found;
    double nearest = radius;
    for (int i = 0; i < truss.StycnikCount(); ++i) {
        const TStycnik& j = truss.Stycnik(i);
        const double d = Distance(cursor, toScreen(At(j.X, j.Y)));
        if (d <= nearest) {
            nearest = d;
            found = QPoint(j.X, j.Y);
        }
    }
    return found;
}

std::vector<TItemRef> ItemsInside(const TPrutovaSoustava& truss, const QRectF& rect,
                                  const TToScreen& toScreen) {
    const QRectF r = rect.normalized();
    auto inside = [&](int x, int y) {
        const QPointF p = toScreen(At(x, y));
        return p.x() >= r.left() && p.x() <= r.right() && p.y() >= r.top() && p.y() <= r.bottom();
    };
    std::vector<TItemRef> found;
    for (int i = 0; i < truss.PrutCount(); ++i) {
        const TPrut& p = truss.Prut(i);
        if (inside(p.Sa_X, p.Sa_Y) && inside(p.Sb_X, p.Sb_Y))
            found.push_back({TItemKind::Bar, i});
    }
    for (int i = 0; i < truss.PodperaCount(); ++i)
        if (inside(truss.Podpera(i).X, truss.Podpera(i).Y))
            found.push_back({TItemKind::Support, i});
    for (int i = 0; i < truss.SilaCount(); ++i)
        if (inside(truss.Sila(i).X, truss.Sila(i).Y))
            found.push_back({TItemKind::Load, i});
    return found;
}
