// The entry point: which method answers, what the entities then hold, and the report lines.
#include "Analysis.h"
#include "AnalysisCases.h"
#include "UMatrix.h"
#include "plsLangConsts.h"

#include <gtest/gtest.h>

namespace {

TEST(Analyse, AutoSolvesARedundantTrussByStiffnessAndJointsLeaveTheDesignedAnswer) {
    TPrutovaSoustava t;
    BuildBracedSquare(t, 1, true);

    // The joint equations solve the square as if diagonal 2-4 were not there: the primary
    // structure of the force method (see StiffnessTest), and 0 in the left-out bar.
    const TAnalysis joints = Analyse(t, {TSolveMethod::Joints, false});
    EXPECT_EQ(joints.Method, TSolveMethod::Joints);
    EXPECT_EQ(joints.Err, 0);
    EXPECT_EQ(t.Prut(5).Sila, 0);
    EXPECT_NEAR(t.Prut(4).Sila, 10 * Sqrt2, 1e-9);
    EXPECT_NEAR(t.Prut(2).Sila, -10, 1e-9);
    EXPECT_FALSE(joints.Displacements);
    EXPECT_EQ(DescribeAnalysis(joints), QString());

    const TAnalysis a = Analyse(t);
    EXPECT_EQ(a.Method, TSolveMethod::Stiffness);
    EXPECT_EQ(a.Err, 0);
    EXPECT_FALSE(a.Mechanism);
    // The force method's answer (see StiffnessTest) is now in the entities and in the report.
    EXPECT_NEAR(t.Prut(5).Sila, -5 * Sqrt2, 1e-9);
    EXPECT_NEAR(t.Prut(0).Sila, 5, 1e-9);
    EXPECT_NEAR(t.Podpera(0).ReactionX, -10, 1e-9);
    EXPECT_NEAR(t.Podpera(1).ReactionY, -10, 1e-9);
    EXPECT_TRUE(t.Describe().contains(QStringLiteral("Síla:-7.1")));
    EXPECT_NEAR(t.SumAbsSila(), 20 + 10 * Sqrt2, 1e-9);
    ASSERT_TRUE(a.Displacements);
    EXPECT_NEAR((*a.Displacements)[t.FindStycnik(40, 40)].Ux, 1000 * (1 + Sqrt2), 1e-7);

    // Numbered the other way the joint equations fail, though the square cannot move.
    TPrutovaSoustava u;
    BuildBracedSquare(u);
    const TAnalysis failed = Analyse(u, {TSolveMethod::Joints, false});
    EXPECT_EQ(failed.Err, 2);
    ASSERT_TRUE(failed.Mechanism);
    EXPECT_EQ(failed.Mechanism->Kind, TMechanismKind::None);
}

TEST(Analyse, ADeterminateTrussKeepsTheJointMethodAndGetsDisplacementsOnRequest) {
    TPrutovaSoustava t;
    t.Units = {0.01, QStringLiteral("m"), QStringLiteral("kN")};
    t.AddPrut(0, 0, 100, 0);
    t.Prut(0).EA = 2000;
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    t.AddSila(100, 0, 10, 0);

    const TAnalysis plain = Analyse(t);
    EXPECT_EQ(plain.Method, TSolveMethod::Joints);
    EXPECT_EQ(plain.Err, 0);
    EXPECT_EQ(DescribeAnalysis(plain), QString());

    const TAnalysis a = Analyse(t, {TSolveMethod::Auto, true});
    EXPECT_EQ(a.Method, TSolveMethod::Joints);
    ASSERT_TRUE(a.Displacements);
    // u = N L / EA = 10 * 1 m / 2000 = 0.005 m, written with five significant digits.
    EXPECT_EQ(DescribeAnalysis(a), QStringLiteral("\r\nPosuny styčníků: 2 ====================\r\n"
                                                  "  1: ux=0.0000000 m, uy=0.0000000 m\r\n"
                                                  "  2: ux=0.0050000 m, uy=0.0000000 m\r\n"));
    // A tenth of the truss's 100 units shows the 0.5 drawing units of motion 20 times larger.
    EXPECT_NEAR(DeformationScale(t, *a.Displacements), 20, 1e-9);

    const TAnalysis s = Analyse(t, {TSolveMethod::Stiffness, false});
    EXPECT_TRUE(DescribeAnalysis(s).startsWith(QStringLiteral("\r\nMetoda: tuhostní\r\n")));
}

TEST(Analyse, AFailureNamesTheMechanismAndKeepsTheLastForces) {
    TPrutovaSoustava t;
    BuildBracedSquare(t);
    Analyse(t);
    const double before = t.Prut(0).Sila;
    // Without the roller only the pin holds the square: it can turn about the pin.
    t.Podpery.pop_back();
    t.MoveStycnik(QPoint(-1, -1), QPoint(-1, -1));
    for (const TSolveMethod method : {TSolveMethod::Auto, TSolveMethod::Stiffness}) {
        const TAnalysis a = Analyse(t, {method, true});
        EXPECT_EQ(a.Err, 2);
        EXPECT_FALSE(a.Displacements);
        ASSERT_TRUE(a.Mechanism);
        EXPECT_EQ(a.Mechanism->Kind, TMechanismKind::Rotation);
        EXPECT_EQ(a.Mechanism->CentreX, 40);
        EXPECT_EQ(a.Mechanism->CentreY, 140);
        EXPECT_EQ(t.Prut(0).Sila, before);
    }
}

// 201 bars between the same two joints are more unknowns than the joint equations hold; the
// stiffness method still shares the pull among them.
TEST(Analyse, MoreUnknownsThanTheJointEquationsHold) {
    TPrutovaSoustava t;
    for (int i = 0; i < 201; ++i)
        t.AddPrut(0, 0, 100, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(100, 0, P_Y, 0);
    t.AddSila(100, 0, 201, 0);
    EXPECT_THROW(Analyse(t, {TSolveMethod::Joints, false}), ERangeError);
    const TAnalysis a = Analyse(t);
    EXPECT_TRUE(a.JointsRefused);
    EXPECT_EQ(a.Method, TSolveMethod::Stiffness);
    EXPECT_EQ(a.Err, 0);
    EXPECT_NEAR(t.Prut(200).Sila, 1, 1e-9);
}

} // namespace
