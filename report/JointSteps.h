// The method of joints as a student works it: joint after joint, each with at most two unknown
// forces left, its two equilibrium equations with the numbers put in, and their solution.
#pragma once

#include "Analysis.h"
#include "TrussSystem.h"

#include <QString>

#include <optional>
#include <vector>

// One unknown of the joint equations: a bar force or a support reaction.
struct TStepUnknown {
    enum class TKind { Bar, ReactionX, ReactionY };
    TKind Kind = TKind::Bar;
    int Number = 0; // the unknown's number, its column in the joint equations
    int Index = 0;  // the bar's or the support's index in the truss
    // The index of the joint a reaction acts on, or of one joint at a bar's end; -1 when none
    // could be made.
    int Joint = -1;
    int JointB = -1; // a bar: the joint at its other end
    QString Name;    // "S3" for bar 3, "Rx2" and "Ry2" for the reactions at joint 2
    std::optional<double> Value;
    int Step = -1; // the step that found it
    // The value the stiffness method gave, when it solved the truss (see SolveByJoints).
    std::optional<double> StiffnessValue;
};

// One force in an equation: its coefficient (a direction cosine, or a lever arm in the length
// unit in a moment equation) times an unknown or a load.
struct TStepTerm {
    int Unknown = -1; // index into TJointSteps::Unknowns; -1 for a load
    double Coefficient = 0;
    // A load's magnitude; an unknown's value when an earlier step found it.
    double Value = 0;
    bool Known = false; // a load, or an unknown found by an earlier step
};

struct TStepEquation {
    enum class TKind { SumX, SumY, Moment };
    TKind Kind = TKind::SumX;
    // SumX and SumY: the joint whose equilibrium it is; -1 for the whole truss. Moment: the
    // joint about whose point the moments are taken.
    int Joint = -1;
    std::vector<TStepTerm> Terms; // the sum of coefficient times force is 0
    // Not used to find an unknown: it checks the values found.
    bool Check = false;
    // The left side with every value found put in; a check should leave rounding only.
    double Residual = 0;
};

// A force on a joint as the free-body drawing shows it: along Angle (degrees from +x toward +y),
// a bar force pointing away from the joint (tension positive), a reaction along +x or +y, a load
// along its own direction.
struct TStepForce {
    int Joint = -1;
    int Unknown = -1; // -1 for a load
    double Angle = 0;
    double Value = 0; // a load's magnitude, or the value of an unknown found before the step
    bool Known = false;
};

struct TJointStep {
    enum class TKind {
        Joint,     // one joint with at most two unknowns left
        Reactions, // the three equilibrium equations of the whole truss give the reactions
        Block,     // joints that have to be solved together
    };
    TKind Kind = TKind::Joint;
    // Joint indices (in the truss's joint order): the joint of a Joint step, the joints of a
    // Block; for Reactions the joint about which the moments are taken.
    std::vector<int> Joints;
    // What acts on the joints, for the free-body drawing; for Reactions the loads and reactions
    // of the whole truss.
    std::vector<TStepForce> Forces;
    std::vector<TStepEquation> Equations;
    std::vector<int> Found; // the unknowns this step found, in the order of Forces
};

struct TStepJoint {
    int Number = 0;
    int X = 0, Y = 0; // drawing units
};

enum class TDeterminacy {
    Determinate,   // as many independent equations as unknowns
    Indeterminate, // more unknowns than independent equations: statics leaves some open
    Mechanism,     // more equations than the forces can meet independently: the truss can move
};

struct TJointSteps {
    std::vector<TStepJoint> Joints;
    std::vector<TStepUnknown> Unknowns;
    std::vector<TJointStep> Steps;
    TDeterminacy Determinacy = TDeterminacy::Determinate;
    int EquationCount = 0; // two per joint
    // The rank of the joint equations: how many of them are independent.
    int Rank = 0;
    // Every unknown found and every check held.
    bool Solved = false;
    // The first step whose check does not hold (the loads cannot be balanced), or -1.
    int UnbalancedStep = -1;
    double UnbalancedResidual = 0;
    // The largest load or force: checks and the text round against it.
    double ForceScale = 0;
    TTrussUnits Units;
    // From the analysis, for the text: why the truss can move.
    std::optional<TMechanism> Mechanism;
};

// Solves the truss joint by joint. Each turn takes the joint with the fewest unknowns left,
// when that is at most two and their directions differ (then the lowest joint Number); a joint
// with one unknown left solves it from the equation where it weighs more and checks the other,
// one with none checks both. When no joint qualifies and reactions are still unknown, the three
// equilibrium equations of the whole truss (moments about the joint of the support with the most
// reactions) give them, as a student finds the reactions of a bridge first. When that does not
// help either, the smallest set of joints whose equations determine all their unknowns (up to
// MaxBlockJoints joints, then all remaining ones) is solved as one system, as a K-braced panel
// needs it. What none of this determines stays without a value.
//
// The forces act on the joints as the joint equations write them (the same vectors, angles and
// loads), so a determinate truss gets the joint equations' forces. When analysis is given and it
// solved the truss by the stiffness method, the unknowns take its values (the entities hold them
// after Analyse) as StiffnessValue, for the text to show what statics leaves open; its mechanism,
// if any, is kept for the text.
TJointSteps SolveByJoints(const TPrutovaSoustava& truss, const TAnalysis* analysis = nullptr);

// Block search limit: connected sets of up to this many joints are tried.
constexpr int MaxBlockJoints = 8;
