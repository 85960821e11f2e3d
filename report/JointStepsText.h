// The solution by joints written out: plain text for the command line, HTML for the page.
#pragma once

#include "JointSteps.h"

#include <QString>
#include <QStringList>

// Title; the sign convention, the units and whether the truss is determinate (with why it can
// move, when it can); then each step with its joint(s), known forces, unknowns and their
// directions, the equations with the numbers put in (checks marked, with what they leave), and
// the values found; at the end the reactions and the bar forces, what statics leaves open (with
// the stiffness method's values when it solved the truss) and loads that cannot be balanced.
// Numbers with five significant digits and the locale's decimal separator, as the report;
// lines end in "\n".
QString JointStepsText(const TJointSteps& steps);

// The same as simple HTML for QTextBrowser, with a free-body drawing per step as a PNG data URI;
// a whole document, which saves as an .html file and prints through QTextDocument.
QString JointStepsHtml(const TJointSteps& steps);

// "Jednotky: síla kN, délka m." and, when a drawing unit is not one length unit, "Jeden dílek
// výkresu měří 0.01 m.": what the steps and the printed report say about units.
QStringList UnitsLines(const TTrussUnits& units);

// A number as the steps write it: five significant digits, trailing zeros dropped, the locale's
// decimal separator; 0 for anything of magnitude at most zero (rounding left of a zero force).
QString StepNumber(double value, double zero = 0);

// One equation as the text shows it: "ΣFx = 0:  0.70711·S2 - 0.70711·S3 = 0". Block equations
// name their joint, "ΣFx(4)", moment equations their point, "ΣM(1)".
QString EquationText(const TJointSteps& steps, const TStepEquation& equation, bool nameJoint);
