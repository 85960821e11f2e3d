// Fast path of SolveEquations: the same elimination, skipping the work that exact zeros make void.
#pragma once

#include "UMatrix.h"

// Bit for bit the results (X and Err) of SolveEquationsLiteral, for every input.
void SolveSparse(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X, std::uint8_t& Err);
