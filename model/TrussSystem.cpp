// The truss system: editing operations, derived joints and vectors, counts and drawing.
#include "TrussSystem.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <set>
#include <utility>

std::function<void()> OnBeep;
int BeepCount = 0;

namespace {

std::chrono::steady_clock::time_point StopwatchStart = std::chrono::steady_clock::now();

void beep() {
    ++BeepCount;
    if (OnBeep)
        OnBeep();
}

// Smallest positive number not marked in used (index = number).
int firstFree(const std::vector<bool>& used) {
    for (size_t n = 1; n < used.size(); ++n)
        if (!used[n])
            return static_cast<int>(n);
    return static_cast<int>(used.size());
}

void mark(std::vector<bool>& used, int number) {
    if (number > 0 && static_cast<size_t>(number) < used.size())
        used[static_cast<size_t>(number)] = true;
}

template <typename T> void destroyFromLast(std::vector<std::unique_ptr<T>>& list) {
    while (!list.empty())
        list.pop_back();
}

} // namespace

void StartTimer() {
    StopwatchStart = std::chrono::steady_clock::now();
}

double ElapsedMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                     StopwatchStart)
        .count();
}

TPrutovaSoustava::TPrutovaSoustava() {
    MarkSaved();
}

TPrutovaSoustava::~TPrutovaSoustava() {
    ClearHistory();
    Clear();
}

// The smallest positive unknown number used by no bar and no reaction. Numbers freed by removed
// bars are reused. The numbers in use are pairwise different, so when the largest equals their
// count they are exactly 1..count and the next is count + 1; otherwise one pass marks them.
int TPrutovaSoustava::NextUnknownNumber() const {
    int count = 0, largest = 0;
    auto note = [&](int n) {
        if (n > 0) {
            ++count;
            largest = std::max(largest, n);
        }
    };
    for (const auto& p : Pruty)
        note(p->Number);
    for (const auto& s : Podpery) {
        note(s->ReactionXNumber);
        note(s->ReactionYNumber);
    }
    if (largest == count)
        return count + 1;
    std::vector<bool> used(static_cast<size_t>(count) + 2, false);
    for (const auto& p : Pruty)
        mark(used, p->Number);
    for (const auto& s : Podpery) {
        mark(used, s->ReactionXNumber);
        mark(used, s->ReactionYNumber);
    }
    return firstFree(used);
}

// The smallest positive joint number not in use, found the same way.
int TPrutovaSoustava::NextStycnikNumber() const {
    int count = 0, largest = 0;
    for (const auto& j : Stycniky)
        if (j->Number > 0) {
            ++count;
            largest = std::max(largest, j->Number);
        }
    if (largest == count)
        return count + 1;
    std::vector<bool> used(Stycniky.size() + 2, false);
    for (const auto& j : Stycniky)
        mark(used, j->Number);
    return firstFree(used);
}

int TPrutovaSoustava::FindStycnik(int x, int y) const {
    for (int i = StycnikCount() - 1; i >= 0; --i)
        if (Stycniky[static_cast<size_t>(i)]->X == x && Stycniky[static_cast<size_t>(i)]->Y == y)
            return i;
    return -1;
}

int TPrutovaSoustava::AddStycnik(int x, int y) {
    if (StycnikCount() >= MaxStycniky)
        return -1;
    auto joint = std::make_unique<TStycnik>();
    joint->Number = NextStycnikNumber();
    joint->X = x;
    joint->Y = y;
    Stycniky.push_back(std::move(joint));
    return StycnikCount() - 1;
}

int TPrutovaSoustava::AttachVektor(int number, int x, int y, bool known, double uhel, double sila) {
    int i = FindStycnik(x, y);
    if (i == -1)
        i = AddStycnik(x, y);
    if (i < 0)
        return i;
    return Stycniky[static_cast<size_t>(i)]->AddVektor(number, known, uhel, sila);
}

void TPrutovaSoustava::AttachPrutVektory(const TPrut& prut) {
    // A bar of length 0 has no direction: it attaches nothing and the user hears it.
    if (prut.IsDegenerate()) {
        beep();
        return;
    }
    AttachVektor(prut.Number, prut.Sa_X, prut.Sa_Y, false, prut.DirectionA(), prut.Sila);
    AttachVektor(prut.Number, prut.Sb_X, prut.Sb_Y, false, prut.DirectionB(), prut.Sila);
}

void TPrutovaSoustava::AttachPodperaVektory(TPodpera& podpera) {
    if (podpera.Fixed & P_X) {
        if (podpera.ReactionXNumber == 0)
            podpera.ReactionXNumber = NextUnknownNumber();
        AttachVektor(podpera.ReactionXNumber, podpera.X, podpera.Y, false, 0, 0);
    }
    if (podpera.Fixed & P_Y) {
        if (podpera.ReactionYNumber == 0)
            podpera.ReactionYNumber = NextUnknownNumber();
        AttachVektor(podpera.ReactionYNumber, podpera.X, podpera.Y, false, 90, 0);
    }
}

void TPrutovaSoustava::AttachSilaVektor(const TSila& sila) {
    AttachVektor(sila.Number, sila.X, sila.Y, true, sila.Uhel, sila.Sila);
}

// A section already as full as a file may hold takes no more: the program never writes a file it
// would refuse to read back.
bool TPrutovaSoustava::SectionFull(int count) {
    if (count < MaxFileItemCount)
        return false;
    beep();
    return true;
}

void TPrutovaSoustava::AddPrut(int saX, int saY, int sbX, int sbY) {
    if (SectionFull(PrutCount()))
        return;
    AddNumberedPrut(NextUnknownNumber(), saX, saY, sbX, sbY);
}

void TPrutovaSoustava::AddNumberedPrut(int number, int saX, int saY, int sbX, int sbY, double ea) {
    auto prut = std::make_unique<TPrut>();
    prut->Number = number;
    prut->EA = ea;
    prut->Sa_X = saX;
    prut->Sa_Y = saY;
    prut->Sb_X = sbX;
    prut->Sb_Y = sbY;
    Pruty.push_back(std::move(prut));
    AttachPrutVektory(*Pruty.back());
    PushSnapshot();
}

void TPrutovaSoustava::AddPodpera(int x, int y, TFixedSet fixed, std::uint8_t kv) {
    if (SectionFull(PodperaCount()))
        return;
    AddNumberedPodpera(x, y, fixed, kv, 0, 0);
}

void TPrutovaSoustava::AddNumberedPodpera(int x, int y, TFixedSet fixed, std::uint8_t kv,
                                          int reactionX, int reactionY) {
    auto podpera = std::make_unique<TPodpera>();
    podpera->X = x;
    podpera->Y = y;
    podpera->Fixed = fixed;
    podpera->Kv = kv;
    podpera->ReactionXNumber = reactionX;
    podpera->ReactionYNumber = reactionY;
    Podpery.push_back(std::move(podpera));
    AttachPodperaVektory(*Podpery.back());
    PushSnapshot();
}

void TPrutovaSoustava::AddSila(int x, int y, double sila, double uhel) {
    if (SectionFull(SilaCount()))
        return;
    auto force = std::make_unique<TSila>();
    force->X = x;
    force->Y = y;
    force->Sila = sila;
    force->Uhel = uhel;
    Zatizeni.push_back(std::move(force));
    AttachSilaVektor(*Zatizeni.back());
    PushSnapshot();
}

void TPrutovaSoustava::RebuildStycniky() {
    destroyFromLast(Stycniky);
    for (const auto& p : Pruty)
        AttachPrutVektory(*p);
    for (auto& s : Podpery)
        AttachPodperaVektory(*s);
    for (const auto& f : Zatizeni)
        AttachSilaVektor(*f);
}

// Removes the bars of length 0, then every bar between the same two points as an earlier bar
// (either way round). One pass with a set of the point pairs seen, so that a large truss costs
// n log n, not n squared, on every step of a drag.
void TPrutovaSoustava::RemoveDegeneratePruty() {
    std::set<std::array<std::int32_t, 4>> seen;
    std::erase_if(Pruty, [&seen](const std::unique_ptr<TPrut>& p) {
        if (p->IsDegenerate())
            return true;
        const bool aFirst = std::pair(p->Sa_X, p->Sa_Y) < std::pair(p->Sb_X, p->Sb_Y);
        const std::array<std::int32_t, 4> ends =
            aFirst ? std::array{p->Sa_X, p->Sa_Y, p->Sb_X, p->Sb_Y}
                   : std::array{p->Sb_X, p->Sb_Y, p->Sa_X, p->Sa_Y};
        return !seen.insert(ends).second;
    });
}

void TPrutovaSoustava::MoveStycnik(QPoint from, QPoint to) {
    for (auto& p : Pruty) {
        if (p->Sa_X == from.x() && p->Sa_Y == from.y()) {
            p->Sa_X = to.x();
            p->Sa_Y = to.y();
        }
        if (p->Sb_X == from.x() && p->Sb_Y == from.y()) {
            p->Sb_X = to.x();
            p->Sb_Y = to.y();
        }
    }
    RemoveDegeneratePruty();
    for (auto& s : Podpery)
        if (s->X == from.x() && s->Y == from.y()) {
            s->X = to.x();
            s->Y = to.y();
        }
    for (auto& f : Zatizeni)
        if (f->X == from.x() && f->Y == from.y()) {
            f->X = to.x();
            f->Y = to.y();
        }
    RebuildStycniky();
}

void TPrutovaSoustava::Clear() {
    destroyFromLast(Pruty);
    destroyFromLast(Podpery);
    destroyFromLast(Zatizeni);
    destroyFromLast(Stycniky);
}

int TPrutovaSoustava::ReactionCount() const {
    int n = 0;
    for (const auto& s : Podpery)
        n += ((s->Fixed & P_X) ? 1 : 0) + ((s->Fixed & P_Y) ? 1 : 0);
    return n;
}

int TPrutovaSoustava::StaticIndeterminacy() const {
    return ReactionCount() + PrutCount() - 2 * StycnikCount();
}

double TPrutovaSoustava::SumAbsSila() const {
    double sum = 0;
    for (const auto& p : Pruty)
        sum += std::abs(p->Sila);
    return sum;
}

double TPrutovaSoustava::SumSqSila() const {
    double sum = 0;
    for (const auto& p : Pruty)
        sum += p->Sila * p->Sila;
    return sum;
}

double TPrutovaSoustava::MaxPrutSila() const {
    double m = 0;
    for (const auto& p : Pruty)
        if (p->Sila > m)
            m = p->Sila;
    return m;
}

double TPrutovaSoustava::MinPrutSila() const {
    double m = 0;
    for (const auto& p : Pruty)
        if (p->Sila < m)
            m = p->Sila;
    return m;
}

double TPrutovaSoustava::Draw(QPainter& canvas, const TImageList& images) {
    return Draw(canvas, images, GlobalDrawContext());
}

double TPrutovaSoustava::Draw(QPainter& canvas, const TImageList& images,
                              const TDrawContext& context) {
    StartTimer();
    const double maxSila = MaxPrutSila();
    const double minSila = MinPrutSila();
    for (const auto& p : Pruty)
        p->Draw(canvas, maxSila, minSila, context);
    for (const auto& s : Podpery)
        s->Draw(canvas, images, context.View);
    for (const auto& f : Zatizeni)
        f->Draw(canvas, context);
    for (const auto& j : Stycniky)
        j->Draw(canvas, context);
    DrawTime = ElapsedMs();
    return DrawTime;
}

std::optional<QRectF> TPrutovaSoustava::Bounds() const {
    bool any = false;
    double left = 0, top = 0, right = 0, bottom = 0;
    auto add = [&](double x, double y) {
        if (!any) {
            left = right = x;
            top = bottom = y;
            any = true;
            return;
        }
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    };
    for (const auto& p : Pruty) {
        add(p->Sa_X, p->Sa_Y);
        add(p->Sb_X, p->Sb_Y);
    }
    for (const auto& s : Podpery)
        add(s->X, s->Y);
    for (const auto& f : Zatizeni) {
        // The arrow's tip: its length is the magnitude in drawing units.
        const long double a = DegToRad(f->Uhel);
        add(f->X, f->Y);
        add(static_cast<double>(f->X + f->Sila * std::cos(a)),
            static_cast<double>(f->Y + f->Sila * std::sin(a)));
    }
    if (!any)
        return std::nullopt;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}
