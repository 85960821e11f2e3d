// Fast path of SolveEquations: the literal elimination, minus the work that exact zeros make void.
//
// Why the results stay bit for bit those of the literal algorithm:
// - A row update Target[j] := F * Source[j] + Target[j] with Source[j] = +-0 and a finite F
//   leaves Target[j] as it was, except perhaps for the sign of a zero. The sign of a zero in the
//   matrix never reaches the solution: matrix entries are only compared by magnitude, divided
//   into only when non-zero, and multiplied into the back substitution's sum, which starts at +0
//   and to which +-0 adds nothing (as long as the solution values are finite; see below).
//   The right-hand side is updated literally, since its zeros do reach the solution.
// - Columns 1..K of the rows below the pivot are never read again after step K, so they are
//   not updated.
// - A non-finite factor (F * 0 is NaN) updates its row densely, and once a non-finite value
//   appears in the solution the back substitution reads every entry, zeros included.
// Each row keeps the envelope [lo, hi] of its stored entries in a scratch buffer; entries
// outside it are zero. Row exchanges swap row slots, not 200 entries.
#include "SparseElimination.h"

#include <cmath>
#include <cstring>

static_assert(sizeof(TExtended) == 16, "an extended value fills 16 bytes, 10 of them significant");

namespace {

struct TSparseRow {
    int lo = 0;  // first stored column (0-based)
    int hi = -1; // last stored column; hi < lo means the row holds no entry
    TExtended* values = nullptr;
};

struct TWorkspace {
    TExtended storage[MaxEquations][MaxEquations];
    TSparseRow rows[MaxEquations];
    TExtended b[MaxEquations];
    int list[MaxEquations];
};

TWorkspace& workspace() {
    static TWorkspace* w = new TWorkspace;
    return *w;
}

// True for +0 and -0: the 64 significand bits and the 15 exponent bits are all clear.
inline bool isZero(const TExtended& v) {
    std::uint64_t words[2];
    std::memcpy(words, &v, sizeof words);
    return (words[0] | (words[1] & 0x7FFF)) == 0;
}

inline TExtended entry(const TSparseRow& r, int j) {
    return (j >= r.lo && j <= r.hi) ? r.values[j] : TExtended(0);
}

inline void clearColumns(TExtended* values, int from, int to) {
    std::memset(values + from, 0, sizeof(TExtended) * static_cast<size_t>(to - from + 1));
}

// Makes column j part of the row's envelope, storing zeros in the gap.
inline void cover(TSparseRow& r, int j) {
    if (r.hi < r.lo) {
        r.lo = r.hi = j;
        r.values[j] = 0;
    } else if (j < r.lo) {
        clearColumns(r.values, j, r.lo - 1);
        r.lo = j;
    } else if (j > r.hi) {
        clearColumns(r.values, r.hi + 1, j);
        r.hi = j;
    }
}

void loadRows(TWorkspace& w, int n, const TExtMatrix& A, const TExtVector& B) {
    for (int i = 0; i < n; ++i) {
        TSparseRow& r = w.rows[i];
        r.values = w.storage[i];
        const TExtended* source = A.Rows[i].Data();
        int lo = 0;
        while (lo < n && isZero(source[lo]))
            ++lo;
        int hi = n - 1;
        while (hi >= lo && isZero(source[hi]))
            --hi;
        r.lo = lo;
        r.hi = hi;
        if (hi >= lo)
            std::memcpy(r.values + lo, source + lo,
                        sizeof(TExtended) * static_cast<size_t>(hi - lo + 1));
        w.b[i] = B.Items[i];
    }
}

// Chooses the pivot of column k as the literal algorithm does; false on a failed pivot.
bool pivot(TWorkspace& w, int n, int k) {
    int best = k;
    TExtended bestMagnitude = std::fabs(entry(w.rows[k], k));
    for (int i = k + 1; i < n; ++i) {
        const TExtended m = std::fabs(entry(w.rows[i], k));
        if (m > bestMagnitude) {
            best = i;
            bestMagnitude = m;
        }
    }
    if (best == k)
        return !(bestMagnitude < PivotThreshold);
    std::swap(w.rows[k], w.rows[best]);
    std::swap(w.b[k], w.b[best]);
    return true;
}

void eliminateBelow(TWorkspace& w, int n, int k) {
    const TSparseRow& p = w.rows[k];
    const TExtended diagonal = entry(p, k);
    int count = 0;
    for (int j = std::max(k + 1, p.lo); j <= p.hi; ++j)
        if (!isZero(p.values[j]))
            w.list[count++] = j;
    for (int i = k + 1; i < n; ++i) {
        TSparseRow& r = w.rows[i];
        const TExtended below = entry(r, k);
        if (std::fabs(below) <= PivotThreshold)
            continue;
        const TExtended factor = (-below) / diagonal;
        if (std::isfinite(factor)) {
            for (int c = 0; c < count; ++c) {
                const int j = w.list[c];
                cover(r, j);
                r.values[j] = factor * p.values[j] + r.values[j];
            }
        } else if (k + 1 < n) {
            cover(r, k + 1);
            cover(r, n - 1);
            for (int j = k + 1; j < n; ++j)
                r.values[j] = factor * entry(p, j) + r.values[j];
        }
        w.b[i] = factor * w.b[k] + w.b[i];
    }
}

void backSubstitute(TWorkspace& w, int n, TExtVector& X) {
    bool finite = true;
    for (int i = n - 1; i >= 0; --i) {
        const TSparseRow& r = w.rows[i];
        TExtended s = 0;
        if (finite) {
            for (int j = std::max(i + 1, r.lo); j <= r.hi; ++j)
                if (!isZero(r.values[j]))
                    s = s + r.values[j] * X.Items[j];
        } else {
            for (int j = i + 1; j < n; ++j)
                s = s + entry(r, j) * X.Items[j];
        }
        X.Items[i] = (w.b[i] - s) / entry(r, i);
        finite = finite && std::isfinite(X.Items[i]);
    }
}

} // namespace

void SolveSparse(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                 std::uint8_t& Err) {
    if (N <= 1) {
        SolveSingle(N, A, B, X, Err);
        return;
    }
    Err = errNone;
    if (N > MaxEquations)
        ThrowIndexError(MaxEquations + 1);
    TWorkspace& w = workspace();
    loadRows(w, N, A, B);
    for (int k = 0; k < N - 1; ++k) {
        if (!pivot(w, N, k)) {
            Err = errNoSolution;
            break;
        }
        eliminateBelow(w, N, k);
    }
    if (std::fabs(entry(w.rows[N - 1], N - 1)) < PivotThreshold)
        Err = errNoSolution;
    if (Err == errNone)
        backSubstitute(w, N, X);
}
