// Building the analysis model from a truss system.
#include "AnalysisModel.h"

#include "TrussSystem.h"

#include <QHash>

#include <cmath>

std::vector<bool> TAnalysisModel::FixedDofs() const {
    std::vector<bool> fixed(2 * Joints.size(), false);
    for (const TSupport& s : Supports) {
        if (s.Joint < 0)
            continue;
        if (s.Fixed & P_X)
            fixed[2 * static_cast<size_t>(s.Joint)] = true;
        if (s.Fixed & P_Y)
            fixed[2 * static_cast<size_t>(s.Joint) + 1] = true;
    }
    return fixed;
}

TAnalysisModel AnalysisModelOf(const TPrutovaSoustava& truss) {
    TAnalysisModel m;
    m.Delka = truss.Units.Delka;
    const int joints = truss.StycnikCount();
    m.Joints.reserve(static_cast<size_t>(joints));
    m.LoadX.assign(static_cast<size_t>(joints), 0);
    m.LoadY.assign(static_cast<size_t>(joints), 0);
    QHash<QPoint, int> at;
    at.reserve(joints);
    for (int j = 0; j < joints; ++j) {
        const TStycnik& s = truss.Stycnik(j);
        m.Joints.push_back({s.Number, static_cast<double>(s.X), static_cast<double>(s.Y)});
        // The last joint at a point wins, as FindStycnik searches from the last.
        at.insert(QPoint(s.X, s.Y), j);
        for (const TVektor& v : s.Vektory)
            if (v.Known) {
                const long double a = DegToRad(v.Uhel);
                m.LoadX[static_cast<size_t>(j)] += static_cast<double>(v.Sila * std::cos(a));
                m.LoadY[static_cast<size_t>(j)] += static_cast<double>(v.Sila * std::sin(a));
            }
    }
    auto jointAt = [&at](int x, int y) { return at.value(QPoint(x, y), -1); };
    m.Bars.reserve(static_cast<size_t>(truss.PrutCount()));
    for (int i = 0; i < truss.PrutCount(); ++i) {
        const TPrut& p = truss.Prut(i);
        m.Bars.push_back({jointAt(p.Sa_X, p.Sa_Y), jointAt(p.Sb_X, p.Sb_Y), p.EA});
    }
    for (int i = 0; i < truss.PodperaCount(); ++i) {
        const TPodpera& s = truss.Podpera(i);
        m.Supports.push_back({jointAt(s.X, s.Y), s.Fixed});
    }
    return m;
}
