// Sets of bars, supports and loads picked out of a truss, moved, compared and read from text.
#pragma once

#include "TrussFileContent.h"

#include <QString>

#include <optional>
#include <vector>

// Positions in the lists Pruty, Podpery and Zatizeni of one truss, valid until it changes.
struct TItemIndices {
    std::vector<int> Bars, Supports, Loads;
    bool Empty() const { return Bars.empty() && Supports.empty() && Loads.empty(); }
    int Count() const { return static_cast<int>(Bars.size() + Supports.size() + Loads.size()); }
};

// The items at the given positions, in list order; everything else of items (units and the
// like) is kept. Positions outside the lists are ignored.
TTrussItems SubsetOf(const TTrussItems& items, const TItemIndices& which);

// items without the ones at the given positions.
TTrussItems WithoutItems(const TTrussItems& items, const TItemIndices& which);

// Every point of items moved by (dx, dy); none when a coordinate would leave the 32-bit range.
std::optional<TTrussItems> OffsetItems(const TTrussItems& items, int dx, int dy);

// Whether any of added would lie on an item of existing: a bar between the same two points
// (either way round), a support at the same point, a load at the same point.
bool ItemsOverlap(const TTrussItems& existing, const TTrussItems& added);

// added where it overlaps nothing of existing: as it is, else moved by (k * step, k * step) for
// the smallest k from 1 up to maxSteps that clears it (maxSteps when none does); none when the
// move would leave the 32-bit range.
std::optional<TTrussItems> PlaceBeside(const TTrussItems& existing, const TTrussItems& added,
                                       int step, int maxSteps = 100);

// Whether a truss file could hold the items: at most MaxFileItemCount in each section.
bool FitsInFile(const TTrussItems& items);

// The items of a truss text (a .trs file or a part of one); none when the text holds no truss:
// no bars, supports or loads section with at least one item, more items than a file may hold,
// or a support that could not be loaded.
std::optional<TTrussItems> ReadTrussText(const QString& text);
