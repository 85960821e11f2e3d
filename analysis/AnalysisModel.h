// The truss as the analyses see it: joints, bars between joints, supported directions, loads.
#pragma once

#include "Entities.h"

#include <vector>

class TPrutovaSoustava;

struct TAnalysisModel {
    struct TJoint {
        int Number = 0;      // the joint's Number in the truss
        double X = 0, Y = 0; // drawing units
    };
    // A bar between joints A and B (indices into Joints). A bar of length 0 has A == B; a bar
    // with an end where no joint could be made (beyond the joint limit) has -1 there.
    struct TBar {
        int A = -1, B = -1;
        double EA = DefaultEA;
        bool Active() const { return A >= 0 && B >= 0 && A != B; }
    };
    struct TSupport {
        int Joint = -1; // -1 when no joint could be made at the support
        TFixedSet Fixed = 0;
    };

    std::vector<TJoint> Joints;     // in the truss's joint order
    std::vector<TBar> Bars;         // in the truss's bar order
    std::vector<TSupport> Supports; // in the truss's support order
    // The loads acting on each joint, summed as the joint equations sum them.
    std::vector<double> LoadX, LoadY;
    // Length of one drawing unit in the length unit.
    double Delka = 1;

    int JointCount() const { return static_cast<int>(Joints.size()); }
    // Whether any support at joint j takes a reaction along x (direction 0) or y (1).
    std::vector<bool> FixedDofs() const;
};

// The model of a truss: joints and loads come from the joints' vectors, exactly what the joint
// equations are written from, so both methods see one truss.
TAnalysisModel AnalysisModelOf(const TPrutovaSoustava& truss);
