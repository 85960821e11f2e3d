// What lies under the cursor in a truss drawing, and what a rectangle drawn on it encloses.
#pragma once

#include "TrussSelection.h"

#include <QPointF>
#include <QRectF>

#include <functional>
#include <optional>
#include <vector>

// Maps a point of the drawing (drawing units) to pixels of the drawing widget.
using TToScreen = std::function<QPointF(QPointF)>;

// How near the cursor must come to an item to pick it, in screen pixels at any zoom.
constexpr double PickTolerance = 5;
// How near to a joint's point a double click edits the joint rather than an item at it: the
// radius of the joint's dot and a little more.
constexpr double JointPickRadius = 6;

// The bar, support or load nearest to the cursor within tolerance: bars and loads by their
// line (a load's from its point to its arrow's tip), a support by its point or anywhere on its
// picture. Between items at the same distance the one drawn on top wins (loads, then supports,
// then bars), then the earlier one in its list.
std::optional<TItemRef> PickItem(const TPrutovaSoustava& truss, QPointF cursor,
                                 const TToScreen& toScreen, double tolerance = PickTolerance);

// The point of the joint nearest to the cursor within radius.
std::optional<QPoint> PickJoint(const TPrutovaSoustava& truss, QPointF cursor,
                                const TToScreen& toScreen, double radius = JointPickRadius);

// The items wholly inside a rectangle of the widget: bars with both ends, supports and loads by
// their point.
std::vector<TItemRef> ItemsInside(const TPrutovaSoustava& truss, const QRectF& rect,
                                  const TToScreen& toScreen);

// The tip of a load's arrow in drawing units: its magnitude is its length.
QPointF LoadTip(const TSila& load);
