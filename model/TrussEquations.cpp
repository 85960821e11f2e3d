// Equilibrium equations of the joints, distribution of the solution, report texts and joint probe.
#include "TrussFileContent.h"
#include "TrussSystem.h"

#include "NumberFormat.h"
#include "UMatrix.h"
#include "plsLangConsts.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString HeadingRule = QStringLiteral(" ====================");
const QString ShortHeadingRule = QStringLiteral(" =================");

// Smallest and largest starting totals of the probe, so that any real total replaces them.
constexpr double ProbeMaxStart = std::numeric_limits<double>::denorm_min();
constexpr double ProbeMinStart = 1.7e308;
constexpr int ProbeReach = 3;

// Whether every cell of the probe around (x, y) is a point of the drawing: a joint at the edge of
// the 32-bit range has no neighbours beyond it.
bool ProbeCellsFit(int x, int y, int step) {
    const long long reach = static_cast<long long>(ProbeReach) * std::llabs(step);
    auto fits = [reach](long long c) {
        return c - reach >= std::numeric_limits<int>::min() &&
               c + reach <= std::numeric_limits<int>::max();
    };
    return fits(x) && fits(y);
}

// Cosine and sine of a vector angle in extended precision. A truss has few distinct angles,
// and each is computed once and remembered: the values are the same bits either way.
struct TDirection {
    long double Cos, Sin;
};

TDirection direction(double degrees) {
    static std::unordered_map<std::uint64_t, TDirection> cache;
    constexpr size_t CacheLimit = 4096;
    std::uint64_t bits;
    std::memcpy(&bits, &degrees, sizeof bits);
    if (const auto found = cache.find(bits); found != cache.end())
        return found->second;
    if (cache.size() >= CacheLimit)
        cache.clear();
    const long double a = DegToRad(degrees);
    const TDirection d{std::cos(a), std::sin(a)};
    cache.emplace(bits, d);
    return d;
}

} // namespace

void TPrutovaSoustava::BuildEquations() const {
    // An unknown beyond the solver's columns cannot be placed; refuse before touching the store.
    for (const auto& joint : Stycniky)
        for (const TVektor& v : joint->Vektory)
            if (!v.Known && (v.Number < 1 || v.Number > MaxEquations))
                throw ERangeError(
                    QStringLiteral(
                        "The truss has more unknowns (bar forces and reactions) than the "
                        "%1 the equations can hold: unknown number %2.")
                        .arg(MaxEquations)
                        .arg(v.Number)
                        .toStdString());
    TEquationStore& s = EquationStore;
    ClearEquations(s.N, s.A, s.B);
    s.N = 2 * StycnikCount();
    for (int j = 0; j < StycnikCount(); ++j) {
        const int r = 2 * j + 1;
        const int q = 2 * j + 2;
        s.B[r] = 0;
        s.B[q] = 0;
        for (const TVektor& v : Stycniky[static_cast<size_t>(j)]->Vektory) {
            const TDirection d = direction(v.Uhel);
            if (v.Known) {
                s.B[r] = s.B[r] - v.Sila * d.Cos;
                s.B[q] = s.B[q] - v.Sila * d.Sin;
            } else {
                s.A[r][v.Number] = d.Cos;
                s.A[q][v.Number] = d.Sin;
            }
        }
    }
}

void TPrutovaSoustava::StoreUnknown(int k, long double value) {
    for (auto& p : Pruty)
        if (p->Number == k) {
            p->Sila = static_cast<double>(value);
            return;
        }
    for (auto& s : Podpery) {
        if (s->ReactionXNumber == k) {
            s->ReactionX = static_cast<double>(value);
            return;
        }
        if (s->ReactionYNumber == k) {
            s->ReactionY = static_cast<double>(value);
            return;
        }
    }
}

void TPrutovaSoustava::DistributeSolution() {
    // Where each unknown goes, found in one pass: the first bar with the number, else the first
    // support (x before y) that carries it.
    const int n = EquationStore.N;
    std::vector<double*> target(static_cast<size_t>(n) + 1, nullptr);
    for (auto& s : Podpery) {
        auto claim = [&](int k, double& field) {
            if (k >= 1 && k <= n && !target[static_cast<size_t>(k)])
                target[static_cast<size_t>(k)] = &field;
        };
        claim(s->ReactionXNumber, s->ReactionX);
        claim(s->ReactionYNumber, s->ReactionY);
    }
    std::vector<bool> barClaimed(static_cast<size_t>(n) + 1, false);
    for (auto& p : Pruty) {
        const int k = p->Number;
        if (k >= 1 && k <= n && !barClaimed[static_cast<size_t>(k)]) {
            barClaimed[static_cast<size_t>(k)] = true;
            target[static_cast<size_t>(k)] = &p->Sila;
        }
    }
    for (int k = 1; k <= n; ++k)
        if (double* field = target[static_cast<size_t>(k)])
            *field = static_cast<double>(EquationStore.X[k]);
}

std::uint8_t TPrutovaSoustava::Solve() {
    StartTimer();
    TEquationStore& s = EquationStore;
    try {
        BuildEquations();
    } catch (...) {
        // The store may still hold another truss's system; whatever draws or lists this truss
        // must see it as not solved.
        ClearEquations(s.N, s.A, s.B);
        s.Err = errNoSolution;
        CalcTime = ElapsedMs();
        throw;
    }
    SolveEquations(s.N, s.A, s.B, s.X, s.Err);
    if (s.Err == 0)
        DistributeSolution();
    CalcTime = ElapsedMs();
    return s.Err;
}

QString TPrutovaSoustava::Describe() const {
    QString text =
        str_PocetPrutu + QStringLiteral(": ") + QString::number(PrutCount()) + HeadingRule + CrLf;
    for (const auto& p : Pruty)
        text += p->Describe();
    text += CrLf + str_PocetPodper + QStringLiteral(": ") + QString::number(PodperaCount()) +
            HeadingRule + CrLf;
    for (const auto& s : Podpery)
        text += s->Describe();
    text += CrLf + str_PocetSil + QStringLiteral(": ") + QString::number(SilaCount()) +
            ShortHeadingRule + CrLf;
    for (const auto& f : Zatizeni)
        text += f->Describe();
    text += CrLf + str_PocetStycniku + QStringLiteral(": ") + QString::number(StycnikCount()) +
            HeadingRule;
    for (const auto& j : Stycniky)
        text += CrLf + j->Describe();
    return text;
}

void TPrutovaSoustava::DescribeEquations(QStringList& lines) const {
    const TEquationStore& s = EquationStore;
    lines.clear();
    lines << str_Dimension + QStringLiteral(": ") + QString::number(s.N) << QString()
          << str_Koeficienty + QStringLiteral(": ");
    for (int i = 1; i <= s.N; ++i) {
        QString row;
        row.reserve(7 * s.N);
        for (int j = 1; j <= s.N; ++j)
            row += FormatListingValue(s.A[i][j]);
        lines << row;
    }
    lines << QString() << str_Konstanty + QStringLiteral(":");
    for (int i = 1; i <= s.N; ++i)
        lines << FormatListingValue(s.B[i]);
    lines << QString();
    if (s.Err >= 1)
        lines << str_Error + QStringLiteral(": ");
    switch (s.Err) {
    case 0:
        lines << str_Solution + QStringLiteral(":");
        for (int i = 1; i <= s.N; ++i)
            lines << QString::number(i) + QStringLiteral(": ") + FormatListingValue(s.X[i]);
        lines << QString();
        break;
    case 1:
        lines << str_Err_Small;
        break;
    case 2:
        lines << str_Err_NoSolution;
        break;
    default:
        break;
    }
}

int TPrutovaSoustava::ProbeStycnik(int x, int y, int step, TProbeGrid& results) {
    const int k = FindStycnik(x, y);
    if (k == -1)
        return -1;
    if (!ProbeCellsFit(x, y, step))
        throw ERangeError("probe cells outside the 32-bit range of the drawing");
    MaxSumAbs = ProbeMaxStart;
    MinSumAbs = ProbeMinStart;
    QStringList lines;
    SaveItemsToStrings(lines);
    // The copy is read once and rebuilt from that reading for every cell; it keeps no history,
    // since nobody could ever undo in it.
    const TTrussItems items = TTrussItems::Read(TTrussFileContent::Parse(lines));
    TPrutovaSoustava copy;
    copy.RecordSnapshots = false;
    for (int i = -ProbeReach; i <= ProbeReach; ++i)
        for (int j = -ProbeReach; j <= ProbeReach; ++j) {
            copy.ApplyItems(items);
            copy.MoveStycnik(QPoint(x, y), QPoint(x + i * step, y + j * step));
            copy.Solve();
            const double sumAbs = copy.SumAbsSila();
            results[static_cast<size_t>(i + ProbeReach)][static_cast<size_t>(j + ProbeReach)] = {
                sumAbs, copy.SumSqSila()};
            MaxSumAbs = std::max(sumAbs, MaxSumAbs);
            MinSumAbs = std::min(sumAbs, MinSumAbs);
        }
    return k;
}
