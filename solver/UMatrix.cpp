// The literal elimination steps, the equation store and the solver's entry point.
#include "UMatrix.h"

#include "SparseElimination.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

TEquationStore EquationStore;

void ThrowIndexError(int index) {
    throw ERangeError("equation index " + std::to_string(index) + " outside 1.." +
                      std::to_string(MaxEquations));
}

void ClearEquations(int& N, TExtMatrix& A, TExtVector& B) {
    N = 0;
    // All bits clear is +0 in the extended format.
    std::memset(static_cast<void*>(B.Items), 0, sizeof B.Items);
    std::memset(static_cast<void*>(A.Rows), 0, sizeof A.Rows);
}

void SolveSingle(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                 std::uint8_t& Err) {
    Err = errNone;
    if (N < 1) {
        Err = errDimension;
    } else if (N == 1) {
        if (std::fabs(A[1][1]) < PivotThreshold)
            Err = errNoSolution;
        else
            X[1] = B[1] / A[1][1];
    }
}

void SwapRows(TExtVector& P, TExtVector& Q) {
    std::swap(P, Q);
}

void AddScaledRow(int N, const TExtVector& Source, TExtVector& Target, TExtended Factor) {
    for (int j = 1; j <= N; ++j)
        Target[j] = Factor * Source[j] + Target[j];
}

void PivotColumn(int N, int K, TExtMatrix& A, TExtVector& B, std::uint8_t& Err) {
    int best = K;
    for (int i = K + 1; i <= N; ++i)
        if (std::fabs(A[i][K]) > std::fabs(A[best][K]))
            best = i;
    if (best == K) {
        if (std::fabs(A[K][K]) < PivotThreshold)
            Err = errNoSolution;
    } else {
        SwapRows(A[K], A[best]);
        std::swap(B[K], B[best]);
    }
}

void Triangulate(int N, TExtMatrix& A, TExtVector& B, std::uint8_t& Err) {
    for (int k = 1; k <= N - 1 && Err == errNone; ++k) {
        PivotColumn(N, k, A, B, Err);
        if (Err != errNone)
            break;
        for (int i = k + 1; i <= N; ++i) {
            if (std::fabs(A[i][k]) <= PivotThreshold)
                continue;
            const TExtended factor = (-A[i][k]) / A[k][k];
            AddScaledRow(N, A[k], A[i], factor);
            B[i] = factor * B[k] + B[i];
        }
    }
    if (std::fabs(A[N][N]) < PivotThreshold)
        Err = errNoSolution;
}

void BackSubstitute(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X) {
    for (int i = N; i >= 1; --i) {
        TExtended s = 0;
        for (int j = i + 1; j <= N; ++j)
            s = s + A[i][j] * X[j];
        X[i] = (B[i] - s) / A[i][i];
    }
}

void SolveEquationsLiteral(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                           std::uint8_t& Err) {
    // Working copies of the full matrix and vector, as the algorithm orders.
    auto a = std::make_unique<TExtMatrix>(A);
    auto b = std::make_unique<TExtVector>(B);
    SolveSingle(N, *a, *b, X, Err);
    if (N <= 1)
        return;
    Triangulate(N, *a, *b, Err);
    if (Err == errNone)
        BackSubstitute(N, *a, *b, X);
}

void SolveEquations(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                    std::uint8_t& Err) {
    SolveSparse(N, A, B, X, Err);
}
