// The order of joints, their equations and solutions, reactions from the whole truss, and blocks.
#include "JointSteps.h"

#include "Mechanisms.h"

#include <Eigen/Dense>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

using Real = long double;
using RealMatrix = Eigen::Matrix<Real, Eigen::Dynamic, Eigen::Dynamic>;
using RealVector = Eigen::Matrix<Real, Eigen::Dynamic, 1>;

// A direction cosine this small is the rounding of cos 90 degrees: the force has no component
// along that axis, and the equations show no term for it.
constexpr Real CosineResidue = 1e-15;

// Two unknown directions at a joint count as one line when the sine of the angle between them is
// at most this, and a set of equations as dependent by the same measure: the line the
// mechanism search draws, so that what it calls a mechanism is never solved here.
constexpr double DirectionTolerance = MechanismRankTolerance;

// A check holds when what it leaves is at most this fraction of the largest force (times the
// truss's size for a moment equation).
constexpr double BalanceTolerance = 1e-6;

// At most this many joint sets of one size are tried in the block search; a truss that needs
// more falls back to solving all its remaining joints together.
constexpr size_t MaxBlockCandidates = 20000;

Real snapped(Real c) {
    return std::abs(c) < CosineResidue ? 0 : c;
}

// An unknown force acting on a joint, along its vector's angle.
struct TJointUnknown {
    int Unknown = -1;
    double Angle = 0;
    Real Cos = 0, Sin = 0;
};

struct TJointLoad {
    double Angle = 0;
    double Magnitude = 0;
    Real Cos = 0, Sin = 0;
};

struct TJointData {
    std::vector<TJointUnknown> Unknowns;
    std::vector<TJointLoad> Loads;
};

int rankOf(const RealMatrix& a) {
    if (a.cols() == 0 || a.rows() == 0)
        return 0;
    Eigen::ColPivHouseholderQR<RealMatrix> qr(a);
    qr.setThreshold(DirectionTolerance);
    return static_cast<int>(qr.rank());
}

class TStepSolver {
public:
    TStepSolver(const TPrutovaSoustava& truss, TJointSteps& out) : t(truss), r(out) {}

    void Run() {
        collect();
        r.EquationCount = 2 * static_cast<int>(joints.size());
        findRank();
        solved.assign(joints.size(), false);
        while (step()) {
        }
        finish();
    }

private:
    const TPrutovaSoustava& t;
    TJointSteps& r;
    std::vector<TJointData> joints;
    std::vector<Real> values;
    std::vector<bool> known;
    std::vector<bool> solved;

    // Unknowns from the bars and supports, forces on joints from the joints' vectors.
    void collect() {
        QHash<int, int> byNumber;
        auto add = [&](TStepUnknown::TKind kind, int number, int index) -> TStepUnknown& {
            byNumber.insert(number, static_cast<int>(r.Unknowns.size()));
            TStepUnknown& u = r.Unknowns.emplace_back();
            u.Kind = kind;
            u.Number = number;
            u.Index = index;
            return u;
        };
        for (int i = 0; i < t.PrutCount(); ++i)
            add(TStepUnknown::TKind::Bar, t.Prut(i).Number, i).Name =
                QStringLiteral("S%1").arg(t.Prut(i).Number);
        for (int i = 0; i < t.PodperaCount(); ++i) {
            const TPodpera& s = t.Podpera(i);
            if (s.Fixed & P_X)
                add(TStepUnknown::TKind::ReactionX, s.ReactionXNumber, i);
            if (s.Fixed & P_Y)
                add(TStepUnknown::TKind::ReactionY, s.ReactionYNumber, i);
        }
        joints.resize(static_cast<size_t>(t.StycnikCount()));
        for (int j = 0; j < t.StycnikCount(); ++j) {
            const TStycnik& s = t.Stycnik(j);
            r.Joints.push_back({s.Number, s.X, s.Y});
            for (const TVektor& v : s.Vektory) {
                const Real a = DegToRad(v.Uhel);
                const Real c = snapped(std::cos(a)), sn = snapped(std::sin(a));
                if (v.Known) {
                    joints[static_cast<size_t>(j)].Loads.push_back({v.Uhel, v.Sila, c, sn});
                    r.ForceScale = std::max(r.ForceScale, std::abs(v.Sila));
                    continue;
                }
                const int u = byNumber.value(v.Number, -1);
                if (u < 0)
                    continue;
                joints[static_cast<size_t>(j)].Unknowns.push_back({u, v.Uhel, c, sn});
                noteJoint(r.Unknowns[static_cast<size_t>(u)], j);
            }
        }
        nameReactions();
        values.assign(r.Unknowns.size(), 0);
        known.assign(r.Unknowns.size(), false);
    }

    // A reaction acts on one joint, a bar on the two at its ends.
    static void noteJoint(TStepUnknown& u, int j) {
        (u.Kind == TStepUnknown::TKind::Bar && u.Joint >= 0 ? u.JointB : u.Joint) = j;
    }

    // "Rx" or "Ry" and the joint's number; a second support of the same direction at one joint
    // adds its own number after a slash so that no two unknowns share a name.
    void nameReactions() {
        QHash<QString, int> used;
        for (TStepUnknown& u : r.Unknowns) {
            if (u.Kind == TStepUnknown::TKind::Bar)
                continue;
            const QString axis = u.Kind == TStepUnknown::TKind::ReactionX ? QStringLiteral("Rx")
                                                                          : QStringLiteral("Ry");
            const QString joint =
                u.Joint >= 0 ? QString::number(r.Joints[static_cast<size_t>(u.Joint)].Number)
                             : QStringLiteral("?");
            u.Name = axis + joint;
            if (used[u.Name]++ > 0)
                u.Name += u'/' + QString::number(u.Index + 1);
        }
    }

    void findRank() {
        RealMatrix a =
            RealMatrix::Zero(r.EquationCount, static_cast<Eigen::Index>(r.Unknowns.size()));
        for (size_t j = 0; j < joints.size(); ++j)
            for (const TJointUnknown& v : joints[j].Unknowns) {
                a(2 * static_cast<Eigen::Index>(j), v.Unknown) = v.Cos;
                a(2 * static_cast<Eigen::Index>(j) + 1, v.Unknown) = v.Sin;
            }
        r.Rank = rankOf(a);
        const int unknowns = static_cast<int>(r.Unknowns.size());
        if (r.Rank < r.EquationCount)
            r.Determinacy = TDeterminacy::Mechanism;
        else if (r.Rank < unknowns)
            r.Determinacy = TDeterminacy::Indeterminate;
        else
            r.Determinacy = TDeterminacy::Determinate;
    }

    std::vector<int> openAt(size_t j) const {
        std::vector<int> open;
        for (const TJointUnknown& v : joints[j].Unknowns)
            if (!known[static_cast<size_t>(v.Unknown)] &&
                std::find(open.begin(), open.end(), v.Unknown) == open.end())
                open.push_back(v.Unknown);
        return open;
    }

    const TJointUnknown& vectorOf(size_t j, int unknown) const {
        for (const TJointUnknown& v : joints[j].Unknowns)
            if (v.Unknown == unknown)
                return v;
        return joints[j].Unknowns.front();
    }

    // A joint whose open unknowns its two equations determine.
    bool solvable(size_t j, const std::vector<int>& open) const {
        if (open.size() > 2)
            return false;
        if (open.size() < 2)
            return true;
        const TJointUnknown& a = vectorOf(j, open[0]);
        const TJointUnknown& b = vectorOf(j, open[1]);
        return std::abs(a.Cos * b.Sin - b.Cos * a.Sin) > DirectionTolerance;
    }

    bool step() {
        int best = -1;
        size_t bestOpen = 3;
        for (size_t j = 0; j < joints.size(); ++j) {
            if (solved[j])
                continue;
            const std::vector<int> open = openAt(j);
            if (!solvable(j, open))
                continue;
            if (open.size() < bestOpen ||
                (open.size() == bestOpen &&
                 r.Joints[j].Number < r.Joints[static_cast<size_t>(best)].Number)) {
                best = static_cast<int>(j);
                bestOpen = open.size();
            }
        }
        if (best >= 0) {
            jointStep(static_cast<size_t>(best));
            return true;
        }
        if (std::find(solved.begin(), solved.end(), false) == solved.end())
            return false;
        return reactionsStep() || blockStep();
    }

    // The equations of joint j: x, then y, each term with what is known before the step.
    std::vector<TStepEquation> jointEquations(size_t j) const {
        TStepEquation x{TStepEquation::TKind::SumX, static_cast<int>(j), {}, false, 0};
        TStepEquation y{TStepEquation::TKind::SumY, static_cast<int>(j), {}, false, 0};
        for (const TJointUnknown& v : joints[j].Unknowns) {
            const bool k = known[static_cast<size_t>(v.Unknown)];
            const double value =
                k ? static_cast<double>(values[static_cast<size_t>(v.Unknown)]) : 0;
            x.Terms.push_back({v.Unknown, static_cast<double>(v.Cos), value, k});
            y.Terms.push_back({v.Unknown, static_cast<double>(v.Sin), value, k});
        }
        for (const TJointLoad& l : joints[j].Loads) {
            x.Terms.push_back({-1, static_cast<double>(l.Cos), l.Magnitude, true});
            y.Terms.push_back({-1, static_cast<double>(l.Sin), l.Magnitude, true});
        }
        return {x, y};
    }

    std::vector<TStepForce> forcesAt(size_t j) const {
        std::vector<TStepForce> forces;
        for (const TJointUnknown& v : joints[j].Unknowns) {
            const bool k = known[static_cast<size_t>(v.Unknown)];
            forces.push_back({static_cast<int>(j), v.Unknown, v.Angle,
                              k ? static_cast<double>(values[static_cast<size_t>(v.Unknown)]) : 0,
                              k});
        }
        for (const TJointLoad& l : joints[j].Loads)
            forces.push_back({static_cast<int>(j), -1, l.Angle, l.Magnitude, true});
        return forces;
    }

    // The known part of joint j's x and y sums.
    std::pair<Real, Real> knownSums(size_t j) const {
        Real x = 0, y = 0;
        for (const TJointUnknown& v : joints[j].Unknowns)
            if (known[static_cast<size_t>(v.Unknown)]) {
                x += v.Cos * values[static_cast<size_t>(v.Unknown)];
                y += v.Sin * values[static_cast<size_t>(v.Unknown)];
            }
        for (const TJointLoad& l : joints[j].Loads) {
            x += l.Cos * l.Magnitude;
            y += l.Sin * l.Magnitude;
        }
        return {x, y};
    }

    void setValue(int u, Real value, TJointStep& s) {
        values[static_cast<size_t>(u)] = value;
        known[static_cast<size_t>(u)] = true;
        r.Unknowns[static_cast<size_t>(u)].Value = static_cast<double>(value);
        r.Unknowns[static_cast<size_t>(u)].Step = static_cast<int>(r.Steps.size());
        s.Found.push_back(u);
    }

    void jointStep(size_t j) {
        TJointStep s;
        s.Kind = TJointStep::TKind::Joint;
        s.Joints = {static_cast<int>(j)};
        s.Forces = forcesAt(j);
        s.Equations = jointEquations(j);
        const std::vector<int> open = openAt(j);
        const auto [kx, ky] = knownSums(j);
        if (open.size() == 2) {
            const TJointUnknown& a = vectorOf(j, open[0]);
            const TJointUnknown& b = vectorOf(j, open[1]);
            const Real det = a.Cos * b.Sin - b.Cos * a.Sin;
            setValue(open[0], (-kx * b.Sin + ky * b.Cos) / det, s);
            setValue(open[1], (-a.Cos * ky + a.Sin * kx) / det, s);
        } else if (open.size() == 1) {
            const TJointUnknown& a = vectorOf(j, open[0]);
            const bool alongX = std::abs(a.Cos) >= std::abs(a.Sin);
            setValue(open[0], alongX ? -kx / a.Cos : -ky / a.Sin, s);
            s.Equations[alongX ? 1 : 0].Check = true;
        } else {
            s.Equations[0].Check = s.Equations[1].Check = true;
        }
        solved[j] = true;
        r.Steps.push_back(std::move(s));
    }

    // The joint about whose point the moments are taken: that of the support with the most
    // unknown reactions, the lowest joint Number among equals.
    int momentJoint(const std::vector<int>& reactions) const {
        QHash<int, int> count;
        for (const int u : reactions)
            ++count[r.Unknowns[static_cast<size_t>(u)].Joint];
        int best = -1;
        for (auto it = count.cbegin(); it != count.cend(); ++it) {
            if (best < 0 || it.value() > count.value(best) ||
                (it.value() == count.value(best) && r.Joints[static_cast<size_t>(it.key())].Number <
                                                        r.Joints[static_cast<size_t>(best)].Number))
                best = it.key();
        }
        return best;
    }

    // The three equations of the whole truss: sum of x, sum of y and moments about joint p, with
    // arms in the length unit. Only reactions and loads take part; the bar forces cancel.
    std::vector<TStepEquation> wholeTrussEquations(int p) const {
        const double delka = t.Units.Delka;
        const TStepJoint& pj = r.Joints[static_cast<size_t>(p)];
        TStepEquation x{TStepEquation::TKind::SumX, -1, {}, false, 0};
        TStepEquation y{TStepEquation::TKind::SumY, -1, {}, false, 0};
        TStepEquation m{TStepEquation::TKind::Moment, p, {}, false, 0};
        for (size_t j = 0; j < joints.size(); ++j) {
            const double dx = (static_cast<double>(r.Joints[j].X) - pj.X) * delka;
            const double dy = (static_cast<double>(r.Joints[j].Y) - pj.Y) * delka;
            for (const TJointUnknown& v : joints[j].Unknowns) {
                const TStepUnknown& u = r.Unknowns[static_cast<size_t>(v.Unknown)];
                if (u.Kind == TStepUnknown::TKind::Bar)
                    continue;
                const bool k = known[static_cast<size_t>(v.Unknown)];
                const double value =
                    k ? static_cast<double>(values[static_cast<size_t>(v.Unknown)]) : 0;
                const bool alongX = u.Kind == TStepUnknown::TKind::ReactionX;
                (alongX ? x : y).Terms.push_back({v.Unknown, 1, value, k});
                m.Terms.push_back({v.Unknown, alongX ? -dy : dx, value, k});
            }
            for (const TJointLoad& l : joints[j].Loads) {
                x.Terms.push_back({-1, static_cast<double>(l.Cos), l.Magnitude, true});
                y.Terms.push_back({-1, static_cast<double>(l.Sin), l.Magnitude, true});
                m.Terms.push_back(
                    {-1, static_cast<double>(dx * l.Sin - dy * l.Cos), l.Magnitude, true});
            }
        }
        return {x, y, m};
    }

    // Solves the equations for the unknowns given (least squares when there are more equations,
    // which then check the answer); false when they do not determine them. Rows are weighed
    // by rowScale so that the rank test compares like with like.
    bool solveTogether(const std::vector<TStepEquation>& equations, const std::vector<int>& open,
                       const std::vector<Real>& rowScale, TJointStep& s) {
        const auto rows = static_cast<Eigen::Index>(equations.size());
        const auto cols = static_cast<Eigen::Index>(open.size());
        if (cols == 0 || cols > rows)
            return false;
        RealMatrix a = RealMatrix::Zero(rows, cols);
        RealVector b = RealVector::Zero(rows);
        for (Eigen::Index i = 0; i < rows; ++i) {
            for (const TStepTerm& term : equations[static_cast<size_t>(i)].Terms) {
                if (term.Known) {
                    b(i) -= static_cast<Real>(term.Coefficient) * term.Value /
                            rowScale[static_cast<size_t>(i)];
                    continue;
                }
                const auto c = std::find(open.begin(), open.end(), term.Unknown) - open.begin();
                if (c < cols)
                    a(i, c) +=
                        static_cast<Real>(term.Coefficient) / rowScale[static_cast<size_t>(i)];
            }
        }
        Eigen::ColPivHouseholderQR<RealMatrix> qr(a);
        qr.setThreshold(DirectionTolerance);
        if (qr.rank() < cols)
            return false;
        const RealVector x = qr.solve(b);
        for (Eigen::Index c = 0; c < cols; ++c)
            setValue(open[static_cast<size_t>(c)], x(c), s);
        return true;
    }

    bool reactionsStep() {
        std::vector<int> open;
        for (size_t u = 0; u < r.Unknowns.size(); ++u)
            if (r.Unknowns[u].Kind != TStepUnknown::TKind::Bar && r.Unknowns[u].Joint >= 0 &&
                !known[u])
                open.push_back(static_cast<int>(u));
        if (open.empty() || open.size() > 3)
            return false;
        const int p = momentJoint(open);
        TJointStep s;
        s.Kind = TJointStep::TKind::Reactions;
        s.Joints = {p};
        s.Equations = wholeTrussEquations(p);
        for (size_t j = 0; j < joints.size(); ++j)
            for (const TStepForce& f : forcesAt(j))
                if (f.Unknown < 0 ||
                    r.Unknowns[static_cast<size_t>(f.Unknown)].Kind != TStepUnknown::TKind::Bar)
                    s.Forces.push_back(f);
        const Real size = std::max<Real>(trussSize() * t.Units.Delka, 1e-300L);
        if (!solveTogether(s.Equations, open, {1, 1, size}, s))
            return false;
        r.Steps.push_back(std::move(s));
        return true;
    }

    double trussSize() const {
        if (r.Joints.empty())
            return 0;
        int left = r.Joints[0].X, right = left, top = r.Joints[0].Y, bottom = top;
        for (const TStepJoint& j : r.Joints) {
            left = std::min(left, j.X);
            right = std::max(right, j.X);
            top = std::min(top, j.Y);
            bottom = std::max(bottom, j.Y);
        }
        return std::max(static_cast<double>(right) - left, static_cast<double>(bottom) - top);
    }

    // The open unknowns of a set of joints, each once.
    std::vector<int> openOf(const std::vector<int>& set) const {
        std::vector<int> open;
        for (const int j : set)
            for (const int u : openAt(static_cast<size_t>(j)))
                if (std::find(open.begin(), open.end(), u) == open.end())
                    open.push_back(u);
        return open;
    }

    // Whether the equations of the joints determine all their open unknowns.
    bool determines(const std::vector<int>& set) const {
        const std::vector<int> open = openOf(set);
        if (open.empty() || open.size() > 2 * set.size())
            return false;
        RealMatrix a = RealMatrix::Zero(static_cast<Eigen::Index>(2 * set.size()),
                                        static_cast<Eigen::Index>(open.size()));
        for (size_t i = 0; i < set.size(); ++i)
            for (const TJointUnknown& v : joints[static_cast<size_t>(set[i])].Unknowns) {
                const auto c = std::find(open.begin(), open.end(), v.Unknown) - open.begin();
                if (c >= static_cast<long>(open.size()))
                    continue;
                a(static_cast<Eigen::Index>(2 * i), c) = v.Cos;
                a(static_cast<Eigen::Index>(2 * i + 1), c) = v.Sin;
            }
        return rankOf(a) == static_cast<int>(open.size());
    }

    // Unsolved joints that share an unknown bar with joint j.
    std::vector<int> neighbours(int j) const {
        std::vector<int> out;
        for (const int u : openAt(static_cast<size_t>(j))) {
            for (size_t k = 0; k < joints.size(); ++k) {
                if (static_cast<int>(k) == j || solved[k])
                    continue;
                for (const TJointUnknown& v : joints[k].Unknowns)
                    if (v.Unknown == u) {
                        out.push_back(static_cast<int>(k));
                        break;
                    }
            }
        }
        return out;
    }

    std::vector<int> sortedNumbers(const std::vector<int>& set) const {
        std::vector<int> numbers;
        for (const int j : set)
            numbers.push_back(r.Joints[static_cast<size_t>(j)].Number);
        std::sort(numbers.begin(), numbers.end());
        return numbers;
    }

    // The smallest connected set of unsolved joints that determines its unknowns, the lowest
    // joint Numbers among equals; all unsolved joints when no set up to MaxBlockJoints does.
    std::vector<int> findBlock() const {
        std::vector<std::vector<int>> neighbour(joints.size());
        std::set<std::vector<int>> level;
        for (size_t j = 0; j < joints.size(); ++j)
            if (!solved[j]) {
                neighbour[j] = neighbours(static_cast<int>(j));
                level.insert({static_cast<int>(j)});
            }
        for (int size = 2; size <= MaxBlockJoints && !level.empty(); ++size) {
            std::set<std::vector<int>> next;
            for (const std::vector<int>& set : level) {
                for (const int j : set)
                    for (const int n : neighbour[static_cast<size_t>(j)]) {
                        if (std::find(set.begin(), set.end(), n) != set.end())
                            continue;
                        std::vector<int> grown = set;
                        grown.insert(std::upper_bound(grown.begin(), grown.end(), n), n);
                        next.insert(std::move(grown));
                    }
                if (next.size() > MaxBlockCandidates)
                    break;
            }
            if (next.size() > MaxBlockCandidates)
                break;
            const std::vector<int>* best = nullptr;
            std::vector<int> bestNumbers;
            for (const std::vector<int>& set : next) {
                if (!determines(set))
                    continue;
                std::vector<int> numbers = sortedNumbers(set);
                if (!best || numbers < bestNumbers) {
                    best = &set;
                    bestNumbers = std::move(numbers);
                }
            }
            if (best)
                return *best;
            level = std::move(next);
        }
        std::vector<int> all;
        for (size_t j = 0; j < joints.size(); ++j)
            if (!solved[j])
                all.push_back(static_cast<int>(j));
        return determines(all) ? all : std::vector<int>{};
    }

    bool blockStep() {
        std::vector<int> block = findBlock();
        if (block.empty())
            return false;
        std::sort(block.begin(), block.end(), [this](int a, int b) {
            return r.Joints[static_cast<size_t>(a)].Number <
                   r.Joints[static_cast<size_t>(b)].Number;
        });
        TJointStep s;
        s.Kind = TJointStep::TKind::Block;
        s.Joints = block;
        for (const int j : block) {
            for (const TStepForce& f : forcesAt(static_cast<size_t>(j)))
                s.Forces.push_back(f);
            for (const TStepEquation& e : jointEquations(static_cast<size_t>(j)))
                s.Equations.push_back(e);
        }
        const std::vector<int> open = openOf(block);
        if (!solveTogether(s.Equations, open, std::vector<Real>(s.Equations.size(), 1), s))
            return false;
        for (const int j : block)
            solved[static_cast<size_t>(j)] = true;
        r.Steps.push_back(std::move(s));
        return true;
    }

    Real residualOf(const TStepEquation& e) const {
        Real sum = 0;
        for (const TStepTerm& term : e.Terms) {
            const Real value = term.Unknown < 0 ? static_cast<Real>(term.Value)
                                                : values[static_cast<size_t>(term.Unknown)];
            sum += static_cast<Real>(term.Coefficient) * value;
        }
        return sum;
    }

    void finish() {
        for (size_t u = 0; u < r.Unknowns.size(); ++u)
            if (known[u])
                r.ForceScale = std::max(r.ForceScale, static_cast<double>(std::abs(values[u])));
        const double size = trussSize() * t.Units.Delka;
        for (size_t i = 0; i < r.Steps.size(); ++i)
            for (TStepEquation& e : r.Steps[i].Equations) {
                e.Residual = static_cast<double>(residualOf(e));
                const double scale =
                    r.ForceScale * (e.Kind == TStepEquation::TKind::Moment ? size : 1);
                if (r.UnbalancedStep < 0 && std::abs(e.Residual) > BalanceTolerance * scale) {
                    r.UnbalancedStep = static_cast<int>(i);
                    r.UnbalancedResidual = e.Residual;
                }
            }
        r.Solved = !r.Joints.empty() && r.UnbalancedStep < 0 &&
                   std::find(known.begin(), known.end(), false) == known.end();
    }
};

} // namespace

TJointSteps SolveByJoints(const TPrutovaSoustava& truss, const TAnalysis* analysis) {
    TJointSteps r;
    r.Units = truss.Units;
    TStepSolver(truss, r).Run();
    if (analysis && analysis->Mechanism)
        r.Mechanism = analysis->Mechanism;
    if (analysis && analysis->Method == TSolveMethod::Stiffness && analysis->Err == 0)
        for (TStepUnknown& u : r.Unknowns) {
            if (u.Kind == TStepUnknown::TKind::Bar)
                u.StiffnessValue = truss.Prut(u.Index).Sila;
            else if (u.Kind == TStepUnknown::TKind::ReactionX)
                u.StiffnessValue = truss.Podpera(u.Index).ReactionX;
            else
                u.StiffnessValue = truss.Podpera(u.Index).ReactionY;
        }
    return r;
}
