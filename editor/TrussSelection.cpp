// The selection's keys: made from the truss's lists, resolved back to positions, pruned.
#include "TrussSelection.h"

#include "TrussSystem.h"

#include <map>

namespace {

template <typename Key>
std::vector<int> Positions(const std::vector<Key>& all, const std::set<Key>& wanted) {
    std::vector<int> found;
    for (size_t i = 0; i < all.size(); ++i)
        if (wanted.count(all[i]))
            found.push_back(static_cast<int>(i));
    return found;
}

template <typename Key> void Keep(std::set<Key>& keys, const std::vector<Key>& all) {
    const std::set<Key> present(all.begin(), all.end());
    std::erase_if(keys, [&](const Key& k) { return !present.count(k); });
}

// Counts how many earlier items share a key's leading part.
template <typename Head> int NextRank(std::map<Head, int>& seen, const Head& head) {
    return seen[head]++;
}

} // namespace

TTrussSelection::TTrussKeys TTrussSelection::KeysOf(const TPrutovaSoustava& truss) {
    TTrussKeys all;
    std::map<std::tuple<int, int, int, int>, int> bars;
    for (int i = 0; i < truss.PrutCount(); ++i) {
        const TPrut& p = truss.Prut(i);
        auto ends = std::tuple(p.Sa_X, p.Sa_Y, p.Sb_X, p.Sb_Y);
        if (std::pair(p.Sb_X, p.Sb_Y) < std::pair(p.Sa_X, p.Sa_Y))
            ends = std::tuple(p.Sb_X, p.Sb_Y, p.Sa_X, p.Sa_Y);
        const auto [ax, ay, bx, by] = ends;
        all.Bars.emplace_back(ax, ay, bx, by, NextRank(bars, ends));
    }
    std::map<std::tuple<int, int, int>, int> supports;
    for (int i = 0; i < truss.PodperaCount(); ++i) {
        const TPodpera& s = truss.Podpera(i);
        const auto head = std::tuple(s.X, s.Y, int{s.Fixed});
        all.Supports.emplace_back(s.X, s.Y, int{s.Fixed}, NextRank(supports, head));
    }
    std::map<std::pair<int, int>, int> loads;
    for (int i = 0; i < truss.SilaCount(); ++i) {
        const TSila& f = truss.Sila(i);
        all.Loads.emplace_back(f.X, f.Y, NextRank(loads, std::pair(f.X, f.Y)));
    }
    return all;
}

void TTrussSelection::Insert(TKeys& keys, const TTrussKeys& all, TItemRef item) {
    const auto i = static_cast<size_t>(item.Index);
    switch (item.Kind) {
    case TItemKind::Bar:
        if (item.Index >= 0 && i < all.Bars.size())
            keys.Bars.insert(all.Bars[i]);
        break;
    case TItemKind::Support:
        if (item.Index >= 0 && i < all.Supports.size())
            keys.Supports.insert(all.Supports[i]);
        break;
    case TItemKind::Load:
        if (item.Index >= 0 && i < all.Loads.size())
            keys.Loads.insert(all.Loads[i]);
        break;
    }
}

void TTrussSelection::Replace(TKeys next) {
    if (next == keys)
        return;
    keys = std::move(next);
    emit Changed();
}

bool TTrussSelection::IsEmpty() const {
    return Count() == 0;
}

int TTrussSelection::Count() const {
    return static_cast<int>(keys.Bars.size() + keys.Supports.size() + keys.Loads.size());
}

bool TTrussSelection::Contains(const TPrutovaSoustava& truss, TItemRef item) const {
    TKeys one;
    Insert(one, KeysOf(truss), item);
    return (one.Bars.size() == 1 && keys.Bars.count(*one.Bars.begin())) ||
           (one.Supports.size() == 1 && keys.Supports.count(*one.Supports.begin())) ||
           (one.Loads.size() == 1 && keys.Loads.count(*one.Loads.begin()));
}

void TTrussSelection::Set(const TPrutovaSoustava& truss, const std::vector<TItemRef>& items) {
    TKeys next;
    const TTrussKeys all = KeysOf(truss);
    for (const TItemRef& item : items)
        Insert(next, all, item);
    Replace(std::move(next));
}

void TTrussSelection::Add(const TPrutovaSoustava& truss, const std::vector<TItemRef>& items) {
    TKeys next = keys;
    const TTrussKeys all = KeysOf(truss);
    for (const TItemRef& item : items)
        Insert(next, all, item);
    Replace(std::move(next));
}

void TTrussSelection::Set(const TPrutovaSoustava& truss, const TItemIndices& items) {
    std::vector<TItemRef> refs;
    for (const int i : items.Bars)
        refs.push_back({TItemKind::Bar, i});
    for (const int i : items.Supports)
        refs.push_back({TItemKind::Support, i});
    for (const int i : items.Loads)
        refs.push_back({TItemKind::Load, i});
    Set(truss, refs);
}

void TTrussSelection::Clear() {
    Replace({});
}

void TTrussSelection::SelectAll(const TPrutovaSoustava& truss) {
    const TTrussKeys all = KeysOf(truss);
    Replace({{all.Bars.begin(), all.Bars.end()},
             {all.Supports.begin(), all.Supports.end()},
             {all.Loads.begin(), all.Loads.end()}});
}

TItemIndices TTrussSelection::Resolve(const TPrutovaSoustava& truss) const {
    if (IsEmpty())
        return {};
    const TTrussKeys all = KeysOf(truss);
    return {Positions(all.Bars, keys.Bars), Positions(all.Supports, keys.Supports),
            Positions(all.Loads, keys.Loads)};
}

void TTrussSelection::Prune(const TPrutovaSoustava& truss) {
    if (IsEmpty())
        return;
    const TTrussKeys all = KeysOf(truss);
    TKeys next = keys;
    Keep(next.Bars, all.Bars);
    Keep(next.Supports, all.Supports);
    Keep(next.Loads, all.Loads);
    Replace(std::move(next));
}
