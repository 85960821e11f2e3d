// Choosing the method, writing its results into the entities, and the report lines.
#include "Analysis.h"

#include "NumberFormat.h"
#include "UMatrix.h"
#include "plsLangConsts.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString HeadingRule = QStringLiteral(" ====================");

// Significant digits of the largest displacement in the report, as the report's fixed(d).
constexpr int DisplacementDigits = 5;
constexpr int MaxDisplacementDecimals = 15;
// What part of the truss's size the largest displacement is drawn as.
constexpr double DeformationShare = 0.1;

std::uint8_t errOf(TStiffnessStatus status) {
    switch (status) {
    case TStiffnessStatus::Solved:
        return 0;
    case TStiffnessStatus::NoJoints:
        return 1;
    case TStiffnessStatus::Singular:
        break;
    }
    return 2;
}

void distribute(TPrutovaSoustava& truss, const TStiffnessResult& r) {
    for (int i = 0; i < truss.PrutCount(); ++i)
        truss.Prut(i).Sila = r.BarForces[static_cast<size_t>(i)];
    for (int i = 0; i < truss.PodperaCount(); ++i) {
        TPodpera& s = truss.Podpera(i);
        if (s.Fixed & P_X)
            s.ReactionX = r.Reactions[static_cast<size_t>(i)].X;
        if (s.Fixed & P_Y)
            s.ReactionY = r.Reactions[static_cast<size_t>(i)].Y;
    }
}

// Decimals that give the largest displacement its significant digits; the others share them.
int displacementDecimals(const std::vector<TDisplacement>& u) {
    double largest = 0;
    for (const TDisplacement& d : u)
        largest = std::max({largest, std::abs(d.Ux), std::abs(d.Uy)});
    if (!(largest > 0) || !std::isfinite(largest))
        return 1;
    const int exponent = static_cast<int>(std::floor(std::log10(largest)));
    return std::clamp(DisplacementDigits - 1 - exponent, 0, MaxDisplacementDecimals);
}

} // namespace

TAnalysis Analyse(TPrutovaSoustava& truss, TStiffnessSolver& solver,
                  const TAnalysisOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    TAnalysis a;
    a.Units = truss.Units;
    for (int j = 0; j < truss.StycnikCount(); ++j)
        a.JointNumbers.push_back(truss.Stycnik(j).Number);
    try {
        a.JointsErr = truss.Solve();
    } catch (const ERangeError&) {
        if (options.Method == TSolveMethod::Joints)
            throw;
        a.JointsRefused = true;
        a.JointsErr = 2;
    }

    const TAnalysisModel model = AnalysisModelOf(truss);
    std::optional<TStiffnessResult> stiffness;
    auto solveStiffness = [&]() -> const TStiffnessResult& {
        if (!stiffness)
            stiffness = solver.Solve(model);
        return *stiffness;
    };
    const bool useStiffness = options.Method == TSolveMethod::Stiffness ||
                              (options.Method == TSolveMethod::Auto &&
                               truss.StaticIndeterminacy() > 0 && solveStiffness().Solved());
    if (useStiffness) {
        a.Method = TSolveMethod::Stiffness;
        a.Err = errOf(solveStiffness().Status);
        if (a.Err == 0)
            distribute(truss, *stiffness);
    } else {
        a.Method = TSolveMethod::Joints;
        a.Err = a.JointsErr;
    }
    if (a.Err == 0 && (useStiffness || options.Displacements) && solveStiffness().Solved()) {
        a.Displacements = stiffness->Displacements;
        a.RelativeResidual = stiffness->RelativeResidual;
    }
    if (a.Err == 2 && options.ExplainMechanism)
        a.Mechanism = FindMechanisms(model);
    a.CalcTime =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return a;
}

TAnalysis Analyse(TPrutovaSoustava& truss, const TAnalysisOptions& options) {
    TStiffnessSolver solver;
    return Analyse(truss, solver, options);
}

double DeformationScale(const TPrutovaSoustava& truss, const std::vector<TDisplacement>& u) {
    if (truss.StycnikCount() == 0)
        return 0;
    int left = truss.Stycnik(0).X, right = left, top = truss.Stycnik(0).Y, bottom = top;
    for (int j = 1; j < truss.StycnikCount(); ++j) {
        const TStycnik& s = truss.Stycnik(j);
        left = std::min(left, s.X);
        right = std::max(right, s.X);
        top = std::min(top, s.Y);
        bottom = std::max(bottom, s.Y);
    }
    const double size =
        std::max(static_cast<double>(right) - left, static_cast<double>(bottom) - top);
    double largest = 0;
    for (const TDisplacement& d : u)
        largest = std::max({largest, std::abs(d.Ux), std::abs(d.Uy)});
    if (!(largest > 0) || !std::isfinite(largest) || size == 0)
        return 0;
    return DeformationShare * size * truss.Units.Delka / largest;
}

QString DescribeAnalysis(const TAnalysis& a) {
    QString text;
    if (a.Method == TSolveMethod::Stiffness && a.Err == 0)
        text += CrLf + str_Metoda + QStringLiteral(": ") + MethodName(a.Method) + CrLf;
    if (!a.Displacements)
        return text;
    const std::vector<TDisplacement>& u = *a.Displacements;
    const QString unit =
        a.Units.JednotkaDelky.isEmpty() ? QString() : u' ' + CleanUnitName(a.Units.JednotkaDelky);
    const int decimals = displacementDecimals(u);
    text += CrLf + str_PosunyStycniku + QStringLiteral(": ") + QString::number(u.size()) +
            HeadingRule + CrLf;
    for (size_t j = 0; j < u.size() && j < a.JointNumbers.size(); ++j)
        text += QStringLiteral("  ") + QString::number(a.JointNumbers[j]) +
                QStringLiteral(": ux=") + FormatFixed(u[j].Ux, decimals) + unit +
                QStringLiteral(", uy=") + FormatFixed(u[j].Uy, decimals) + unit + CrLf;
    return text;
}

QString MethodName(TSolveMethod method) {
    return method == TSolveMethod::Stiffness ? str_MetodaTuhostni : str_MetodaStycnikova;
}
