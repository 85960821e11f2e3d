// The stiffness method: joint displacements, bar forces and reactions of any stable truss.
#pragma once

#include "AnalysisModel.h"

#include <memory>
#include <vector>

class TPrutovaSoustava;

enum class TStiffnessStatus {
    Solved,
    Singular, // the truss can move (a mechanism) or is too close to one to trust the answer
    NoJoints,
};

// A joint's displacement in the length unit, x to the right and y downward like the drawing.
struct TDisplacement {
    double Ux = 0, Uy = 0;
};

// A support's reaction components along +x and +y; a direction it does not fix stays 0.
struct TReaction {
    double X = 0, Y = 0;
};

// A pivot of the factorised stiffness matrix counts as zero when it is at most this fraction of
// its own diagonal entry: what is left of a joint's stiffness once the others are eliminated.
// A mechanism leaves rounding (about 1e-16, a hundred times below); a joint held by bars an angle
// t out of line keeps about t squared, so joints held by less than 1e-6 rad count as loose.
constexpr double StiffnessPivotTolerance = 1e-12;

// Largest accepted |K u - f| / |f| over the free equations. A backward-stable factorisation of a
// matrix that passed the pivot test leaves far less; a larger residual means the answer is not
// one and the truss is reported as singular.
constexpr double StiffnessResidualTolerance = 1e-6;

struct TStiffnessResult {
    TStiffnessStatus Status = TStiffnessStatus::NoJoints;
    // Per bar in the truss's order: N = EA / L * elongation, positive in tension. A bar of
    // length 0, or with an end where no joint could be made, joins nothing: it stays 0.
    std::vector<double> BarForces;
    // Per support in the truss's order. When several supports fix one direction of one joint,
    // the first of them in the list takes the whole reaction and the others 0.
    std::vector<TReaction> Reactions;
    // Per joint in the truss's order, in the length unit.
    std::vector<TDisplacement> Displacements;
    // |K u - f| / |f| of the free equations after solving; 0 when nothing is loaded.
    double RelativeResidual = 0;
    // The bars left out of the solve (indices in the truss's bar order).
    std::vector<int> IgnoredBars;

    bool Solved() const { return Status == TStiffnessStatus::Solved; }
};

// Solves K u = f with a sparse LDLT factorisation. The solver keeps the symbolic analysis of the
// last matrix it factorised, so a drag, which changes the geometry and not which joints the bars
// join, only factorises again. One solver per window; not shared between threads.
class TStiffnessSolver {
public:
    TStiffnessSolver();
    ~TStiffnessSolver();
    TStiffnessSolver(const TStiffnessSolver&) = delete;
    TStiffnessSolver& operator=(const TStiffnessSolver&) = delete;

    TStiffnessResult Solve(const TAnalysisModel& model);

private:
    struct TWorkspace;
    std::unique_ptr<TWorkspace> work;
};

// One solve with a solver of its own.
TStiffnessResult SolveStiffness(const TAnalysisModel& model);
TStiffnessResult SolveStiffness(const TPrutovaSoustava& truss);
