// Editing sets of items: delete, append, replace as one undo step, and the text of a selection.
#include "TrussEditing.h"
#include "TrussSystem.h"

#include <algorithm>
#include <limits>
#include <set>
#include <tuple>

namespace {

const QString SectionNames[] = {QStringLiteral("pruty"), QStringLiteral("podpery"),
                                QStringLiteral("zatizeni")};

// Records nothing while the truss is rebuilt, and restores the setting whatever happens.
class TRecordingPause {
public:
    explicit TRecordingPause(bool& record) : record(record), before(record) { record = false; }
    ~TRecordingPause() { record = before; }
    TRecordingPause(const TRecordingPause&) = delete;
    TRecordingPause& operator=(const TRecordingPause&) = delete;

private:
    bool& record;
    bool before;
};

template <typename T> std::vector<T> Pick(const std::vector<T>& list, std::vector<int> which) {
    std::sort(which.begin(), which.end());
    which.erase(std::unique(which.begin(), which.end()), which.end());
    std::vector<T> picked;
    for (const int i : which)
        if (i >= 0 && static_cast<size_t>(i) < list.size())
            picked.push_back(list[static_cast<size_t>(i)]);
    return picked;
}

template <typename T>
std::vector<T> Drop(const std::vector<T>& list, const std::vector<int>& which) {
    const std::set<int> dropped(which.begin(), which.end());
    std::vector<T> kept;
    for (size_t i = 0; i < list.size(); ++i)
        if (!dropped.count(static_cast<int>(i)))
            kept.push_back(list[i]);
    return kept;
}

bool Shift(int& c, int d) {
    const long long moved = static_cast<long long>(c) + d;
    if (moved < std::numeric_limits<int>::min() || moved > std::numeric_limits<int>::max())
        return false;
    c = static_cast<int>(moved);
    return true;
}

using TPointKey = std::pair<int, int>;
using TBarKey = std::pair<TPointKey, TPointKey>;

TBarKey BarKey(const TTrussItems::TBar& b) {
    const TPointKey a{b.SaX, b.SaY}, c{b.SbX, b.SbY};
    return a < c ? TBarKey{a, c} : TBarKey{c, a};
}

void Append(std::vector<int>& positions, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        positions.push_back(static_cast<int>(i));
}

} // namespace

TTrussItems SubsetOf(const TTrussItems& items, const TItemIndices& which) {
    TTrussItems subset = items;
    subset.Bars = Pick(items.Bars, which.Bars);
    subset.Supports = Pick(items.Supports, which.Supports);
    subset.Loads = Pick(items.Loads, which.Loads);
    subset.SupportError.clear();
    return subset;
}

TTrussItems WithoutItems(const TTrussItems& items, const TItemIndices& which) {
    TTrussItems rest = items;
    rest.Bars = Drop(items.Bars, which.Bars);
    rest.Supports = Drop(items.Supports, which.Supports);
    rest.Loads = Drop(items.Loads, which.Loads);
    return rest;
}

std::optional<TTrussItems> OffsetItems(const TTrussItems& items, int dx, int dy) {
    TTrussItems moved = items;
    bool fits = true;
    for (auto& b : moved.Bars)
        fits = fits && Shift(b.SaX, dx) && Shift(b.SaY, dy) && Shift(b.SbX, dx) && Shift(b.SbY, dy);
    for (auto& s : moved.Supports)
        fits = fits && Shift(s.X, dx) && Shift(s.Y, dy);
    for (auto& f : moved.Loads)
        fits = fits && Shift(f.X, dx) && Shift(f.Y, dy);
    if (!fits)
        return std::nullopt;
    return moved;
}

bool ItemsOverlap(const TTrussItems& existing, const TTrussItems& added) {
    std::set<TBarKey> bars;
    for (const auto& b : existing.Bars)
        bars.insert(BarKey(b));
    std::set<TPointKey> supports, loads;
    for (const auto& s : existing.Supports)
        supports.insert({s.X, s.Y});
    for (const auto& f : existing.Loads)
        loads.insert({f.X, f.Y});
    return std::any_of(added.Bars.begin(), added.Bars.end(),
                       [&](const auto& b) { return bars.count(BarKey(b)) > 0; }) ||
           std::any_of(added.Supports.begin(), added.Supports.end(),
                       [&](const auto& s) {
                           return supports.count({s.X, s.Y}) > 0;
                       }) ||
           std::any_of(added.Loads.begin(), added.Loads.end(), [&](const auto& f) {
               return loads.count({f.X, f.Y}) > 0;
           });
}

std::optional<TTrussItems> PlaceBeside(const TTrussItems& existing, const TTrussItems& added,
                                       int step, int maxSteps) {
    std::optional<TTrussItems> placed = added;
    for (int k = 1; k <= maxSteps && ItemsOverlap(existing, *placed); ++k) {
        const long long d = static_cast<long long>(k) * step;
        if (d > std::numeric_limits<int>::max())
            return std::nullopt;
        placed = OffsetItems(added, static_cast<int>(d), static_cast<int>(d));
        if (!placed)
            return std::nullopt;
    }
    return placed;
}

bool FitsInFile(const TTrussItems& items) {
    constexpr size_t limit = MaxFileItemCount;
    return items.Bars.size() <= limit && items.Supports.size() <= limit &&
           items.Loads.size() <= limit;
}

std::optional<TTrussItems> ReadTrussText(const QString& text) {
    const TTrussFileContent content = TTrussFileContent::Parse(SplitTrussLines(text));
    int items = 0;
    for (const QString& section : SectionNames) {
        if (!content.Sections.contains(section))
            continue;
        const int count = content.Count(section);
        if (count > MaxFileItemCount)
            return std::nullopt;
        items += count;
    }
    if (items == 0)
        return std::nullopt;
    TTrussItems read = TTrussItems::Read(content);
    if (!read.SupportError.empty())
        return std::nullopt;
    return read;
}

TTrussItems TPrutovaSoustava::Items() const {
    // Through the file text, so that whatever a file keeps of an item is kept here too.
    QStringList lines;
    SaveItemsToStrings(lines);
    return TTrussItems::Read(TTrussFileContent::Parse(lines));
}

void TPrutovaSoustava::ReplaceItems(const TTrussItems& items) {
    {
        TRecordingPause pause(RecordSnapshots);
        ApplyItems(items);
    }
    PushSnapshot();
}

void TPrutovaSoustava::DeleteItems(const TItemIndices& which) {
    if (which.Empty())
        return;
    ReplaceItems(WithoutItems(Items(), which));
}

std::optional<TItemIndices> TPrutovaSoustava::AppendItems(const TTrussItems& extra) {
    TTrussItems items = Items();
    const size_t bars = items.Bars.size(), supports = items.Supports.size(),
                 loads = items.Loads.size();
    items.Bars.insert(items.Bars.end(), extra.Bars.begin(), extra.Bars.end());
    items.Supports.insert(items.Supports.end(), extra.Supports.begin(), extra.Supports.end());
    items.Loads.insert(items.Loads.end(), extra.Loads.begin(), extra.Loads.end());
    if (!FitsInFile(items))
        return std::nullopt;
    ReplaceItems(items);
    TItemIndices added;
    Append(added.Bars, bars, items.Bars.size());
    Append(added.Supports, supports, items.Supports.size());
    Append(added.Loads, loads, items.Loads.size());
    return added;
}

QStringList TPrutovaSoustava::ItemsText(const TItemIndices& which) const {
    // A truss of just these items writes them as a file would.
    TPrutovaSoustava part;
    part.RecordSnapshots = false;
    part.ApplyItems(SubsetOf(Items(), which));
    QStringList lines;
    part.SaveItemsToStrings(lines);
    return lines;
}
