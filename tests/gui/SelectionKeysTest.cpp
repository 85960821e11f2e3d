// The selection's keys through undo and equal items, and picking measured in screen pixels.
#include "TrussHitTest.h"
#include "TrussSelection.h"
#include "TrussSystem.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

const TToScreen Same = [](QPointF p) { return p; };

TEST(SelectionKeys, TellEqualBarsApartAndSurviveTheRenumberingOfUndo) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 0, 0); // the same two points the other way round
    t.AddPrut(0, 0, 0, 100);
    TTrussSelection selection;
    selection.Set(t, std::vector<TItemRef>{{TItemKind::Bar, 1}});
    EXPECT_EQ(selection.Resolve(t).Bars, std::vector<int>{1});

    t.Undo();
    t.Redo();
    EXPECT_EQ(selection.Resolve(t).Bars, std::vector<int>{1});
    QSignalSpy changed(&selection, &TTrussSelection::Changed);
    t.Undo();
    selection.Prune(t);
    EXPECT_EQ(changed.count(), 0) << "the third bar went; the selected one is still there";
    t.Undo();
    selection.Prune(t);
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_EQ(changed.count(), 1);
}

TEST(SelectionKeys, SupportsByKindAndLoadsByRankAtTheirPoint) {
    TPrutovaSoustava t;
    t.AddPodpera(0, 0, P_Y, 0);
    t.AddPodpera(0, 0, P_X, 0);
    t.AddSila(0, 0, 5, 90);
    t.AddSila(0, 0, 7, 0);
    TTrussSelection selection;
    selection.Set(t, std::vector<TItemRef>{{TItemKind::Support, 1}, {TItemKind::Load, 1}});
    // Everything listed again in another order: the keys follow the items, not the places.
    TTrussItems items = t.Items();
    std::swap(items.Supports[0], items.Supports[1]);
    t.ReplaceItems(items);
    const TItemIndices found = selection.Resolve(t);
    EXPECT_EQ(found.Supports, std::vector<int>{0});
    EXPECT_EQ(t.Podpera(found.Supports[0]).Fixed, P_X);
    EXPECT_EQ(found.Loads, std::vector<int>{1});
}

struct TPickCase {
    QPointF Cursor;
    double Scale; // screen pixels per drawing unit
    std::optional<TItemKind> Expected;
};

class PickInScreenPixels : public ::testing::TestWithParam<TPickCase> {};

// A bar from (0, 100) to (200, 100), a load of 40 at (100, 100) pointing down (its arrow to
// (100, 140)), and a fixed support at (200, 100) whose picture covers (180..220, 80..120).
TEST_P(PickInScreenPixels, NearestWithinFivePixelsOnTopFirst) {
    TPrutovaSoustava t;
    t.AddPrut(0, 100, 200, 100);
    t.AddSila(100, 100, 40, 90);
    t.AddPodpera(200, 100, P_X | P_Y, 0);
    const TPickCase c = GetParam();
    const TToScreen zoom = [&c](QPointF p) { return p * c.Scale; };
    const auto hit = PickItem(t, c.Cursor, zoom);
    if (!c.Expected) {
        EXPECT_FALSE(hit);
        return;
    }
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->Kind, *c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PickInScreenPixels,
    ::testing::Values(TPickCase{{50, 104}, 1, TItemKind::Bar},
                      TPickCase{{50, 106}, 1, std::nullopt},
                      // At twice the size the tolerance stays 5 screen pixels: 2.5 units.
                      TPickCase{{100, 204}, 2, TItemKind::Bar},
                      TPickCase{{100, 206}, 2, std::nullopt},
                      TPickCase{{101, 130}, 1, TItemKind::Load},
                      // Where the load's arrow leaves the bar both are 0 away: the load is on top.
                      TPickCase{{100, 100}, 1, TItemKind::Load},
                      TPickCase{{205, 115}, 1, TItemKind::Support},
                      TPickCase{{190, 101}, 1, TItemKind::Bar}));

TEST(ItemsInside, TakesBarsWithBothEndsAndPointsInside) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    t.AddPrut(100, 0, 300, 0);
    t.AddSila(100, 0, 10, 0);
    const auto found = ItemsInside(t, QRectF(QPointF(110, 10), QPointF(-10, -10)), Same);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], (TItemRef{TItemKind::Bar, 0}));
    EXPECT_EQ(found[1], (TItemRef{TItemKind::Load, 0}));
}

} // namespace
