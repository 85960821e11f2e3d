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
    // Positions of the rows that may hold an entry in the current column: a row joins when the
    // elimination reaches its first stored column (which only fill-in of an active row lowers)
    // and leaves once it has served as pivot row. The order of the positions does not matter.
    int active[MaxEquations];
    int activeCount = 0;
    // Rows whose first stored column is c, by position at loading time, chained through next.
    int firstRowAt[MaxEquations];
    int next[MaxEquations];
    // Where each loaded row stands now.
    int positionOf[MaxEquations];
    int loadedAs[MaxEquations];
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

// Index of the first non-zero entry of values[from..to), or to. Tests eight entries at a time.
int firstNonZero(const TExtended* values, int from, int to) {
    int j = from;
    for (; j + 8 <= to; j += 8) {
        std::uint64_t bits = 0;
        for (int c = 0; c < 8; ++c) {
            std::uint64_t words[2];
            std::memcpy(words, &values[j + c], sizeof words);
            bits |= words[0] | (words[1] & 0x7FFF);
        }
        if (bits != 0)
            break;
    }
    while (j < to && isZero(values[j]))
        ++j;
    return j;
}

int lastNonZero(const TExtended* values, int from, int to) {
    int j = to;
    for (; j - 8 >= from; j -= 8) {
        std::uint64_t bits = 0;
        for (int c = 1; c <= 8; ++c) {
            std::uint64_t words[2];
            std::memcpy(words, &values[j - c], sizeof words);
            bits |= words[0] | (words[1] & 0x7FFF);
        }
        if (bits != 0)
            break;
    }
    while (j > from && isZero(values[j - 1]))
        --j;
    return j - 1;
}

void loadRows(TWorkspace& w, int n, const TExtMatrix& A, const TExtVector& B) {
    for (int c = 0; c < n; ++c)
        w.firstRowAt[c] = -1;
    w.activeCount = 0;
    for (int i = n - 1; i >= 0; --i) {
        TSparseRow& r = w.rows[i];
        r.values = w.storage[i];
        const TExtended* source = A.Rows[i].Data();
        r.lo = firstNonZero(source, 0, n);
        r.hi = r.lo < n ? lastNonZero(source, r.lo, n) : -1;
        if (r.hi >= r.lo) {
            std::memcpy(r.values + r.lo, source + r.lo,
                        sizeof(TExtended) * static_cast<size_t>(r.hi - r.lo + 1));
            w.next[i] = w.firstRowAt[r.lo];
            w.firstRowAt[r.lo] = i;
        }
        w.b[i] = B.Items[i];
        w.positionOf[i] = i;
        w.loadedAs[i] = i;
    }
}

// Rows whose first entry lies in column k take part from step k on.
void activateRowsStartingAt(TWorkspace& w, int k) {
    for (int id = w.firstRowAt[k]; id >= 0; id = w.next[id])
        w.active[w.activeCount++] = w.positionOf[id];
}

void exchangePositions(TWorkspace& w, int a, int b) {
    std::swap(w.rows[a], w.rows[b]);
    std::swap(w.b[a], w.b[b]);
    std::swap(w.loadedAs[a], w.loadedAs[b]);
    w.positionOf[w.loadedAs[a]] = a;
    w.positionOf[w.loadedAs[b]] = b;
    for (int c = 0; c < w.activeCount; ++c) {
        if (w.active[c] == a)
            w.active[c] = b;
        else if (w.active[c] == b)
            w.active[c] = a;
    }
}

// Drops the pivot row k and the rows that end before column k + 1.
void retireRows(TWorkspace& w, int k) {
    int kept = 0;
    for (int c = 0; c < w.activeCount; ++c) {
        const int i = w.active[c];
        if (i > k && w.rows[i].hi > k)
            w.active[kept++] = i;
    }
    w.activeCount = kept;
}

// The stored, non-zero entry of row r in column j, or none. Zeros are never pivots and are
// always skipped by the elimination, so looking past them changes no decision.
inline const TExtended* nonZeroEntry(const TSparseRow& r, int j) {
    if (j < r.lo || j > r.hi || isZero(r.values[j]))
        return nullptr;
    return &r.values[j];
}

// Chooses the pivot of column k as the literal algorithm does; false on a failed pivot.
// The literal scan takes the first row, in ascending order, whose magnitude beats every one
// above it: the largest magnitude, the upper row on a tie, and never a NaN unless the diagonal
// entry itself is one.
bool pivot(TWorkspace& w, int k) {
    int best = k;
    TExtended bestMagnitude = std::fabs(entry(w.rows[k], k));
    for (int c = 0; c < w.activeCount; ++c) {
        const int i = w.active[c];
        if (i <= k)
            continue;
        const TExtended* v = nonZeroEntry(w.rows[i], k);
        if (!v)
            continue;
        const TExtended m = std::fabs(*v);
        if (m > bestMagnitude || (m == bestMagnitude && i < best && best != k))
            best = i, bestMagnitude = m;
    }
    if (best == k)
        return !(bestMagnitude < PivotThreshold);
    exchangePositions(w, k, best);
    return true;
}

void eliminateBelow(TWorkspace& w, int n, int k) {
    const TSparseRow& p = w.rows[k];
    const TExtended diagonal = entry(p, k);
    int count = 0;
    for (int j = std::max(k + 1, p.lo); j <= p.hi; ++j)
        if (!isZero(p.values[j]))
            w.list[count++] = j;
    // Each row's update depends only on the pivot row and itself, so the order is free.
    for (int c = 0; c < w.activeCount; ++c) {
        const int i = w.active[c];
        if (i <= k)
            continue;
        TSparseRow& r = w.rows[i];
        const TExtended* v = nonZeroEntry(r, k);
        if (!v || std::fabs(*v) <= PivotThreshold)
            continue;
        const TExtended factor = (-*v) / diagonal;
        if (std::isfinite(factor)) {
            for (int e = 0; e < count; ++e) {
                const int j = w.list[e];
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
        activateRowsStartingAt(w, k);
        if (!pivot(w, k)) {
            Err = errNoSolution;
            break;
        }
        eliminateBelow(w, N, k);
        retireRows(w, k);
    }
    if (std::fabs(entry(w.rows[N - 1], N - 1)) < PivotThreshold)
        Err = errNoSolution;
    if (Err == errNone)
        backSubstitute(w, N, X);
}
