// The items picked in a truss window, held by what they are rather than where they are listed.
#pragma once

#include "TrussEditing.h"

#include <QObject>
#include <QPoint>

#include <set>
#include <tuple>

class TPrutovaSoustava;

enum class TItemKind { Bar, Support, Load };

// One item of a truss by its place in its list; valid until the truss changes.
struct TItemRef {
    TItemKind Kind;
    int Index;
    bool operator==(const TItemRef&) const = default;
};

// Undo and redo rebuild every entity and renumber the bars, so the selection keeps keys that
// survive that: a bar by its two end points (either way round) and its rank among the bars
// between the same points; a support by its point, its fixed directions and its rank among such
// supports; a load by its point and its rank among the loads there (its reals may come back from
// the file text a hair different). After every change of the truss, Prune drops the keys that no
// longer name an item.
class TTrussSelection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool IsEmpty() const;
    int Count() const;
    bool Contains(const TPrutovaSoustava& truss, TItemRef item) const;

    // Replaces the selection by items, or adds them to it.
    void Set(const TPrutovaSoustava& truss, const std::vector<TItemRef>& items);
    void Add(const TPrutovaSoustava& truss, const std::vector<TItemRef>& items);
    void Set(const TPrutovaSoustava& truss, const TItemIndices& items);
    void Clear();
    // Every bar, support and load of the truss.
    void SelectAll(const TPrutovaSoustava& truss);

    // Where the selected items stand in the truss's lists now, each list in ascending order.
    TItemIndices Resolve(const TPrutovaSoustava& truss) const;
    // Drops the keys that name no item of the truss any more.
    void Prune(const TPrutovaSoustava& truss);

signals:
    // The set of selected items changed.
    void Changed();

private:
    using TBarKey = std::tuple<int, int, int, int, int>; // ends in order, rank
    using TSupportKey = std::tuple<int, int, int, int>;  // point, fixed, rank
    using TLoadKey = std::tuple<int, int, int>;          // point, rank

    struct TKeys {
        std::set<TBarKey> Bars;
        std::set<TSupportKey> Supports;
        std::set<TLoadKey> Loads;
        bool operator==(const TKeys&) const = default;
    };
    // The keys of every item of a truss, by list position.
    struct TTrussKeys {
        std::vector<TBarKey> Bars;
        std::vector<TSupportKey> Supports;
        std::vector<TLoadKey> Loads;
    };
    static TTrussKeys KeysOf(const TPrutovaSoustava& truss);
    static void Insert(TKeys& keys, const TTrussKeys& all, TItemRef item);
    void Replace(TKeys keys);

    TKeys keys;
};
