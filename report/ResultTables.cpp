// Reading the results out of an analysed truss and laying them out as tables.
#include "ResultTables.h"

#include "plsLangConsts.h"

#include <cmath>

namespace {

// The table calls zero exactly the bars that the drawing shows grey.
TForceSense senseOf(double force) {
    if (IsZeroForce(force))
        return TForceSense::Zero;
    return force > 0 ? TForceSense::Tension : TForceSense::Compression;
}

std::optional<int> jointNumberAt(const TPrutovaSoustava& t, int x, int y) {
    const int j = t.FindStycnik(x, y);
    if (j < 0)
        return std::nullopt;
    return t.Stycnik(j).Number;
}

TResultCell numberCell(const std::optional<int>& value) {
    return value ? TResultCell::Of(static_cast<double>(*value)) : TResultCell{};
}

QString lengthUnit(const TTrussResults& r) {
    return r.Units.JednotkaDelky;
}

QString forceUnit(const TTrussResults& r) {
    return r.Units.JednotkaSily;
}

} // namespace

TTrussResults ResultsOf(const TPrutovaSoustava& t, const TAnalysis& a) {
    TTrussResults r;
    r.Units = t.Units;
    r.Solved = a.Err == 0;
    r.HasDisplacements = a.Displacements.has_value();
    const double delka = t.Units.Delka;
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        TBarResult b;
        b.Index = i;
        b.Number = p.Number;
        b.JointA = jointNumberAt(t, p.Sa_X, p.Sa_Y);
        b.JointB = jointNumberAt(t, p.Sb_X, p.Sb_Y);
        b.Length =
            std::hypot(static_cast<double>(p.Sb_X) - p.Sa_X, static_cast<double>(p.Sb_Y) - p.Sa_Y) *
            delka;
        if (r.Solved) {
            b.Force = p.Sila;
            b.Sense = senseOf(p.Sila);
        }
        r.Bars.push_back(b);
    }
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        TSupportResult sr;
        sr.Index = i;
        sr.Joint = jointNumberAt(t, s.X, s.Y);
        sr.X = s.X * delka;
        sr.Y = s.Y * delka;
        sr.Fixed = s.Fixed;
        if (r.Solved && (s.Fixed & P_X))
            sr.ReactionX = s.ReactionX;
        if (r.Solved && (s.Fixed & P_Y))
            sr.ReactionY = s.ReactionY;
        r.Supports.push_back(sr);
    }
    for (int j = 0; j < t.StycnikCount(); ++j) {
        const TStycnik& s = t.Stycnik(j);
        TJointResult jr{j, s.Number, s.X * delka, s.Y * delka, std::nullopt};
        if (a.Displacements && static_cast<size_t>(j) < a.Displacements->size())
            jr.Displacement = (*a.Displacements)[static_cast<size_t>(j)];
        r.Joints.push_back(jr);
    }
    return r;
}

QString SenseText(TForceSense sense) {
    switch (sense) {
    case TForceSense::Tension:
        return str_Tah;
    case TForceSense::Compression:
        return str_Tlak;
    case TForceSense::Zero:
        return str_Nulova;
    case TForceSense::Unknown:
        break;
    }
    return {};
}

QString FixedText(TFixedSet fixed) {
    if ((fixed & P_X) && (fixed & P_Y))
        return str_VazbaXY;
    if (fixed & P_X)
        return QStringLiteral("x");
    if (fixed & P_Y)
        return QStringLiteral("y");
    return {};
}

TResultCell TResultCell::Of(const std::optional<double>& value, bool applies, bool solved) {
    if (!applies)
        return {};
    if (!solved || !value)
        return {TKind::Unknown, 0, {}};
    return Of(*value);
}

QString HeaderWithUnit(const QString& header, const QString& unit) {
    return unit.isEmpty() ? header : header + QStringLiteral(" [") + unit + u']';
}

TResultTable BarsTable(const TTrussResults& r) {
    TResultTable t{str_TabPruty,
                   {str_Prut, str_StycnikA, str_StycnikB, HeaderWithUnit(str_Delka, lengthUnit(r)),
                    HeaderWithUnit(str_Sila, forceUnit(r)), str_TahTlak},
                   {}};
    for (const TBarResult& b : r.Bars) {
        const TResultCell sense = r.Solved ? TResultCell::Of(SenseText(b.Sense))
                                           : TResultCell{TResultCell::TKind::Unknown, 0, {}};
        t.Rows.push_back({TResultCell::Of(static_cast<double>(b.Number)), numberCell(b.JointA),
                          numberCell(b.JointB), TResultCell::Of(b.Length),
                          TResultCell::Of(b.Force, true, r.Solved), sense});
    }
    return t;
}

TResultTable SupportsTable(const TTrussResults& r) {
    const QString length = lengthUnit(r), force = forceUnit(r);
    TResultTable t{str_TabPodpory,
                   {str_Stycnik, HeaderWithUnit(QStringLiteral("x"), length),
                    HeaderWithUnit(QStringLiteral("y"), length), str_Vazba,
                    HeaderWithUnit(QStringLiteral("Rx"), force),
                    HeaderWithUnit(QStringLiteral("Ry"), force)},
                   {}};
    for (const TSupportResult& s : r.Supports)
        t.Rows.push_back({numberCell(s.Joint), TResultCell::Of(s.X), TResultCell::Of(s.Y),
                          TResultCell::Of(FixedText(s.Fixed)),
                          TResultCell::Of(s.ReactionX, s.Fixed & P_X, r.Solved),
                          TResultCell::Of(s.ReactionY, s.Fixed & P_Y, r.Solved)});
    return t;
}

TResultTable JointsTable(const TTrussResults& r) {
    const QString length = lengthUnit(r);
    TResultTable t{str_TabStycniky,
                   {str_Stycnik, HeaderWithUnit(QStringLiteral("x"), length),
                    HeaderWithUnit(QStringLiteral("y"), length)},
                   {}};
    if (r.HasDisplacements)
        t.Headers << HeaderWithUnit(QStringLiteral("ux"), length)
                  << HeaderWithUnit(QStringLiteral("uy"), length);
    for (const TJointResult& j : r.Joints) {
        std::vector<TResultCell> row{TResultCell::Of(static_cast<double>(j.Number)),
                                     TResultCell::Of(j.X), TResultCell::Of(j.Y)};
        if (r.HasDisplacements) {
            const bool known = j.Displacement.has_value();
            row.push_back(TResultCell::Of(known ? std::optional(j.Displacement->Ux) : std::nullopt,
                                          true, known));
            row.push_back(TResultCell::Of(known ? std::optional(j.Displacement->Uy) : std::nullopt,
                                          true, known));
        }
        t.Rows.push_back(std::move(row));
    }
    return t;
}

std::vector<TResultTable> ResultTables(const TTrussResults& r) {
    return {BarsTable(r), SupportsTable(r), JointsTable(r)};
}
