// Fast path of SolveEquations: the literal elimination carried out on the non-zeros of each row.
//
// Truss equations have two to six non-zero entries per row; the literal algorithm spends nearly
// all of its time adding exact zeros and copying rows. This engine performs the same arithmetic
// operations, in the same order, on every value that can influence X or Err, and leaves out only
// operations whose result is known exactly in advance. Why that is exact:
//
// 1. An update Target[j] := F * Source[j] + Target[j] with Source[j] = +0 or -0 and a finite F
//    computes F * Source[j] = +0 or -0 exactly, and T + (+-0) is T itself for every non-zero T,
//    infinity and quiet NaN (x87 returns the quiet NaN operand unchanged). Only when T is itself
//    a zero can the sign of the result differ from T's. So leaving such an update out changes
//    nothing but, at most, the sign of a zero in the matrix. When F is infinite or NaN the product
//    is a NaN, and such a row is updated densely, exactly as the literal algorithm does.
//
// 2. The sign of a zero in the matrix never reaches X or Err. Call two values equivalent when
//    they are bit-identical or both zeros. Every operation the elimination applies to matrix
//    entries maps equivalent operands to equivalent results: fabs and the comparisons ignore the
//    sign of a zero; a divisor is always a pivot, which is non-zero (it passed its threshold
//    test, or it is strictly larger in magnitude than another entry), and a dividend is an entry
//    with magnitude above the threshold, never a zero; a product of a zero with a finite factor
//    is a zero, with an infinite or NaN factor it is the same NaN whatever the zero's sign; a sum
//    with a zero operand is the other operand when that is not a zero, and a zero otherwise. In
//    the back substitution a zero A[I,J] gives a zero term A[I,J] * X[J] when X[J] is finite, and
//    the running sum S, which starts at +0, is never -0 (+0 + -0 is +0, and an exact
//    cancellation yields +0 when rounding to nearest), so S + (+-0) = S: zero terms leave S
//    bit-identical. When an X[J] is not finite, a zero coefficient makes the term a NaN, so such
//    rows are summed densely. B is different: the sign of a zero in B does reach X
//    ((-0 - S) / pivot with S = +0 is -0 / pivot), so B is always updated literally, by position.
//
// 3. Columns 1..K of a row are never read again once step K has eliminated column K: the pivot
//    search of a later step reads its own column, the skip test and the factor read column K of
//    step K only, and the back substitution reads columns I..N of row I. The updates of those
//    dead columns are left out.
//
// 4. Signalling NaNs and the encodings the x87 does not generate (pseudo-denormals, unnormals,
//    pseudo-infinities and pseudo-NaNs) would be changed by the literal algorithm's additions of
//    zero but kept by the skip above; a system that holds any of them in its N by N block is
//    handed to the literal algorithm. Every value the elimination computes is canonical, so a
//    stored value is zero exactly when its 64-bit significand is zero.
//
// Rows are kept in a scratch store, one buffer per row of the system, with a bit mask of the
// columns it holds; every column outside the mask is zero. Only non-zeros are copied in, and
// fill-in adds columns to the mask. Positions refer to rows through RowAt, so a row exchange swaps
// two indices, not 200 entries. Each column keeps the list of rows that hold it; only those take
// part in the pivot search and the elimination of column K, since the others hold a zero there,
// which can neither win the pivot search nor pass the skip test. The scratch store is static and
// the engine is not reentrant: the program solves on its one user-interface thread.
#include "SparseElimination.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr int M = MaxEquations;
constexpr int Words = (M + 63) / 64; // of a column mask

constexpr std::uint64_t IntegerBit = 1ULL << 63;
constexpr std::uint64_t QuietBit = 1ULL << 62;
constexpr std::uint16_t ExponentMask = 0x7fff;
constexpr std::size_t ValueBytes = 10; // of an extended value; the rest of its 16 is padding

inline std::uint64_t Significand(const TExtended& v) {
    std::uint64_t m;
    std::memcpy(&m, &v, sizeof m);
    return m;
}

inline std::uint16_t SignExponent(const TExtended& v) {
    std::uint16_t se;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&v) + 8, sizeof se);
    return se;
}

// The bits of a value that are all clear for +0 and -0 in the one encoding the x87 produces.
inline std::uint64_t MagnitudeBits(const TExtended& v) {
    return Significand(v) | (SignExponent(v) & ExponentMask);
}

// A value the x87 could have computed: zero, denormal, normal, infinity or quiet NaN.
inline bool IsCanonical(const TExtended& v) {
    const std::uint64_t m = Significand(v);
    const unsigned e = SignExponent(v) & ExponentMask;
    if (e == 0)
        return (m & IntegerBit) == 0;
    if ((m & IntegerBit) == 0)
        return false;
    if (e == ExponentMask)
        return m == IntegerBit || (m & QuietBit) != 0;
    return true;
}

// The working state of one solve. Physical rows are the rows of the caller's matrix (0-based);
// positions are the rows of the literal algorithm's working copy (0-based) after exchanges.
struct TEliminationState {
    TExtended Rows[M][M];           // Rows[r][j]: column j of physical row r, where Held says so
    std::uint64_t Held[M][Words];   // columns stored for each physical row
    int ColRows[M][M];              // rows holding each column, in no particular order
    int ColCount[M];                //
    int RowAt[M];                   // physical row at each position
    int PosOf[M];                   // position of each physical row
    TExtended B[M];                 // right-hand side by position
    TExtended X[M];                 // solution by position
    std::uint64_t PivotMask[Words]; // non-zero columns right of the diagonal in the pivot row
};

TEliminationState Work;

inline bool Holds(int r, int j) {
    return (Work.Held[r][j >> 6] >> (j & 63)) & 1;
}

inline TExtended Entry(int r, int j) {
    return Holds(r, j) ? Work.Rows[r][j] : TExtended(0);
}

// Calls f(j) for every column j in the mask, in ascending order.
template <class F> inline void ForEachColumn(const std::uint64_t (&mask)[Words], F f) {
    for (int w = 0; w < Words; ++w)
        for (std::uint64_t b = mask[w]; b != 0; b &= b - 1)
            f(64 * w + std::countr_zero(b));
}

// Target := Factor * Source + Target at the columns of mask (which Source holds). Where the
// target held no value, the literal sum Factor * Source[j] + (+-0) equals the product except
// for the sign of a zero, so the product is stored and the column joins the row.
inline void UpdateRow(int r, const TExtended* source, TExtended factor,
                      const std::uint64_t (&mask)[Words]) {
    TExtended* row = Work.Rows[r];
    std::uint64_t fresh[Words], kept[Words];
    for (int w = 0; w < Words; ++w) {
        fresh[w] = mask[w] & ~Work.Held[r][w];
        kept[w] = mask[w] & Work.Held[r][w];
        Work.Held[r][w] |= mask[w];
    }
    ForEachColumn(kept, [&](int j) { row[j] = factor * source[j] + row[j]; });
    ForEachColumn(fresh, [&](int j) {
        row[j] = factor * source[j];
        Work.ColRows[j][Work.ColCount[j]++] = r;
    });
}

// Copies the non-zeros of the N by N block, and B. False when the block holds an encoding the
// engine does not reproduce bit for bit (point 4 above).
bool Load(int N, const TExtMatrix& A, const TExtVector& B) {
    for (int c = 0; c < N; ++c)
        Work.ColCount[c] = 0;
    for (int r = 0; r < N; ++r) {
        const TExtended* src = A.Rows[r].Items;
        TExtended* dst = Work.Rows[r];
        std::uint64_t* held = Work.Held[r];
        for (int w = 0; w < Words; ++w)
            held[w] = 0;
        auto take = [&](int j) {
            if (MagnitudeBits(src[j]) == 0)
                return true;
            if (!IsCanonical(src[j]))
                return false;
            std::memcpy(&dst[j], &src[j], sizeof(TExtended));
            held[j >> 6] |= 1ULL << (j & 63);
            Work.ColRows[j][Work.ColCount[j]++] = r;
            return true;
        };
        // Four entries at a time: truss rows are nearly all zeros.
        int j = 0;
        for (; j + 4 <= N; j += 4) {
            if ((MagnitudeBits(src[j]) | MagnitudeBits(src[j + 1]) | MagnitudeBits(src[j + 2]) |
                 MagnitudeBits(src[j + 3])) == 0)
                continue;
            if (!(take(j) && take(j + 1) && take(j + 2) && take(j + 3)))
                return false;
        }
        for (; j < N; ++j)
            if (!take(j))
                return false;
        Work.RowAt[r] = r;
        Work.PosOf[r] = r;
    }
    std::memcpy(Work.B, B.Items, sizeof(TExtended) * static_cast<size_t>(N));
    return true;
}

// Forward elimination of columns 0..N-2 with the literal pivot choice and skip rule.
std::uint8_t Eliminate(int N) {
    for (int k = 0; k < N - 1; ++k) {
        const int* holders = Work.ColRows[k];
        const int holderCount = Work.ColCount[k];

        // Pivot search. The literal scan keeps the first row of strictly greatest magnitude in
        // ascending position order, so among equal magnitudes the lowest position wins; a NaN
        // never beats anything, and a NaN on the diagonal is never beaten. Rows outside the
        // column's holders have zeros in column k and never beat anything either; holders at
        // positions below k are rows that have served as pivots and take no further part.
        const int rk = Work.RowAt[k];
        const TExtended diag = std::fabs(Entry(rk, k));
        int best = k;
        if (!std::isnan(diag)) {
            TExtended most = diag;
            for (int h = 0; h < holderCount; ++h) {
                const int r = holders[h];
                const int p = Work.PosOf[r];
                if (p <= k)
                    continue;
                const TExtended v = std::fabs(Work.Rows[r][k]);
                if (v > most || (v == most && p < best)) {
                    most = v;
                    best = p;
                }
            }
        }
        if (best == k) {
            if (diag < PivotThreshold)
                return errNoSolution;
        } else {
            const int rb = Work.RowAt[best];
            Work.RowAt[k] = rb;
            Work.RowAt[best] = rk;
            Work.PosOf[rb] = k;
            Work.PosOf[rk] = best;
            std::swap(Work.B[k], Work.B[best]);
        }

        const int pr = Work.RowAt[k];
        const TExtended pivot = Entry(pr, k);

        // The pivot row's non-zeros right of the diagonal.
        const TExtended* prow = Work.Rows[pr];
        std::uint64_t right[Words];
        for (int w = 0; w < Words; ++w) {
            const int below = k + 1 - 64 * w; // columns of word w left of k + 1
            const std::uint64_t keep = below <= 0 ? ~0ULL : (below >= 64 ? 0 : ~0ULL << below);
            right[w] = Work.Held[pr][w] & keep;
            Work.PivotMask[w] = 0;
        }
        ForEachColumn(right, [&](int j) {
            if (Significand(prow[j]) != 0)
                Work.PivotMask[j >> 6] |= 1ULL << (j & 63);
        });
        const TExtended bk = Work.B[k];

        // The targets are independent of each other, so their order does not matter.
        for (int h = 0; h < holderCount; ++h) {
            const int r = holders[h];
            if (Work.PosOf[r] <= k)
                continue;
            const TExtended t = Work.Rows[r][k];
            if (std::fabs(t) <= PivotThreshold)
                continue;
            const TExtended factor = (-t) / pivot;
            TExtended* row = Work.Rows[r];
            if (std::isfinite(factor)) {
                UpdateRow(r, prow, factor, Work.PivotMask);
            } else {
                for (int j = k + 1; j < N; ++j) {
                    const TExtended source = Entry(pr, j);
                    if (!Holds(r, j)) {
                        row[j] = 0;
                        Work.Held[r][j >> 6] |= 1ULL << (j & 63);
                        Work.ColRows[j][Work.ColCount[j]++] = r;
                    }
                    row[j] = factor * source + row[j];
                }
            }
            const int p = Work.PosOf[r];
            Work.B[p] = factor * bk + Work.B[p];
        }
    }
    if (std::fabs(Entry(Work.RowAt[N - 1], N - 1)) < PivotThreshold)
        return errNoSolution;
    return errNone;
}

void BackSubstituteRows(int N) {
    bool allFinite = true;
    for (int i = N - 1; i >= 0; --i) {
        const int r = Work.RowAt[i];
        const TExtended* row = Work.Rows[r];
        TExtended s = 0;
        if (allFinite) {
            for (int w = (i + 1) >> 6; w < Words; ++w) {
                std::uint64_t b = Work.Held[r][w];
                if (64 * w < i + 1)
                    b &= ~0ULL << ((i + 1) & 63);
                for (; b != 0; b &= b - 1) {
                    const int j = 64 * w + std::countr_zero(b);
                    s = s + row[j] * Work.X[j];
                }
            }
        } else {
            for (int j = i + 1; j < N; ++j)
                s = s + Entry(r, j) * Work.X[j];
        }
        Work.X[i] = (Work.B[i] - s) / Entry(r, i);
        if (!std::isfinite(Work.X[i]))
            allFinite = false;
    }
}

} // namespace

void SolveSparse(int N, const TExtMatrix& A, const TExtVector& B, TExtVector& X,
                 std::uint8_t& Err) {
    SolveSingle(N, A, B, X, Err);
    if (N <= 1)
        return;
    // The literal elimination fails on its first access to row MaxEquations + 1, in the pivot
    // search of column 1, after SolveSingle has set Err := 0 and before anything else is written.
    if (N > MaxEquations)
        ThrowIndexError(MaxEquations + 1);
    if (!Load(N, A, B)) {
        SolveEquationsLiteral(N, A, B, X, Err);
        return;
    }
    Err = Eliminate(N);
    if (Err != errNone)
        return;
    BackSubstituteRows(N);
    // The value bytes only, as a store of the FPU writes them; the padding stays the caller's.
    for (int i = 0; i < N; ++i)
        std::memcpy(&X.Items[i], &Work.X[i], ValueBytes);
}
