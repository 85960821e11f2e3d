// Fast path of SolveEquations (placeholder until the sparse engine lands: delegates to the literal
// one).
#include "SparseElimination.h"

void SolveSparse(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                 std::uint8_t& Err) {
    SolveEquationsLiteral(N, A, B, X, Err);
}
