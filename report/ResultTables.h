// The results of an analysed truss as three tables (bars, supports, joints) in the document's
// units, shared by the results window, the CSV export, the printed report and the command line.
#pragma once

#include "Analysis.h"
#include "TrussSystem.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// Whether a bar pulls or pushes. A force that the drawing shows grey (it rounds to 0 at the 5th
// decimal) is Zero here too, so the table and the colours agree.
enum class TForceSense { Unknown, Tension, Compression, Zero };

struct TBarResult {
    int Index = 0;  // in the truss's bar list
    int Number = 0; // the bar's Number, "S" + Number on the drawing
    // The numbers of the joints at its ends; none where no joint could be made.
    std::optional<int> JointA, JointB;
    double Length = 0;           // in the length unit: drawing length times Delka
    std::optional<double> Force; // none while the truss is not solved
    TForceSense Sense = TForceSense::Unknown;
};

struct TSupportResult {
    int Index = 0;            // in the truss's support list
    std::optional<int> Joint; // the number of the joint at the support
    double X = 0, Y = 0;      // in the length unit, y downward as on the drawing
    TFixedSet Fixed = 0;
    // Along +x and +y; none for a direction the support does not hold or while not solved.
    std::optional<double> ReactionX, ReactionY;
};

struct TJointResult {
    int Index = 0; // in the truss's joint list
    int Number = 0;
    double X = 0, Y = 0; // in the length unit
    std::optional<TDisplacement> Displacement;
};

struct TTrussResults {
    std::vector<TBarResult> Bars;
    std::vector<TSupportResult> Supports;
    std::vector<TJointResult> Joints;
    TTrussUnits Units;
    bool Solved = false;
    // Whether the analysis found the joints' displacements: the joints table then has them.
    bool HasDisplacements = false;
};

// The results the entities hold after Analyse (forces, reactions) with the analysis's
// displacements, in the document's units. Forces and reactions are left out when the analysis
// failed, since the entities then keep those of an earlier truss.
TTrussResults ResultsOf(const TPrutovaSoustava& truss, const TAnalysis& analysis);

// The word for a sense: "tah", "tlak", "nulová" ("tension", "compression", "zero"); empty for
// Unknown.
QString SenseText(TForceSense sense);
// "x a y" ("x and y"), "x" or "y"; empty for a support that holds nothing.
QString FixedText(TFixedSet fixed);

// One cell of a table: a number, a word, nothing (a value that does not apply, such as the x
// reaction of a support that holds only y) or a value not known because the truss is not
// solved. Exports write both empty; a window shows Unknown as "?", as the drawing does.
struct TResultCell {
    enum class TKind { Empty, Unknown, Number, Text };
    TKind Kind = TKind::Empty;
    double Number = 0;
    QString Text;

    static TResultCell Of(double number) { return {TKind::Number, number, {}}; }
    static TResultCell Of(const QString& text) { return {TKind::Text, 0, text}; }
    // The value, Unknown when the truss is not solved, Empty when it does not apply.
    static TResultCell Of(const std::optional<double>& value, bool applies, bool solved);
};

struct TResultTable {
    QString Title;       // "Pruty", "Podpory", "Styčníky"
    QStringList Headers; // with the unit in brackets where the document names one: "Síla [kN]"
    std::vector<std::vector<TResultCell>> Rows;
};

// Number, joint A, joint B, length, force, tension or compression; one row per bar in list order.
TResultTable BarsTable(const TTrussResults& results);
// Joint, x, y, restraint, Rx, Ry; one row per support.
TResultTable SupportsTable(const TTrussResults& results);
// Number, x, y and, when the analysis found them, ux and uy; one row per joint.
TResultTable JointsTable(const TTrussResults& results);
// The three tables in this order.
std::vector<TResultTable> ResultTables(const TTrussResults& results);

// A column header with the unit in brackets when the unit has a name: "Síla [kN]", "Délka".
QString HeaderWithUnit(const QString& header, const QString& unit);
