// The result tables in the document's units, their CSV against hand-written text, and the
// clipboard's tab-separated text in the user's locale.
#include "TableText.h"
#include "ResultTables.h"
#include "UMatrix.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(ResultsCsv, QuotesUnitNamesAndLeavesUnknownValuesEmpty) {
    // One bar on a pin alone cannot stand: nothing is solved, so no force has a value.
    TPrutovaSoustava t;
    t.Units = {0.01, QStringLiteral("a,b"), QStringLiteral("k\"N")};
    t.AddPrut(0, 0, 100, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddSila(100, 0, 10, 90);
    const TAnalysis a = Analyse(t);
    ASSERT_EQ(a.Err, 2);
    const QString expected = QStringLiteral("Pruty\r\n"
                                            "Prut,Styčník A,Styčník B,\"Délka [a,b]\",\"Síla "
                                            "[k\"\"N]\",Tah/tlak\r\n"
                                            "1,1,2,1,,\r\n"
                                            "\r\n"
                                            "Podpory\r\n"
                                            "Styčník,\"x [a,b]\",\"y [a,b]\",Vazba,\"Rx [k\"\"N]\","
                                            "\"Ry [k\"\"N]\"\r\n"
                                            "1,0,0,x a y,,\r\n"
                                            "\r\n"
                                            "Styčníky\r\n"
                                            "Styčník,\"x [a,b]\",\"y [a,b]\"\r\n"
                                            "1,0,0\r\n"
                                            "2,1,0\r\n");
    EXPECT_EQ(ResultsCsv(ResultTables(ResultsOf(t, a))), expected);

    EXPECT_EQ(CsvField(QStringLiteral("a\r\nb")), QStringLiteral("\"a\r\nb\""));
    EXPECT_EQ(CsvField(QStringLiteral(" plain ")), QStringLiteral(" plain "));
    EXPECT_EQ(CsvNumber(-0.0), QStringLiteral("0"));
    EXPECT_EQ(CsvNumber(1.25e-20), QStringLiteral("1.25e-20"));
    EXPECT_EQ(CsvNumber(140 * 0.01), QStringLiteral("1.4"));
    // A comma locale changes the clipboard's numbers, never the file's.
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    EXPECT_EQ(CsvNumber(-2.5), QStringLiteral("-2.5"));
    QLocale::setDefault(QLocale::c());
}

// The braced square of tests/data, one drawing unit 0.01 m, forces in kN, solved by stiffness.
// By the force method (see the CLI test): sides 25 - 15 sqrt 2 (bottom, left) in tension and
// 15 - 15 sqrt 2 (right, top) in compression.
TEST(ResultTables, CarryTheUnitsTheSensesAndWhatIsNotKnown) {
    TPrutovaSoustava t;
    t.LoadFromFile(QStringLiteral(TRABEX_TEST_DATA "/braced-square.trs"));
    const TAnalysis a = Analyse(t);
    const TTrussResults r = ResultsOf(t, a);
    const TResultTable bars = BarsTable(r);
    EXPECT_EQ(bars.Headers[3], QStringLiteral("Délka [m]"));
    EXPECT_EQ(bars.Headers[4], QStringLiteral("Síla [kN]"));
    EXPECT_NEAR(bars.Rows[0][3].Number, 1, 1e-15);
    EXPECT_NEAR(bars.Rows[4][3].Number, std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(bars.Rows[0][4].Number, 25 - 15 * std::sqrt(2.0), 1e-9);
    EXPECT_EQ(bars.Rows[0][5].Text, QStringLiteral("tah"));
    EXPECT_EQ(bars.Rows[1][5].Text, QStringLiteral("tlak"));
    // End A of the first bar is (40, 140), the first joint made.
    EXPECT_EQ(bars.Rows[0][1].Number, 1);

    const TResultTable supports = SupportsTable(r);
    EXPECT_NEAR(supports.Rows[0][2].Number, 1.4, 1e-15);
    EXPECT_EQ(supports.Rows[0][3].Text, QStringLiteral("x a y"));
    EXPECT_EQ(supports.Rows[1][3].Text, QStringLiteral("y"));
    EXPECT_EQ(supports.Rows[1][4].Kind, TResultCell::TKind::Empty) << "a y roller has no Rx";
    EXPECT_NEAR(supports.Rows[1][5].Number, -10, 1e-9);
    EXPECT_EQ(JointsTable(r).Headers.size(), 5) << "stiffness gives the displacements";

    // The joint method cannot solve this numbering: every force is unknown, the roller's x
    // reaction still does not apply, and there are no displacements.
    const TTrussResults failed = ResultsOf(t, Analyse(t, {TSolveMethod::Joints, false}));
    const TResultTable unsolved = BarsTable(failed);
    EXPECT_EQ(unsolved.Rows[0][4].Kind, TResultCell::TKind::Unknown);
    EXPECT_EQ(unsolved.Rows[0][5].Kind, TResultCell::TKind::Unknown);
    EXPECT_EQ(SupportsTable(failed).Rows[0][4].Kind, TResultCell::TKind::Unknown);
    EXPECT_EQ(SupportsTable(failed).Rows[1][4].Kind, TResultCell::TKind::Empty);
    EXPECT_EQ(JointsTable(failed).Headers.size(), 3);
}

TEST(ResultTables, AZeroForceIsWhatTheDrawingShowsGrey) {
    TPrutovaSoustava t;
    t.AddPrut(0, 0, 100, 0);
    TAnalysis solved;
    EquationStore.Err = 0;
    for (const double force : {4e-6, -4e-6, 6e-6, -6e-6, 0.0, 12.5}) {
        t.Prut(0).Sila = force;
        const bool grey = ForceColour(force, 20, -20) == QColor(192, 192, 192);
        EXPECT_EQ(ResultsOf(t, solved).Bars[0].Sense == TForceSense::Zero, grey) << force;
    }
}

TEST(TableTsv, TakesTheChosenCellsInTheUsersLocale) {
    TResultTable table{QStringLiteral("T"),
                       {QStringLiteral("a"), QStringLiteral("b\tc"), QStringLiteral("d")},
                       {{TResultCell::Of(1.5), TResultCell::Of(QStringLiteral("x\ny")), {}},
                        {TResultCell::Of(-1234567.25),
                         {TResultCell::TKind::Unknown, 0, {}},
                         TResultCell::Of(2.0)}}};
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    const QString czech = TableTsv(table, {1, 0}, {0, 2, 1}, true);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(czech, QStringLiteral("a\td\tb c\n"
                                    "-1234567,25\t2\t\n"
                                    "1,5\t\tx y\n"));
    EXPECT_EQ(TableTsv(table, {0}, {0}, false), QStringLiteral("1.5\n"));
}

TEST(CellDisplayText, SixDigitsInTheUsersLocaleAndAQuestionMarkForUnknown) {
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    // -5√2, the sloping bars of the loaded triangle.
    EXPECT_EQ(CellDisplayText(TResultCell::Of(-5 * std::sqrt(2.0))), QStringLiteral("-7,07107"));
    EXPECT_EQ(CellDisplayText(TResultCell::Of(12345678.0)), QStringLiteral("1,23457E+07"));
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(CellDisplayText(TResultCell::Of(1.25e-19)), QStringLiteral("0"));
    EXPECT_EQ(CellDisplayText({TResultCell::TKind::Unknown, 0, {}}), QStringLiteral("?"));
    EXPECT_EQ(CellDisplayText({}), QString());
}

} // namespace
