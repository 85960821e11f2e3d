// The stiffness method: assembly of K from the bars, sparse LDLT of its free part, forces and
// reactions from the displacements.
#include "StiffnessSolver.h"

#include <Eigen/SparseCholesky>
#include <Eigen/SparseCore>

#include <array>
#include <cmath>

namespace {

using TSparse = Eigen::SparseMatrix<double>;

// A bar's unit direction from end A toward end B and its length in the length unit.
struct TBarGeometry {
    double Ex, Ey, Length;
};

TBarGeometry geometryOf(const TAnalysisModel& m, const TAnalysisModel::TBar& bar) {
    const auto& a = m.Joints[static_cast<size_t>(bar.A)];
    const auto& b = m.Joints[static_cast<size_t>(bar.B)];
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length, length * m.Delka};
}

// The displacement components of a bar's two ends: A along x and y, then B along x and y.
std::array<size_t, 4> barDofs(const TAnalysisModel::TBar& bar) {
    const auto a = 2 * static_cast<size_t>(bar.A), b = 2 * static_cast<size_t>(bar.B);
    return {a, a + 1, b, b + 1};
}

// The elongation of a bar per unit displacement of each of its four end components.
std::array<double, 4> elongationRow(const TBarGeometry& g) {
    return {-g.Ex, -g.Ey, g.Ex, g.Ey};
}

// Numbers the free displacement components 0, 1, ...; a fixed one gets -1.
std::vector<int> numberFree(const std::vector<bool>& fixed, int& count) {
    std::vector<int> index(fixed.size(), -1);
    count = 0;
    for (size_t d = 0; d < fixed.size(); ++d)
        if (!fixed[d])
            index[d] = count++;
    return index;
}

// The forces of the bars from the joints' displacements (u: two components per joint).
void barForces(const TAnalysisModel& m, const std::vector<double>& u, TStiffnessResult& r) {
    for (size_t i = 0; i < m.Bars.size(); ++i) {
        const auto& bar = m.Bars[i];
        if (!bar.Active())
            continue;
        const TBarGeometry g = geometryOf(m, bar);
        const auto dofs = barDofs(bar);
        const auto row = elongationRow(g);
        double elongation = 0;
        for (size_t c = 0; c < 4; ++c)
            elongation += row[c] * u[dofs[c]];
        r.BarForces[i] = bar.EA / g.Length * elongation;
    }
}

// Each fixed component takes what keeps its joint in equilibrium: minus the loads and minus the
// pull of the bars. The first support that fixes the component gets it.
void reactions(const TAnalysisModel& m, TStiffnessResult& r) {
    std::vector<double> pull(2 * m.Joints.size(), 0);
    for (size_t i = 0; i < m.Bars.size(); ++i) {
        const auto& bar = m.Bars[i];
        if (!bar.Active())
            continue;
        const TBarGeometry g = geometryOf(m, bar);
        const auto dofs = barDofs(bar);
        const auto row = elongationRow(g);
        // A tension pulls each end toward the other: -row is the direction away from the joint.
        for (size_t c = 0; c < 4; ++c)
            pull[dofs[c]] -= r.BarForces[i] * row[c];
    }
    std::vector<bool> taken(pull.size(), false);
    for (size_t s = 0; s < m.Supports.size(); ++s) {
        const auto& support = m.Supports[s];
        if (support.Joint < 0)
            continue;
        const size_t x = 2 * static_cast<size_t>(support.Joint), y = x + 1;
        const auto j = static_cast<size_t>(support.Joint);
        if ((support.Fixed & P_X) && !taken[x]) {
            taken[x] = true;
            r.Reactions[s].X = -(m.LoadX[j] + pull[x]);
        }
        if ((support.Fixed & P_Y) && !taken[y]) {
            taken[y] = true;
            r.Reactions[s].Y = -(m.LoadY[j] + pull[y]);
        }
    }
}

} // namespace

struct TStiffnessSolver::TWorkspace {
    Eigen::SimplicialLDLT<TSparse, Eigen::Lower> Ldlt;
    // The pattern the factorisation was analysed for.
    std::vector<int> Outer, Inner;
    bool Analysed = false;
    std::vector<Eigen::Triplet<double>> Triplets;
    TSparse K;

    // Analyses the pattern of K unless it is the one analysed last.
    void Analyse() {
        const auto* outer = K.outerIndexPtr();
        const auto* inner = K.innerIndexPtr();
        const auto n = static_cast<size_t>(K.outerSize()) + 1;
        const auto nnz = static_cast<size_t>(K.nonZeros());
        if (Analysed && Outer.size() == n && Inner.size() == nnz &&
            std::equal(Outer.begin(), Outer.end(), outer) &&
            std::equal(Inner.begin(), Inner.end(), inner))
            return;
        Ldlt.analyzePattern(K);
        Outer.assign(outer, outer + n);
        Inner.assign(inner, inner + nnz);
        Analysed = true;
    }
};

TStiffnessSolver::TStiffnessSolver() : work(std::make_unique<TWorkspace>()) {}
TStiffnessSolver::~TStiffnessSolver() = default;

TStiffnessResult TStiffnessSolver::Solve(const TAnalysisModel& m) {
    TStiffnessResult r;
    r.BarForces.assign(m.Bars.size(), 0);
    r.Reactions.assign(m.Supports.size(), {});
    for (size_t i = 0; i < m.Bars.size(); ++i)
        if (!m.Bars[i].Active())
            r.IgnoredBars.push_back(static_cast<int>(i));
    if (m.Joints.empty())
        return r;
    r.Status = TStiffnessStatus::Singular;

    int freeCount = 0;
    const std::vector<int> index = numberFree(m.FixedDofs(), freeCount);
    Eigen::VectorXd f(freeCount);
    for (size_t j = 0; j < m.Joints.size(); ++j) {
        if (index[2 * j] >= 0)
            f[index[2 * j]] = m.LoadX[j];
        if (index[2 * j + 1] >= 0)
            f[index[2 * j + 1]] = m.LoadY[j];
    }

    Eigen::VectorXd u = Eigen::VectorXd::Zero(freeCount);
    if (freeCount > 0) {
        // The lower triangle of K = sum of EA / L * row * row^T over the free components.
        auto& triplets = work->Triplets;
        triplets.clear();
        Eigen::VectorXd diagonal = Eigen::VectorXd::Zero(freeCount);
        for (const auto& bar : m.Bars) {
            if (!bar.Active())
                continue;
            const TBarGeometry g = geometryOf(m, bar);
            const double k = bar.EA / g.Length;
            const auto dofs = barDofs(bar);
            const auto row = elongationRow(g);
            for (size_t p = 0; p < 4; ++p) {
                const int fp = index[dofs[p]];
                if (fp < 0)
                    continue;
                diagonal[fp] += k * row[p] * row[p];
                for (size_t q = 0; q < 4; ++q) {
                    const int fq = index[dofs[q]];
                    if (fq >= 0 && fq <= fp)
                        triplets.emplace_back(fp, fq, k * row[p] * row[q]);
                }
            }
        }
        TSparse& K = work->K;
        K.resize(freeCount, freeCount);
        K.setFromTriplets(triplets.begin(), triplets.end());
        work->Analyse();
        auto& ldlt = work->Ldlt;
        ldlt.factorize(K);
        if (ldlt.info() != Eigen::Success)
            return r;
        // Compare each pivot with the diagonal entry it started from (same permutation).
        const Eigen::VectorXd start = ldlt.permutationP() * diagonal;
        const Eigen::VectorXd& d = ldlt.vectorD();
        for (Eigen::Index i = 0; i < freeCount; ++i)
            if (!(d[i] > StiffnessPivotTolerance * start[i]))
                return r;
        u = ldlt.solve(f);
        // One step of refinement recovers digits lost to a wide spread of stiffnesses.
        const auto Ksym = K.selfadjointView<Eigen::Lower>();
        u += ldlt.solve(f - Ksym * u);
        const double load = f.norm();
        const double residual = (f - Ksym * u).norm();
        r.RelativeResidual = load > 0 ? residual / load : residual;
        if (!std::isfinite(r.RelativeResidual) || r.RelativeResidual > StiffnessResidualTolerance)
            return r;
    }

    std::vector<double> all(2 * m.Joints.size(), 0);
    for (size_t d = 0; d < all.size(); ++d)
        if (index[d] >= 0)
            all[d] = u[index[d]];
    r.Displacements.resize(m.Joints.size());
    for (size_t j = 0; j < m.Joints.size(); ++j)
        r.Displacements[j] = {all[2 * j], all[2 * j + 1]};
    barForces(m, all, r);
    reactions(m, r);
    r.Status = TStiffnessStatus::Solved;
    return r;
}

TStiffnessResult SolveStiffness(const TAnalysisModel& model) {
    TStiffnessSolver solver;
    return solver.Solve(model);
}

TStiffnessResult SolveStiffness(const TPrutovaSoustava& truss) {
    return SolveStiffness(AnalysisModelOf(truss));
}
