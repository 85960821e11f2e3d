// Deleting, appending and copying sets of items: numbering, vanishing joints, undo steps, text.
#include "TrussEditing.h"
#include "TrussSystem.h"

#include <gtest/gtest.h>

namespace {

QStringList Lines(const char* text) {
    return SplitTrussLines(QString::fromUtf8(text));
}

// Everything the numbering decides, in list order: bar numbers, reaction numbers, and the joints
// with their numbers and places.
QStringList Numbering(const TPrutovaSoustava& t) {
    QStringList out;
    for (int i = 0; i < t.PrutCount(); ++i)
        out << QStringLiteral("S%1").arg(t.Prut(i).Number);
    for (int i = 0; i < t.PodperaCount(); ++i)
        out << QStringLiteral("R%1/%2")
                   .arg(t.Podpera(i).ReactionXNumber)
                   .arg(t.Podpera(i).ReactionYNumber);
    for (int i = 0; i < t.StycnikCount(); ++i)
        out << QStringLiteral("J%1@%2,%3")
                   .arg(t.Stycnik(i).Number)
                   .arg(t.Stycnik(i).X)
                   .arg(t.Stycnik(i).Y);
    return out;
}

// A square with a diagonal on a pin and a roller, loaded at two corners.
class TrussEditingTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.AddPrut(100, 300, 300, 300);
        t.AddPrut(300, 300, 300, 100);
        t.AddPrut(300, 100, 100, 100);
        t.AddPrut(100, 100, 100, 300);
        t.AddPrut(100, 300, 300, 100);
        t.AddPodpera(100, 300, P_X | P_Y, 0);
        t.AddPodpera(300, 300, P_Y, 0);
        t.AddSila(300, 100, 10, 0);
        t.AddSila(100, 100, 20, 90);
    }
    TPrutovaSoustava t;
};

TEST_F(TrussEditingTest, DeleteNumbersAsALoadOfTheRemainingTextAndIsOneUndoStep) {
    const int before = t.SnapshotCount();
    TItemIndices which;
    which.Bars = {1};     // (300,300)-(300,100)
    which.Supports = {0}; // the pin
    t.DeleteItems(which);
    EXPECT_EQ(t.SnapshotCount(), before + 1);

    TPrutovaSoustava loaded;
    loaded.RecordSnapshots = false;
    loaded.LoadFromStrings(Lines("[Pruty]\nCount=4\n"
                                 "Sa_X0=100\nSa_Y0=300\nSb_X0=300\nSb_Y0=300\n"
                                 "Sa_X1=300\nSa_Y1=100\nSb_X1=100\nSb_Y1=100\n"
                                 "Sa_X2=100\nSa_Y2=100\nSb_X2=100\nSb_Y2=300\n"
                                 "Sa_X3=100\nSa_Y3=300\nSb_X3=300\nSb_Y3=100\n"
                                 "[Podpery]\nCount=1\nX0=300\nY0=300\nP_X0=0\nP_Y0=1\nKv0=0\n"
                                 "[Zatizeni]\nCount=2\nSila0=10\nX0=300\nY0=100\nUhel0=0\n"
                                 "Sila1=20\nX1=100\nY1=100\nUhel1=90\n"));
    EXPECT_EQ(Numbering(t), Numbering(loaded));
    EXPECT_EQ(t.Podpera(0).ReactionYNumber, 5) << "the roller's reaction was 8, after the pin's";

    t.Undo();
    EXPECT_EQ(t.PrutCount(), 5);
    EXPECT_EQ(t.PodperaCount(), 2);
}

TEST_F(TrussEditingTest, JointsWithNothingLeftAtThemVanish) {
    ASSERT_EQ(t.StycnikCount(), 4);
    TItemIndices which;
    which.Bars = {1, 2, 4}; // every bar at (300,100); the load there keeps its joint
    t.DeleteItems(which);
    EXPECT_EQ(t.StycnikCount(), 4);
    which = {};
    which.Loads = {0};
    t.DeleteItems(which);
    EXPECT_EQ(t.StycnikCount(), 3);
    EXPECT_EQ(t.FindStycnik(300, 100), -1);
}

TEST_F(TrussEditingTest, AppendedItemsGoLastAndAreOneUndoStep) {
    const int before = t.SnapshotCount();
    const auto extra =
        ReadTrussText(QStringLiteral("[Pruty]\r\nCount=1\r\nSa_X0=500\r\nSa_Y0=100\r\n"
                                     "Sb_X0=600\r\nSb_Y0=100\r\n[Zatizeni]\r\n"
                                     "Count=1\r\nSila0=5\r\nX0=600\r\nY0=100\r\n"
                                     "Uhel0=45\r\n"));
    ASSERT_TRUE(extra);
    const auto added = t.AppendItems(*extra);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->Bars, std::vector<int>{5});
    EXPECT_TRUE(added->Supports.empty());
    EXPECT_EQ(added->Loads, std::vector<int>{2});
    EXPECT_EQ(t.Prut(5).Sa_X, 500);
    EXPECT_EQ(t.Prut(5).Number, 6);
    EXPECT_EQ(t.Sila(2).Uhel, 45);
    EXPECT_EQ(t.SnapshotCount(), before + 1);
    t.Undo();
    EXPECT_EQ(t.PrutCount(), 5);
    EXPECT_EQ(t.SilaCount(), 2);
}

TEST_F(TrussEditingTest, AppendBeyondWhatAFileHoldsChangesNothing) {
    TTrussItems many = t.Items();
    many.Bars.assign(MaxFileItemCount, many.Bars.front());
    const int before = t.SnapshotCount();
    EXPECT_FALSE(t.AppendItems(many));
    EXPECT_EQ(t.PrutCount(), 5);
    EXPECT_EQ(t.SnapshotCount(), before);
}

TEST_F(TrussEditingTest, TextOfASelectionHoldsJustThoseItems) {
    TItemIndices which;
    which.Bars = {4};
    which.Supports = {1};
    which.Loads = {1};
    const QStringList text = t.ItemsText(which);
    const auto read = ReadTrussText(text.join(QStringLiteral("\r\n")));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->Bars.size(), 1u);
    EXPECT_EQ(std::tie(read->Bars[0].SaX, read->Bars[0].SaY, read->Bars[0].SbX, read->Bars[0].SbY),
              std::make_tuple(100, 300, 300, 100));
    ASSERT_EQ(read->Supports.size(), 1u);
    EXPECT_EQ(read->Supports[0].X, 300);
    EXPECT_EQ(read->Supports[0].Fixed, P_Y);
    ASSERT_EQ(read->Loads.size(), 1u);
    EXPECT_EQ(read->Loads[0].Sila, 20);
    EXPECT_EQ(read->Loads[0].Uhel, 90);
    EXPECT_FALSE(text.join(u'\n').contains(QStringLiteral("[Info]")))
        << "no time stamp: the same selection always gives the same text";
}

TEST(PlaceBeside, MovesByWholeGridStepsUntilNothingOverlaps) {
    const auto items = [](int x) {
        TTrussItems i;
        TTrussItems::TSupport s{};
        s.X = x;
        s.Y = 0;
        s.Fixed = P_Y;
        i.Supports.push_back(s);
        return i;
    };
    TTrussItems existing = items(0);
    EXPECT_EQ(PlaceBeside(existing, items(40), 20)->Supports[0].X, 40) << "nothing in the way";
    existing.Supports.push_back(items(20).Supports[0]);
    existing.Supports.back().Y = 20;
    const auto placed = PlaceBeside(existing, items(0), 20);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->Supports[0].X, 40) << "(20, 20) is taken as well";
    EXPECT_EQ(placed->Supports[0].Y, 40);
    EXPECT_FALSE(PlaceBeside(items(5), items(5), std::numeric_limits<int>::max()))
        << "a move beyond the 32-bit range is refused";
}

TEST(ReadTrussText, RefusesWhatIsNoTruss) {
    const char* refused[] = {
        "hello world",
        "[Pruty]\nCount=0\n",
        "[Info]\nCount=3\n",
        "[Pruty]\nCount=1001\n",
        "[Podpery]\nCount=1\nX0=1\nKv0=300\n",
    };
    for (const char* text : refused)
        EXPECT_FALSE(ReadTrussText(QString::fromUtf8(text))) << text;
    const auto read = ReadTrussText(QStringLiteral("; a comment\n[zatizeni]\ncount=1\nsila0=7"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Loads.at(0).Sila, 7);
}

} // namespace
