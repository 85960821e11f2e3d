// Why a truss can move: the displacement modes that stretch no bar and move no support.
#pragma once

#include "AnalysisModel.h"
#include "StiffnessSolver.h"

#include <vector>

class TPrutovaSoustava;

enum class TMechanismKind {
    None,          // no mode: the truss cannot move
    Translation,   // the supports let the whole truss slide (along x, y or both)
    Rotation,      // the supports let the whole truss turn about one point
    Internal,      // part of the truss moves while the rest stays: a bar or a support is missing
    Infinitesimal, // a start of a motion that the bars stop at once (bars in one line at a joint)
};

// A column of the compatibility matrix counts as dependent when, after the columns before it are
// taken out, less than this fraction of the largest column norm is left. Entries are direction
// cosines: a true mechanism leaves rounding (about 1e-16), and joints on the integer grid held by
// bars out of line by an angle t leave about t, at least 1 / (L1 L2) for bars of L1 and L2
// units. The line lies where the other solvers draw it: the joint equations' pivot threshold is
// 1e-7, and the stiffness solve's 1e-12 applies to K, whose pivots go with t squared. So a truss
// that either solver finds singular gets its modes here.
constexpr double MechanismRankTolerance = 1e-6;

// A joint moves in a mode when a component of its displacement exceeds this, the largest
// component of the mode being 1.
constexpr double MovingJointTolerance = 1e-6;

// The second-order stretch that a mode causes counts as one no displacement can take up when
// more than this fraction of it is left after the best correction: for an infinitesimal mode a
// large part is left (for two bars in line, all of it), for a finite one only rounding.
constexpr double InfinitesimalTolerance = 1e-3;

struct TMechanism {
    // Independent displacement modes that stretch no bar and move no supported component.
    int Modes = 0;
    // Of them, motions of the whole truss as one rigid body that the supports allow.
    int RigidModes = 0;
    // The kind of the first mode. When the supports allow a rigid motion it is the first mode
    // (a translation before a rotation), since no bar can cure it; otherwise the internal mode
    // that moves the fewest joints.
    TMechanismKind Kind = TMechanismKind::None;
    // The first mode per joint in the truss's joint order, scaled so that its largest component
    // is 1 and positive. Empty when there is no mode.
    std::vector<TDisplacement> FirstMode;
    // The Numbers of the joints that move in the first mode, ascending.
    std::vector<int> MovingJoints;
    // Translation: the directions the truss can slide in (both when nothing holds it).
    bool AlongX = false, AlongY = false;
    // Rotation: the centre in drawing units.
    double CentreX = 0, CentreY = 0;
};

// The null space of the compatibility matrix (bars x free displacement components), found by a
// sparse rank-revealing QR factorisation; rigid-body motions come from the supports alone.
//
// An internal first mode is called infinitesimal when the stretch it causes at second order,
// |perpendicular relative motion|^2 / L per bar, cannot be taken up by any displacement (it is
// not in the range of the compatibility matrix): then a state of self-stress of the bars resists
// the motion as soon as it starts, as for two bars in one line meeting at a free joint.
TMechanism FindMechanisms(const TAnalysisModel& model);
TMechanism FindMechanisms(const TPrutovaSoustava& truss);
