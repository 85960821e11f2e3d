// Small trusses shared by the analysis tests, built through the editing operations.
#pragma once

#include "TrussSystem.h"

#include <cmath>

inline const double Sqrt2 = std::sqrt(2.0);
inline const double Sqrt5 = std::sqrt(5.0);

// A square of side 100 with both diagonals: joints 1 (40, 140), 2 (140, 140), 3 (140, 40),
// 4 (40, 40); pin at 1, roller fixed in y at 2, 10 along +x at 4. Bars in this order: 1-2,
// 2-3, 3-4, 4-1, diagonal 1-3 (of the given EA), diagonal 2-4. One redundant bar. With the
// supports placed first their reactions take the unknowns 1 to 3, and the joint equations leave
// out the last diagonal.
inline void BuildBracedSquare(TPrutovaSoustava& t, double diagonal13EA = 1,
                              bool supportsFirst = false) {
    if (supportsFirst) {
        t.AddPodpera(40, 140, P_X | P_Y, 0);
        t.AddPodpera(140, 140, P_Y, 0);
    }
    t.AddPrut(40, 140, 140, 140);
    t.AddPrut(140, 140, 140, 40);
    t.AddPrut(140, 40, 40, 40);
    t.AddPrut(40, 40, 40, 140);
    t.AddPrut(40, 140, 140, 40);
    t.AddPrut(140, 140, 40, 40);
    t.Prut(4).EA = diagonal13EA;
    if (!supportsFirst) {
        t.AddPodpera(40, 140, P_X | P_Y, 0);
        t.AddPodpera(140, 140, P_Y, 0);
    }
    t.AddSila(40, 40, 10, 0);
}
