// Dense linear equation solver in 80-bit extended precision: Gaussian elimination with partial
// pivoting.
#pragma once

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

static_assert(std::numeric_limits<long double>::digits == 64,
              "the solver needs the 80-bit extended format with a 64-bit significand");

using TExtended = long double;

// Largest dimension of an equation system; every index runs 1..MaxEquations.
constexpr int MaxEquations = 200;

// Absolute threshold below which a pivot or an entry counts as zero (used in SolveSingle,
// PivotColumn, Triangulate's entry skip and its final diagonal test).
constexpr TExtended PivotThreshold = 1e-7L;

// Raised by every element access outside 1..MaxEquations.
class ERangeError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// Solver error codes.
enum : std::uint8_t { errNone = 0, errDimension = 1, errNoSolution = 2 };

[[noreturn]] void ThrowIndexError(int index);

// 200 extended reals indexed from 1.
struct TExtVector {
    TExtended Items[MaxEquations];

    TExtended& operator[](int i) {
        if (i < 1 || i > MaxEquations)
            ThrowIndexError(i);
        return Items[i - 1];
    }
    const TExtended& operator[](int i) const {
        if (i < 1 || i > MaxEquations)
            ThrowIndexError(i);
        return Items[i - 1];
    }
    TExtended* Data() { return Items; }
    const TExtended* Data() const { return Items; }
};

// 200 rows of TExtVector, indexed from 1: A[i][j] is row i, column j.
struct TExtMatrix {
    TExtVector Rows[MaxEquations];

    TExtVector& operator[](int i) {
        if (i < 1 || i > MaxEquations)
            ThrowIndexError(i);
        return Rows[i - 1];
    }
    const TExtVector& operator[](int i) const {
        if (i < 1 || i > MaxEquations)
            ThrowIndexError(i);
        return Rows[i - 1];
    }
};

// The one process-wide equation system, filled by every truss Solve.
struct TEquationStore {
    int N = 0;
    TExtMatrix A{};
    TExtVector B{};
    TExtVector X{};
    std::uint8_t Err = 0;
};
extern TEquationStore EquationStore;

// N := 0, every entry of A and B := 0.
void ClearEquations(int& N, TExtMatrix& A, TExtVector& B);

// Solves A.X = B of dimension N. Err is always written, X[1..N] only when Err = 0.
// A and B are never modified. Every computed value is that of the literal algorithm below.
void SolveEquations(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                    std::uint8_t& Err);

// The steps of the elimination, literally; SolveEquationsLiteral chains them on full copies.
void SolveSingle(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X, std::uint8_t& Err);
void Triangulate(int N, TExtMatrix& A, TExtVector& B, std::uint8_t& Err);
void PivotColumn(int N, int K, TExtMatrix& A, TExtVector& B, std::uint8_t& Err);
void SwapRows(TExtVector& P, TExtVector& Q);
void AddScaledRow(int N, const TExtVector& Source, TExtVector& Target, TExtended Factor);
void BackSubstitute(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X);
void SolveEquationsLiteral(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                           std::uint8_t& Err);
