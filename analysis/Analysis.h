// The one entry point of the analyses: a truss solved by the method chosen, a failure explained,
// and the report lines that go with it. The command line and the truss window both call it.
#pragma once

#include "AnalysisModel.h"
#include "Mechanisms.h"
#include "StiffnessSolver.h"
#include "TrussSystem.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

enum class TSolveMethod {
    Joints,    // the joint equations alone, as the truss window always solved
    Stiffness, // the stiffness method for every truss
    Auto,      // the stiffness method for a redundant truss that cannot move, else the joints
};

struct TAnalysisOptions {
    TSolveMethod Method = TSolveMethod::Auto;
    // Also find the joints' displacements when the joint method's forces are the ones used (a
    // determinate truss): one more stiffness solve.
    bool Displacements = false;
    // Look for the mechanism when the chosen method finds no unique solution.
    bool ExplainMechanism = true;
};

struct TAnalysis {
    // Joints or Stiffness: the method whose forces and reactions the entities now hold.
    TSolveMethod Method = TSolveMethod::Joints;
    // 0 when that method solved the truss, 1 when it has no joints, 2 when it has no unique
    // solution. After a failure the entities keep the forces of the last success.
    std::uint8_t Err = 0;
    // The joint equations' own code, as the EquationStore holds it.
    std::uint8_t JointsErr = 0;
    // The truss has more unknowns than the joint equations can hold: no equations were built
    // and the EquationStore still describes the truss solved before.
    bool JointsRefused = false;
    // Per joint in the truss's joint order, in the length unit; none when not found.
    std::optional<std::vector<TDisplacement>> Displacements;
    // |K u - f| / |f| of the stiffness solve when one ran and succeeded.
    double RelativeResidual = 0;
    // Why the truss cannot be solved, when Err is 2.
    std::optional<TMechanism> Mechanism;
    TTrussUnits Units;
    // The joints' Numbers in the truss's joint order, to label the displacements.
    std::vector<int> JointNumbers;
    // Milliseconds taken by the whole analysis.
    double CalcTime = 0;
};

// Runs the joint equations (Solve: they fill the EquationStore, which the matrix window lists),
// then, when the stiffness method is chosen (Stiffness; Auto when StaticIndeterminacy > 0 and
// the stiffness solve succeeds), writes its bar forces and reactions into the entities, so that
// Describe, the sums and the drawing show them. When the chosen method fails with Err 2 the
// mechanism is looked for. Throws ERangeError as Solve does, except when the stiffness method
// may still answer (Stiffness and Auto).
//
// What the window does with it: it keeps one TStiffnessSolver per truss (a drag then reuses the
// symbolic factorisation) and calls Analyse where it called Solve. The designed drawing greys
// the bars and writes "(?)" whenever EquationStore.Err is not 0; while a truss solved by
// stiffness is drawn, the window sets EquationStore.Err to the analysis's Err and puts the
// joint equations' code back afterwards, so the matrix window still reports on its equations.
// The first mode of a mechanism and the deformed shape are drawn with DeformationScale.
TAnalysis Analyse(TPrutovaSoustava& truss, TStiffnessSolver& solver,
                  const TAnalysisOptions& options = {});
TAnalysis Analyse(TPrutovaSoustava& truss, const TAnalysisOptions& options = {});

// The magnification that draws the largest of the displacements as a tenth of the truss's size
// (the longer side of the box around its joints): a joint at (X, Y) is drawn at
// (X + f * Ux / Delka, Y + f * Uy / Delka), displacements in the length unit. The same works for
// a mechanism's first mode. 0 when nothing moves or all joints stand on one point.
double DeformationScale(const TPrutovaSoustava& truss, const std::vector<TDisplacement>& u);

// Lines to append to the report (Describe): the method when the stiffness method solved the
// truss, and each joint's displacement with the length unit's name when they are known. Empty
// for the joint method without displacements, so the report is then exactly the designed one.
QString DescribeAnalysis(const TAnalysis& analysis);

// "styčníková" or "tuhostní" ("joints", "stiffness"), for the panel's method field.
QString MethodName(TSolveMethod method);
