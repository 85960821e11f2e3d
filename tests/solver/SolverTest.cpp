// The extended-precision solver: its edge cases, and the fast path against the literal algorithm.
#include "UMatrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>

namespace {

using TSolver = void (*)(int, const TExtMatrix&, const TExtVector&, TExtVector&, std::uint8_t&);

struct TSystem {
    std::unique_ptr<TExtMatrix> A = std::make_unique<TExtMatrix>();
    std::unique_ptr<TExtVector> B = std::make_unique<TExtVector>();
    std::unique_ptr<TExtVector> X = std::make_unique<TExtVector>();
    TSystem() {
        int n = 0;
        ClearEquations(n, *A, *B);
        for (auto& v : X->Items)
            v = 777;
    }
};

// The 80 significant bits of an extended value; the rest of its 16 bytes is padding.
bool sameBits(TExtended a, TExtended b) {
    return std::memcmp(&a, &b, 10) == 0;
}

class SolverEdgeCases : public ::testing::TestWithParam<TSolver> {
protected:
    std::uint8_t solve(TSystem& s, int n) {
        std::uint8_t err = 99;
        GetParam()(n, *s.A, *s.B, *s.X, err);
        return err;
    }
};

TEST_P(SolverEdgeCases, DimensionBelowOneLeavesXAlone) {
    TSystem s;
    EXPECT_EQ(solve(s, 0), errDimension);
    EXPECT_EQ(solve(s, -3), errDimension);
    EXPECT_EQ((*s.X)[1], 777);
}

TEST_P(SolverEdgeCases, SingleEquation) {
    TSystem s;
    (*s.A)[1][1] = 2;
    (*s.B)[1] = 3;
    EXPECT_EQ(solve(s, 1), errNone);
    EXPECT_EQ((*s.X)[1], 1.5L);
    (*s.A)[1][1] = 5e-8L;
    (*s.X)[1] = 777;
    EXPECT_EQ(solve(s, 1), errNoSolution);
    EXPECT_EQ((*s.X)[1], 777);
}

TEST_P(SolverEdgeCases, ZeroColumnAndEqualEquationsHaveNoSolution) {
    TSystem s;
    (*s.A)[1][1] = 1, (*s.A)[2][1] = 2, (*s.A)[3][1] = 3;
    (*s.A)[1][3] = 1, (*s.A)[2][3] = 1, (*s.A)[3][3] = 4;
    EXPECT_EQ(solve(s, 3), errNoSolution);
    TSystem e;
    (*e.A)[1][1] = 1, (*e.A)[1][2] = 2, (*e.A)[2][1] = 1, (*e.A)[2][2] = 2;
    (*e.B)[1] = 1, (*e.B)[2] = 1;
    EXPECT_EQ(solve(e, 2), errNoSolution);
    EXPECT_EQ((*e.X)[1], 777);
}

TEST_P(SolverEdgeCases, TiedPivotsTakeTheUpperRow) {
    // Rows 2 and 3 tie in column 1. Taking row 2 first gives the exact solution below; taking
    // row 3 would round differently, so the bits tell which row was chosen.
    TSystem s;
    const TExtended a[3][3] = {{1, 3, 1}, {4, 1.0L / 3, 7}, {-4, 5, 1.0L / 7}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            (*s.A)[i + 1][j + 1] = a[i][j];
    (*s.B)[1] = 1, (*s.B)[2] = 2, (*s.B)[3] = 3;
    TSystem t;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            (*t.A)[i + 1][j + 1] = a[i == 0 ? 1 : i == 1 ? 0 : 2][j];
    (*t.B)[1] = 2, (*t.B)[2] = 1, (*t.B)[3] = 3;
    ASSERT_EQ(solve(s, 3), errNone);
    ASSERT_EQ(solve(t, 3), errNone);
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(sameBits((*s.X)[i], (*t.X)[i])) << i;
}

TEST_P(SolverEdgeCases, TinyExchangedPivotIsAccepted) {
    TSystem s;
    (*s.A)[1][1] = 0, (*s.A)[1][2] = 1;
    (*s.A)[2][1] = 5e-8L, (*s.A)[2][2] = 1;
    (*s.B)[1] = 2, (*s.B)[2] = 7;
    ASSERT_EQ(solve(s, 2), errNone);
    EXPECT_EQ((*s.X)[2], 2);
    EXPECT_EQ((*s.X)[1], (7 - 2) / 5e-8L);
}

TEST_P(SolverEdgeCases, CallerMatrixIsUntouched) {
    TSystem s;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> d(-1, 1);
    for (int i = 1; i <= 20; ++i) {
        for (int j = 1; j <= 20; ++j)
            (*s.A)[i][j] = d(rng);
        (*s.B)[i] = d(rng);
    }
    const auto a = std::make_unique<TExtMatrix>(*s.A);
    const auto b = std::make_unique<TExtVector>(*s.B);
    ASSERT_EQ(solve(s, 20), errNone);
    EXPECT_EQ(std::memcmp(a.get(), s.A.get(), sizeof(TExtMatrix)), 0);
    EXPECT_EQ(std::memcmp(b.get(), s.B.get(), sizeof(TExtVector)), 0);
}

TEST_P(SolverEdgeCases, FullSizeSolvesAndOneMoreIsARangeError) {
    TSystem s;
    for (int i = 1; i <= MaxEquations; ++i) {
        (*s.A)[i][i] = 2;
        if (i > 1)
            (*s.A)[i][i - 1] = 1;
        (*s.B)[i] = i;
    }
    ASSERT_EQ(solve(s, MaxEquations), errNone);
    EXPECT_EQ((*s.X)[1], 0.5L);
    TSystem t;
    for (auto& v : t.X->Items)
        v = 777;
    std::uint8_t err = 99;
    EXPECT_THROW(GetParam()(MaxEquations + 1, *s.A, *s.B, *t.X, err), ERangeError);
    EXPECT_EQ(err, errNone);
    EXPECT_EQ((*t.X)[1], 777);
}

INSTANTIATE_TEST_SUITE_P(Solvers, SolverEdgeCases,
                         ::testing::Values(&SolveEquations, &SolveEquationsLiteral),
                         [](const auto& info) { return info.index == 0 ? "Fast" : "Literal"; });

TEST(ExtVector, IndexOutsideOneToTwoHundredThrows) {
    TExtVector v{};
    EXPECT_THROW(v[0], ERangeError);
    EXPECT_THROW(v[201], ERangeError);
    EXPECT_NO_THROW(v[200]);
}

// Random systems of many kinds: the fast path must agree with the literal one to the bit.
class SolverIdentity : public ::testing::TestWithParam<int> {};

TEST_P(SolverIdentity, FastPathGivesTheLiteralBits) {
    std::mt19937_64 rng(static_cast<std::uint64_t>(GetParam()) * 7919 + 13);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); };
    const TExtended special[] = {0.0L,
                                 -0.0L,
                                 1e-7L,
                                 -1e-7L,
                                 1.0000001e-7L,
                                 9.999999e-8L,
                                 1e-300L,
                                 1e300L,
                                 1e-4000L,
                                 1e4000L,
                                 std::numeric_limits<TExtended>::infinity(),
                                 std::numeric_limits<TExtended>::quiet_NaN()};
    const TExtended pi = std::acos(TExtended(-1));
    for (int round = 0; round < 40; ++round) {
        TSystem s;
        const int n = 1 + pick(round % 4 == 0 ? MaxEquations : 30);
        const int kind = pick(5);
        const int band = 1 + pick(8);
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j) {
                TExtended v = 0;
                switch (kind) {
                case 0: // dense
                    v = static_cast<TExtended>(static_cast<double>(rng()) / 1e19) - 0.5L;
                    break;
                case 1: // banded
                    if (std::abs(i - j) <= band)
                        v = static_cast<TExtended>(pick(2001) - 1000) / 100;
                    break;
                case 2: // truss-like: cos and sin of multiples of 45 degrees, with their residues
                    if (pick(n) < 3)
                        v = (pick(2) ? std::cos(pick(8) * 45 * 2 * pi / 360)
                                     : std::sin(pick(8) * 45 * 2 * pi / 360));
                    break;
                case 3: // sparse with special values
                    if (pick(n) < 2)
                        v = pick(4) ? static_cast<TExtended>(pick(7) - 3)
                                    : special[pick(std::size(special))];
                    break;
                default: // small integers: singular systems and exact ties are common
                    v = pick(3) ? 0 : static_cast<TExtended>(pick(5) - 2);
                    break;
                }
                (*s.A)[i][j] = v;
            }
            (*s.B)[i] =
                pick(6) ? static_cast<TExtended>(pick(21) - 10) : special[pick(std::size(special))];
        }
        TSystem lit;
        *lit.A = *s.A;
        *lit.B = *s.B;
        std::uint8_t errFast = 99, errLiteral = 98;
        SolveEquations(n, *s.A, *s.B, *s.X, errFast);
        SolveEquationsLiteral(n, *lit.A, *lit.B, *lit.X, errLiteral);
        ASSERT_EQ(errFast, errLiteral) << "n=" << n << " kind=" << kind;
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(sameBits((*s.X)[i], (*lit.X)[i]))
                << "n=" << n << " kind=" << kind << " i=" << i << ": "
                << static_cast<double>((*s.X)[i]) << " vs " << static_cast<double>((*lit.X)[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SolverIdentity, ::testing::Range(0, 25));

} // namespace
