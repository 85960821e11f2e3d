// The solution by joints: the solver's forces joint by joint, hand statics in the equations,
// the block of a K-braced truss, and what it says of redundant and movable trusses.
#include "JointSteps.h"
#include "JointStepsText.h"
#include "plsLangConsts.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace {

const double Sqrt2 = std::sqrt(2.0);

// The value the entities hold for an unknown after Solve.
double solverValue(const TPrutovaSoustava& t, const TStepUnknown& u) {
    switch (u.Kind) {
    case TStepUnknown::TKind::Bar:
        return t.Prut(u.Index).Sila;
    case TStepUnknown::TKind::ReactionX:
        return t.Podpera(u.Index).ReactionX;
    case TStepUnknown::TKind::ReactionY:
        break;
    }
    return t.Podpera(u.Index).ReactionY;
}

// How often each joint is taken by a joint or block step.
std::map<int, int> jointUses(const TJointSteps& s) {
    std::map<int, int> uses;
    for (const TJointStep& step : s.Steps)
        if (step.Kind != TJointStep::TKind::Reactions)
            for (const int j : step.Joints)
                ++uses[j];
    return uses;
}

const TStepUnknown& unknownNamed(const TJointSteps& s, const QString& name) {
    for (const TStepUnknown& u : s.Unknowns)
        if (u.Name == name)
            return u;
    ADD_FAILURE() << "no unknown " << name.toStdString();
    return s.Unknowns.front();
}

TEST(JointSteps, EveryDeterminateTrussGivesTheSolversForcesTakingEachJointOnce) {
    QStringList files;
    for (const char* folder : {TRABEX_EXAMPLES, TRABEX_TEST_DATA}) {
        const QDir dir(QString::fromUtf8(folder));
        for (const QString& name : dir.entryList({QStringLiteral("*.trs")}, QDir::Files))
            files << dir.absoluteFilePath(name);
    }
    int compared = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        TPrutovaSoustava t;
        try {
            t.LoadFromFile(file);
        } catch (const std::exception&) {
            continue; // files the reader refuses on purpose
        }
        if (t.StaticIndeterminacy() != 0 || t.Solve() != 0)
            continue;
        const TJointSteps s = SolveByJoints(t);
        EXPECT_TRUE(s.Solved);
        EXPECT_EQ(s.Determinacy, TDeterminacy::Determinate);
        const std::map<int, int> uses = jointUses(s);
        EXPECT_EQ(uses.size(), static_cast<size_t>(t.StycnikCount()));
        for (const auto& [joint, count] : uses)
            EXPECT_EQ(count, 1) << "joint index " << joint;
        for (const TStepUnknown& u : s.Unknowns) {
            ASSERT_TRUE(u.Value) << u.Name.toStdString();
            EXPECT_NEAR(*u.Value, solverValue(t, u), 1e-9) << u.Name.toStdString();
        }
        // 2 equations per joint for as many unknowns: only the three equations of the whole
        // truss add to them, and exactly that many joint equations are left to check.
        int checks = 0, wholeTruss = 0;
        for (const TJointStep& step : s.Steps) {
            wholeTruss += step.Kind == TJointStep::TKind::Reactions;
            for (const TStepEquation& e : step.Equations)
                if (e.Check) {
                    ++checks;
                    EXPECT_LE(std::abs(e.Residual), 1e-9 * s.ForceScale);
                }
        }
        EXPECT_EQ(checks, 3 * wholeTruss);
        ++compared;
    }
    EXPECT_GE(compared, 9);
}

// A triangle of span 200 and height 100 on a pin (joint 1) and a roller in y (joint 2), 10 down
// at the apex (joint 3). By hand: at the apex both rafters carry -10 / (2 sin 45) = -5 sqrt 2;
// at joint 2 the chord takes 5 and the roller -5; at joint 1 Rx1 = 0, Ry1 = -5.
TEST(JointSteps, ATriangleShowsTheHandStaticsWithTheNumbersPutIn) {
    TPrutovaSoustava t;
    t.AddPrut(40, 140, 240, 140);
    t.AddPrut(240, 140, 140, 40);
    t.AddPrut(140, 40, 40, 140);
    t.AddPodpera(40, 140, P_X | P_Y, 0);
    t.AddPodpera(240, 140, P_Y, 0);
    t.AddSila(140, 40, 10, 90);
    const TJointSteps s = SolveByJoints(t);
    ASSERT_EQ(s.Steps.size(), 3u);
    const int order[] = {3, 2, 1};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.Steps[static_cast<size_t>(i)].Kind, TJointStep::TKind::Joint);
        EXPECT_EQ(s.Joints[static_cast<size_t>(s.Steps[static_cast<size_t>(i)].Joints[0])].Number,
                  order[i]);
    }
    // At the apex: S2 leaves toward (240, 140) at 45 degrees, S3 toward (40, 140) at 135.
    const TStepEquation& x = s.Steps[0].Equations[0];
    ASSERT_EQ(x.Terms.size(), 3u);
    EXPECT_NEAR(x.Terms[0].Coefficient, Sqrt2 / 2, 1e-15);
    EXPECT_NEAR(x.Terms[1].Coefficient, -Sqrt2 / 2, 1e-15);
    EXPECT_EQ(x.Terms[2].Coefficient, 0); // the load is vertical
    EXPECT_EQ(EquationText(s, x, false), QStringLiteral("ΣFx = 0:  0.70711·S2 - 0.70711·S3 = 0"));
    EXPECT_EQ(EquationText(s, s.Steps[0].Equations[1], false),
              QStringLiteral("ΣFy = 0:  0.70711·S2 + 0.70711·S3 + 10 = 0"));
    // At joint 2 the rafter found at the apex is a number; the chord points to 180 degrees.
    EXPECT_EQ(EquationText(s, s.Steps[1].Equations[0], false),
              QStringLiteral("ΣFx = 0:  -S1 - 0.70711·(-7.0711) = 0"));

    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("S2")).Value, -5 * Sqrt2, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("S3")).Value, -5 * Sqrt2, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("S1")).Value, 5, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Ry2")).Value, -5, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Rx1")).Value, 0, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Ry1")).Value, -5, 1e-12);

    const QString text = JointStepsText(s);
    EXPECT_TRUE(text.contains(QStringLiteral("Soustava je staticky určitá: 6 ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Krok 1: styčník 3 (140, 40)\n")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("  Řešení: S2 = -7.0711 (tlak), S3 = -7.0711 (tlak)\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Reakce\n  Rx1 = 0\n  Ry1 = -5\n  Ry2 = -5\n")));

    // One free-body picture per step, each with the unknowns in red and the apex's load purple.
    const QString html = JointStepsHtml(s);
    static const QRegularExpression png(
        QStringLiteral("<img src=\"data:image/png;base64,([^\"]+)\""));
    QList<QImage> images;
    for (const auto& m : png.globalMatch(html))
        images << QImage::fromData(QByteArray::fromBase64(m.captured(1).toLatin1()), "PNG");
    ASSERT_EQ(images.size(), 3);
    auto has = [](const QImage& image, QRgb colour) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    };
    EXPECT_TRUE(has(images[0], qRgb(200, 0, 0)));
    EXPECT_TRUE(has(images[0], qRgb(128, 0, 128)));
    EXPECT_FALSE(has(images[2], qRgb(128, 0, 128))) << "joint 1 carries no load";
}

// Three K-braced panels, the K's opening toward the supports, a single diagonal in the middle:
//
//   T0 ---- T1 ---- T2 ---- T3        y 40
//   |  \    |      / |    / |
//   |   `- M1     /  M2 -´  |         y 80
//   |  /    |    /   |   \  |
//   B0 ---- B1 ---- B2 ---- B3        y 120, x 40, 120, 200, 280
//
// 10 joints, 17 bars and 3 reactions: determinate. Once the reactions are known every joint still
// has three or four unknowns, and two or three joints together always have more unknowns than
// equations (each adds at least three, and they share at most three bars). T0, B0, M1 and T1
// have eight unknowns for their eight equations and form two triangles (T0 B0 M1, T0 M1 T1), a
// rigid part held by T1-T2, M1-B1 and B0-B1: the smallest block. Its mirror B2, M2, T3, B3 is the
// other; the bars are added so that the first block holds joints 1 to 4.
void BuildKTruss(TPrutovaSoustava& t) {
    t.AddPrut(40, 40, 40, 120);   // T0 B0: joints 1, 2
    t.AddPrut(120, 80, 40, 40);   // M1 T0: joint 3
    t.AddPrut(40, 40, 120, 40);   // T0 T1: joint 4
    t.AddPrut(120, 80, 40, 120);  // M1 B0
    t.AddPrut(120, 40, 120, 80);  // T1 M1
    t.AddPrut(120, 80, 120, 120); // M1 B1
    t.AddPrut(40, 120, 120, 120); // B0 B1
    t.AddPrut(120, 40, 200, 40);  // T1 T2
    t.AddPrut(120, 120, 200, 120);
    t.AddPrut(120, 120, 200, 40); // the middle diagonal B1 T2
    t.AddPrut(200, 40, 280, 40);
    t.AddPrut(200, 120, 280, 120);
    t.AddPrut(200, 40, 200, 80);
    t.AddPrut(200, 80, 200, 120);
    t.AddPrut(200, 80, 280, 40);
    t.AddPrut(200, 80, 280, 120);
    t.AddPrut(280, 40, 280, 120);
    t.AddPodpera(40, 120, P_X | P_Y, 0);
    t.AddPodpera(280, 120, P_Y, 0);
    t.AddSila(120, 120, 10, 90);
    t.AddSila(200, 120, 10, 90);
}

TEST(JointSteps, AKBracedTrussSolvesItsEndPanelAsOneBlock) {
    TPrutovaSoustava t;
    BuildKTruss(t);
    ASSERT_EQ(t.StaticIndeterminacy(), 0);
    ASSERT_EQ(t.Solve(), 0);
    const TJointSteps s = SolveByJoints(t);
    ASSERT_TRUE(s.Solved);
    ASSERT_GE(s.Steps.size(), 2u);
    // No joint can start, so the reactions come first: two loads of 10 on a symmetric span.
    EXPECT_EQ(s.Steps[0].Kind, TJointStep::TKind::Reactions);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Ry2")).Value, -10, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Rx2")).Value, 0, 1e-12);
    ASSERT_EQ(s.Steps[1].Kind, TJointStep::TKind::Block);
    std::vector<int> numbers;
    for (const int j : s.Steps[1].Joints)
        numbers.push_back(s.Joints[static_cast<size_t>(j)].Number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(s.Steps[1].Equations.size(), 8u);
    EXPECT_EQ(s.Steps[1].Found.size(), 8u);
    // After the block the rest goes joint by joint again.
    for (size_t i = 2; i < s.Steps.size(); ++i)
        EXPECT_EQ(s.Steps[i].Kind, TJointStep::TKind::Joint);
    for (const auto& [joint, count] : jointUses(s))
        EXPECT_EQ(count, 1);
    for (const TStepUnknown& u : s.Unknowns)
        EXPECT_NEAR(*u.Value, solverValue(t, u), 1e-9) << u.Name.toStdString();
    EXPECT_TRUE(
        JointStepsText(s).contains(QStringLiteral("Krok 2: styčníky 1, 2, 3 a 4 najednou")));
}

TEST(JointSteps, RedundantAndMovableTrussesSayWhatStaticsCannotGive) {
    // The braced square: 10 along +x at (40, 40) on a pin at (40, 140) and a roller at
    // (140, 140). Moments about the pin give Ry2 = -10, then Ry1 = 10 and Rx1 = -10; the six
    // bars of a square with both diagonals are one more than statics can give.
    TPrutovaSoustava square;
    square.LoadFromFile(QStringLiteral(TRABEX_TEST_DATA "/braced-square.trs"));
    const TAnalysis a = Analyse(square);
    ASSERT_EQ(a.Method, TSolveMethod::Stiffness);
    const TJointSteps s = SolveByJoints(square, &a);
    EXPECT_EQ(s.Determinacy, TDeterminacy::Indeterminate);
    EXPECT_EQ(s.Rank, 8);
    EXPECT_FALSE(s.Solved);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Rx1")).Value, -10, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Ry1")).Value, 10, 1e-12);
    EXPECT_NEAR(*unknownNamed(s, QStringLiteral("Ry2")).Value, -10, 1e-12);
    for (const TStepUnknown& u : s.Unknowns)
        if (u.Kind == TStepUnknown::TKind::Bar) {
            EXPECT_FALSE(u.Value);
            ASSERT_TRUE(u.StiffnessValue);
            EXPECT_EQ(*u.StiffnessValue, square.Prut(u.Index).Sila);
        }
    const QString text = JointStepsText(s);
    EXPECT_TRUE(text.contains(QStringLiteral("Soustava je staticky neurčitá")));
    EXPECT_TRUE(text.contains(QStringLiteral("Rovnováha styčníků nedá: S1, S2, S3, S4, S5, S6.")));
    EXPECT_TRUE(text.contains(QStringLiteral("S6 = -5.3553 kN (spočítáno tuhostní metodou)")));

    // The same square without diagonals sways: at the top-left joint the load needs -10 in the
    // top bar, which the top-right joint, holding it alone along x, cannot balance.
    TPrutovaSoustava sway;
    sway.LoadFromFile(QStringLiteral(TRABEX_TEST_DATA "/mechanism.trs"));
    const TAnalysis m = Analyse(sway);
    const TJointSteps ms = SolveByJoints(sway, &m);
    EXPECT_EQ(ms.Determinacy, TDeterminacy::Mechanism);
    EXPECT_FALSE(ms.Solved);
    ASSERT_GE(ms.UnbalancedStep, 0);
    EXPECT_NEAR(std::abs(ms.UnbalancedResidual), 10, 1e-12);
    EXPECT_TRUE(JointStepsText(ms).contains(QStringLiteral("styčníky 3 a 4 se mohou pohnout")));

    TPrutovaSoustava empty;
    EXPECT_TRUE(JointStepsText(SolveByJoints(empty)).contains(str_KrokyPrazdna));
}

} // namespace
