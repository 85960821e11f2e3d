// Builders of textbook trusses (triangle, Warren, Pratt, Howe, roof, tower) for examples, tests
// and benchmarks.
#pragma once

#include "TrussSystem.h"

// How the joints of a bridge truss get their numbers: panel by panel along the span, or the
// whole bottom chord first and then the top chord.
enum class TJointOrder { PanelByPanel, ChordByChord };

struct TBridgeShape {
    int Panels = 4;
    int PanelWidth = 40;
    int Height = 40;
    int Left = 40;    // x of the left support
    int Bottom = 200; // y of the bottom chord (y grows downward)
    double Load = 10; // downward load at every inner bottom joint
    TJointOrder Order = TJointOrder::PanelByPanel;
};

// A triangle on a pin (left) and a roller (right) with a downward load at the apex.
void BuildTriangle(TPrutovaSoustava& t, int span, int height, double load);
// Warren truss: bottom chord of Panels bars, top chord of Panels - 1 bars, diagonals only.
void BuildWarren(TPrutovaSoustava& t, const TBridgeShape& shape);
// Pratt truss with end verticals: 2 (Panels + 1) joints; diagonals fall toward mid-span.
void BuildPratt(TPrutovaSoustava& t, const TBridgeShape& shape);
// Howe truss with end verticals: diagonals rise toward mid-span.
void BuildHowe(TPrutovaSoustava& t, const TBridgeShape& shape);
// King-post roof truss loaded at the ridge.
void BuildKingPostRoof(TPrutovaSoustava& t, int halfSpan, int rise, double load);
// A cantilever tower of square bays standing on a pin and a roller, pushed sideways at the top.
void BuildTower(TPrutovaSoustava& t, int bays, int width, double lateralLoad);
