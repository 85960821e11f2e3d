// Mechanisms: the null space of the compatibility matrix, rigid-body motions allowed by the
// supports, the choice of the first mode and its kind.
#include "Mechanisms.h"

#include <Eigen/Dense>
#include <Eigen/OrderingMethods>
#include <Eigen/SparseQR>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>
#include <set>

namespace {

using TSparse = Eigen::SparseMatrix<double>;

// A kernel vector of the sparse factorisation is accepted when the stretch it causes is at most
// this many times what a column dropped at the rank threshold may leave.
constexpr double KernelCheckMargin = 10;

// A bar's unit direction from end A toward end B and its length, in drawing units.
struct TDirection {
    double Ex, Ey, Length;
};

TDirection directionOf(const TAnalysisModel& m, const TAnalysisModel::TBar& bar) {
    const auto& a = m.Joints[static_cast<size_t>(bar.A)];
    const auto& b = m.Joints[static_cast<size_t>(bar.B)];
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length, length};
}

// The elongation of each bar per unit displacement of each free component a bar touches. Free
// components that no bar touches ("loose") are modes by themselves and stay out of the matrix,
// as do bars whose ends are both held.
struct TCompatibility {
    TSparse Matrix;
    std::vector<int> RowBar;       // the bar of each row
    std::vector<size_t> ColumnDof; // the displacement component of each column
    std::vector<size_t> LooseDofs;
    size_t DofCount = 0;
};

// The joints in reverse Cuthill-McKee order over the bars: each component from a joint of least
// degree, breadth first, neighbours by rising degree, the whole list reversed. Joints joined by a
// bar then lie close in the list, so the compatibility matrix is banded however the truss was
// drawn, and its QR factors stay as thin as the band.
std::vector<size_t> bandOrder(const TAnalysisModel& m) {
    const size_t n = m.Joints.size();
    std::vector<std::vector<size_t>> next(n);
    for (const auto& bar : m.Bars)
        if (bar.Active()) {
            next[static_cast<size_t>(bar.A)].push_back(static_cast<size_t>(bar.B));
            next[static_cast<size_t>(bar.B)].push_back(static_cast<size_t>(bar.A));
        }
    for (auto& list : next)
        std::sort(list.begin(), list.end(), [&next](size_t a, size_t b) {
            return std::pair(next[a].size(), a) < std::pair(next[b].size(), b);
        });
    std::vector<size_t> byDegree(n);
    for (size_t j = 0; j < n; ++j)
        byDegree[j] = j;
    std::stable_sort(byDegree.begin(), byDegree.end(),
                     [&next](size_t a, size_t b) { return next[a].size() < next[b].size(); });
    std::vector<size_t> order;
    order.reserve(n);
    std::vector<bool> seen(n, false);
    for (const size_t start : byDegree) {
        if (seen[start])
            continue;
        seen[start] = true;
        size_t tail = order.size();
        order.push_back(start);
        for (; tail < order.size(); ++tail)
            for (const size_t j : next[order[tail]])
                if (!seen[j]) {
                    seen[j] = true;
                    order.push_back(j);
                }
    }
    std::reverse(order.begin(), order.end());
    return order;
}

TCompatibility compatibility(const TAnalysisModel& m) {
    TCompatibility c;
    const std::vector<bool> fixed = m.FixedDofs();
    c.DofCount = fixed.size();
    std::vector<bool> touched(fixed.size(), false);
    for (const auto& bar : m.Bars)
        if (bar.Active())
            for (const int j : {bar.A, bar.B})
                for (size_t d = 0; d < 2; ++d)
                    touched[2 * static_cast<size_t>(j) + d] = true;
    std::vector<int> column(fixed.size(), -1);
    for (const size_t j : bandOrder(m))
        for (size_t d = 2 * j; d < 2 * j + 2; ++d) {
            if (fixed[d])
                continue;
            if (touched[d]) {
                column[d] = static_cast<int>(c.ColumnDof.size());
                c.ColumnDof.push_back(d);
            } else {
                c.LooseDofs.push_back(d);
            }
        }
    std::sort(c.LooseDofs.begin(), c.LooseDofs.end());
    // Rows by their first column, so that the band shows in the rows too.
    struct TRow {
        int First, Bar;
    };
    std::vector<TRow> rows;
    for (size_t i = 0; i < m.Bars.size(); ++i) {
        const auto& bar = m.Bars[i];
        if (!bar.Active())
            continue;
        int first = INT_MAX;
        for (const int j : {bar.A, bar.B})
            for (size_t d = 0; d < 2; ++d)
                if (const int col = column[2 * static_cast<size_t>(j) + d]; col >= 0)
                    first = std::min(first, col);
        if (first != INT_MAX)
            rows.push_back({first, static_cast<int>(i)});
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TRow& a, const TRow& b) { return a.First < b.First; });
    std::vector<Eigen::Triplet<double>> entries;
    for (const TRow& row : rows) {
        const auto& bar = m.Bars[static_cast<size_t>(row.Bar)];
        const TDirection e = directionOf(m, bar);
        const auto a = 2 * static_cast<size_t>(bar.A), b = 2 * static_cast<size_t>(bar.B);
        const std::pair<size_t, double> parts[] = {
            {a, -e.Ex}, {a + 1, -e.Ey}, {b, e.Ex}, {b + 1, e.Ey}};
        for (const auto& [dof, value] : parts)
            if (column[dof] >= 0)
                entries.emplace_back(static_cast<int>(c.RowBar.size()), column[dof], value);
        c.RowBar.push_back(row.Bar);
    }
    c.Matrix.resize(static_cast<Eigen::Index>(c.RowBar.size()),
                    static_cast<Eigen::Index>(c.ColumnDof.size()));
    c.Matrix.setFromTriplets(entries.begin(), entries.end());
    return c;
}

// The null space of the compatibility matrix and whether a vector lies in its range. A sparse
// QR that moves dependent columns to the end does the work; should its answer fail the check
// (a kernel vector the bars do stretch), a dense LU with full pivoting, slower but sure, takes
// over.
class TNullSpace {
public:
    explicit TNullSpace(const TSparse& c) : C(c) {
        if (C.cols() == 0)
            return;
        if (C.rows() == 0) {
            kernel = Eigen::MatrixXd::Identity(C.cols(), C.cols());
            return;
        }
        if (!sparseKernel())
            denseKernel();
    }

    // Columns: a basis of the null space, over the matrix's columns.
    const Eigen::MatrixXd& Basis() const { return kernel; }

    // Whether C w = q has a solution, to InfinitesimalTolerance relative to |q|.
    bool InRange(const Eigen::VectorXd& q) const {
        if (C.cols() == 0 || C.rows() == 0)
            return q.norm() == 0;
        const Eigen::VectorXd w =
            dense ? Eigen::VectorXd(dense->solve(q)) : Eigen::VectorXd(sparse.solve(q));
        return (C * w - q).norm() <= InfinitesimalTolerance * q.norm();
    }

private:
    const TSparse& C;
    // The columns come in band order already (bandOrder), which suits QR better than a
    // fill-reducing ordering of the columns alone: that leaves the rows and so the Householder
    // vectors scattered.
    Eigen::SparseQR<TSparse, Eigen::NaturalOrdering<int>> sparse;
    std::optional<Eigen::FullPivLU<Eigen::MatrixXd>> dense;
    Eigen::MatrixXd kernel;
    double threshold = 0;

    double largestColumnNorm() const {
        double largest = 0;
        for (Eigen::Index j = 0; j < C.cols(); ++j)
            largest = std::max(largest, C.col(j).norm());
        return largest > 0 ? largest : 1;
    }

    // A P = Q R with R = [R11 R12; 0 0]: each column t of R12 gives the kernel vector
    // P [-R11^-1 R12(:, t); e_t].
    bool sparseKernel() {
        threshold = MechanismRankTolerance * largestColumnNorm();
        sparse.setPivotThreshold(threshold);
        sparse.compute(C);
        if (sparse.info() != Eigen::Success)
            return false;
        const Eigen::Index n = C.cols(), rank = sparse.rank();
        const TSparse& r = sparse.matrixR();
        const TSparse r11 = r.topLeftCorner(rank, rank);
        const Eigen::MatrixXd r12 = Eigen::MatrixXd(r.block(0, rank, rank, n - rank));
        kernel.resize(n, n - rank);
        for (Eigen::Index t = 0; t < n - rank; ++t) {
            Eigen::VectorXd w = Eigen::VectorXd::Zero(n);
            if (rank > 0)
                w.head(rank) = r11.triangularView<Eigen::Upper>().solve(-r12.col(t));
            w[rank + t] = 1;
            kernel.col(t) = sparse.colsPermutation() * w;
        }
        return holds();
    }

    void denseKernel() {
        dense.emplace(Eigen::MatrixXd(C));
        dense->setThreshold(MechanismRankTolerance);
        kernel = dense->dimensionOfKernel() > 0 ? Eigen::MatrixXd(dense->kernel())
                                                : Eigen::MatrixXd(C.cols(), 0);
    }

    // Every basis vector stretches no bar, and there are at least as many as the matrix has
    // more columns than rows.
    bool holds() const {
        if (kernel.cols() < C.cols() - C.rows())
            return false;
        for (Eigen::Index t = 0; t < kernel.cols(); ++t) {
            const Eigen::VectorXd z = kernel.col(t);
            if (!((C * z).norm() <= KernelCheckMargin * threshold * z.norm()))
                return false;
        }
        return true;
    }
};

// The motions of the whole truss as a rigid body that the supports allow. A turn about (cx, cy)
// moves a joint at (x, y) by (-(y - cy), x - cx): a joint fixed in x must lie at height cy and a
// joint fixed in y at cx. So the truss can turn only when all joints fixed in x lie on one
// horizontal line and all joints fixed in y on one vertical line, about the point where the two
// lines meet; and it can slide along x only when nothing fixes x, along y likewise. Joint
// coordinates are whole numbers, so these comparisons are exact.
struct TRigid {
    bool AlongX = false, AlongY = false, Rotation = false;
    double CentreX = 0, CentreY = 0;
    int Count() const { return int{AlongX} + int{AlongY} + int{Rotation}; }
};

TRigid rigidMotions(const TAnalysisModel& m) {
    TRigid r;
    const std::vector<bool> fixed = m.FixedDofs();
    std::set<double> heightsFixedInX, placesFixedInY;
    for (size_t j = 0; j < m.Joints.size(); ++j) {
        if (fixed[2 * j])
            heightsFixedInX.insert(m.Joints[j].Y);
        if (fixed[2 * j + 1])
            placesFixedInY.insert(m.Joints[j].X);
    }
    r.AlongX = heightsFixedInX.empty();
    r.AlongY = placesFixedInY.empty();
    // With one joint a rotation moves nothing.
    r.Rotation = m.Joints.size() > 1 && heightsFixedInX.size() <= 1 && placesFixedInY.size() <= 1;
    if (!heightsFixedInX.empty())
        r.CentreY = *heightsFixedInX.begin();
    if (!placesFixedInY.empty())
        r.CentreX = *placesFixedInY.begin();
    return r;
}

// A mode over all displacement components, scaled so that its largest component is +1.
std::vector<double> normalised(std::vector<double> u) {
    size_t largest = 0;
    for (size_t d = 1; d < u.size(); ++d)
        if (std::abs(u[d]) > std::abs(u[largest]))
            largest = d;
    if (u.empty() || u[largest] == 0)
        return u;
    const double scale = 1 / u[largest];
    for (double& v : u)
        v *= scale;
    return u;
}

std::vector<int> movingJoints(const TAnalysisModel& m, const std::vector<double>& u) {
    std::vector<int> numbers;
    for (size_t j = 0; j < m.Joints.size(); ++j)
        if (std::max(std::abs(u[2 * j]), std::abs(u[2 * j + 1])) > MovingJointTolerance)
            numbers.push_back(m.Joints[j].Number);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::vector<double> rigidMode(const TAnalysisModel& m, const TRigid& r) {
    std::vector<double> u(2 * m.Joints.size(), 0);
    for (size_t j = 0; j < m.Joints.size(); ++j) {
        if (r.AlongX)
            u[2 * j] = 1;
        else if (r.AlongY)
            u[2 * j + 1] = 1;
        else {
            u[2 * j] = -(m.Joints[j].Y - r.CentreY);
            u[2 * j + 1] = m.Joints[j].X - r.CentreX;
        }
    }
    return normalised(std::move(u));
}

// The kernel as modes over all displacement components: the matrix's basis, then one mode per
// loose component.
std::vector<std::vector<double>> modesOf(const TCompatibility& c, const TNullSpace& space) {
    std::vector<std::vector<double>> modes;
    const Eigen::MatrixXd& basis = space.Basis();
    for (Eigen::Index t = 0; t < basis.cols(); ++t) {
        std::vector<double> u(c.DofCount, 0);
        for (size_t k = 0; k < c.ColumnDof.size(); ++k)
            u[c.ColumnDof[k]] = basis(static_cast<Eigen::Index>(k), t);
        modes.push_back(normalised(std::move(u)));
    }
    for (const size_t d : c.LooseDofs) {
        std::vector<double> u(c.DofCount, 0);
        u[d] = 1;
        modes.push_back(std::move(u));
    }
    return modes;
}

// The mode that moves the fewest joints; of equal ones, the one listed first.
size_t simplestMode(const TAnalysisModel& m, const std::vector<std::vector<double>>& modes) {
    size_t best = 0, bestCount = SIZE_MAX;
    for (size_t i = 0; i < modes.size(); ++i) {
        const size_t count = movingJoints(m, modes[i]).size();
        if (count < bestCount) {
            best = i;
            bestCount = count;
        }
    }
    return best;
}

// Whether the second-order stretch of the mode, |perpendicular relative motion|^2 / L per bar,
// can be taken up by some displacement; if not, the mode is infinitesimal.
bool isInfinitesimal(const TAnalysisModel& m, const TCompatibility& c, const TNullSpace& space,
                     const std::vector<double>& u) {
    Eigen::VectorXd q(static_cast<Eigen::Index>(c.RowBar.size()));
    for (size_t row = 0; row < c.RowBar.size(); ++row) {
        const auto& bar = m.Bars[static_cast<size_t>(c.RowBar[row])];
        const TDirection e = directionOf(m, bar);
        const auto a = 2 * static_cast<size_t>(bar.A), b = 2 * static_cast<size_t>(bar.B);
        const double dx = u[b] - u[a], dy = u[b + 1] - u[a + 1];
        const double along = dx * e.Ex + dy * e.Ey;
        const double px = dx - along * e.Ex, py = dy - along * e.Ey;
        q[static_cast<Eigen::Index>(row)] = (px * px + py * py) / e.Length;
    }
    return q.norm() > 0 && !space.InRange(q);
}

} // namespace

TMechanism FindMechanisms(const TAnalysisModel& m) {
    TMechanism result;
    if (m.Joints.empty())
        return result;
    const TCompatibility c = compatibility(m);
    const TNullSpace space(c.Matrix);
    const std::vector<std::vector<double>> modes = modesOf(c, space);
    const TRigid rigid = rigidMotions(m);
    result.RigidModes = rigid.Count();
    result.Modes = std::max(static_cast<int>(modes.size()), result.RigidModes);
    if (result.Modes == 0)
        return result;

    std::vector<double> first;
    if (result.RigidModes > 0) {
        first = rigidMode(m, rigid);
        result.AlongX = rigid.AlongX;
        result.AlongY = rigid.AlongY;
        if (rigid.AlongX || rigid.AlongY) {
            result.Kind = TMechanismKind::Translation;
        } else {
            result.Kind = TMechanismKind::Rotation;
            result.CentreX = rigid.CentreX;
            result.CentreY = rigid.CentreY;
        }
    } else {
        first = modes[simplestMode(m, modes)];
        result.Kind = isInfinitesimal(m, c, space, first) ? TMechanismKind::Infinitesimal
                                                          : TMechanismKind::Internal;
    }
    result.MovingJoints = movingJoints(m, first);
    result.FirstMode.resize(m.Joints.size());
    for (size_t j = 0; j < m.Joints.size(); ++j)
        result.FirstMode[j] = {first[2 * j], first[2 * j + 1]};
    return result;
}

TMechanism FindMechanisms(const TPrutovaSoustava& truss) {
    return FindMechanisms(AnalysisModelOf(truss));
}
