// The .trs reader exercise: load, solve, describe, move a joint, undo, redo, save, read back.
#include "ReaderExercises.h"

#include "TrussFileContent.h"
#include "TrussSystem.h"
#include "UMatrix.h"
#include "plsLangConsts.h"

#include <QPoint>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <utility>

namespace {

// The truss a window holds before the file is opened over it: a refused file must leave it.
void buildResident(TPrutovaSoustava& t) {
    t.AddPrut(0, 0, 40, 0);
    t.AddPrut(40, 0, 20, 30);
    t.AddPrut(20, 30, 0, 0);
    t.AddPodpera(0, 0, P_X | P_Y, 0);
    t.AddPodpera(40, 0, P_Y, 0);
    t.AddSila(20, 30, 5, 270);
}

QStringList items(const TPrutovaSoustava& t) {
    QStringList lines;
    t.SaveItemsToStrings(lines);
    return lines;
}

// Where two saved texts part, for the failure message.
std::string difference(const QStringList& a, const QStringList& b) {
    const QString end = QStringLiteral("<end>");
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString& x = i < a.size() ? a[i] : end;
        const QString& y = i < b.size() ? b[i] : end;
        if (x != y)
            return " (line " + std::to_string(i + 1) + ": \"" + x.toStdString() + "\", then \"" +
                   y.toStdString() + "\")";
    }
    return {};
}

// A grid point next to p that still has 32-bit coordinates.
QPoint neighbour(QPoint p) {
    return {p.x() < INT_MAX ? p.x() + 1 : p.x() - 1, p.y()};
}

} // namespace

std::string ExerciseTrussFile(QByteArrayView bytes) {
    const QStringList lines = SplitTrussLines(QString::fromUtf8(bytes));

    // Opened as the program opens a file: the history starts again and the load is one state.
    TPrutovaSoustava truss;
    buildResident(truss);
    const QStringList resident = items(truss);
    truss.ClearHistory();
    truss.RecordSnapshots = false;
    bool refused = false;
    try {
        truss.LoadFromStrings(lines);
    } catch (const ETrussFileError&) {
        refused = true;
    } catch (const ERangeError&) {
        // A support with Kv outside 0..255: the items before it stay loaded.
    }
    truss.RecordSnapshots = true;
    truss.PushSnapshot();
    if (refused && items(truss) != resident)
        return "a refused file changed the truss" + difference(resident, items(truss));
    if (truss.StycnikCount() > MaxStycniky)
        return "the truss has " + std::to_string(truss.StycnikCount()) + " joints";
    const QStringList loaded = items(truss);

    bool solved = true;
    try {
        truss.Solve();
    } catch (const ERangeError&) {
        // More unknowns than the equations hold: the truss stays unsolved.
        solved = false;
    }
    const QString report = truss.Describe();
    for (const auto& [heading, count] : {std::pair{str_PocetPrutu, truss.PrutCount()},
                                         std::pair{str_PocetStycniku, truss.StycnikCount()}})
        if (!report.contains(heading + QStringLiteral(": ") + QString::number(count) + u' '))
            return "the report gives a wrong count: " + heading.toStdString();
    QStringList equations;
    truss.DescribeEquations(equations);
    const QString dimension =
        str_Dimension + QStringLiteral(": ") + QString::number(2 * truss.StycnikCount());
    if (solved && (equations.isEmpty() || equations.first() != dimension))
        return "the equation listing is not that of the truss";

    QStringList moved = loaded;
    if (truss.StycnikCount() > 0) {
        const QPoint from(truss.Stycnik(0).X, truss.Stycnik(0).Y);
        truss.MoveStycnik(from, neighbour(from));
        // The editor makes the finished drag one undo state.
        truss.PushSnapshot();
        if (truss.FindStycnik(from.x(), from.y()) >= 0)
            return "a joint is left where the moved joint was";
        moved = items(truss);
        truss.Undo();
        if (items(truss) != loaded)
            return "undo did not restore the loaded truss" + difference(loaded, items(truss));
        truss.Redo();
        if (items(truss) != moved)
            return "redo did not restore the moved truss" + difference(moved, items(truss));
    }

    // The saved text, read back and saved again, is the same text.
    QStringList saved;
    truss.SaveToStrings(saved);
    if (saved.size() < moved.size() || saved.mid(0, moved.size()) != moved)
        return "the saved text does not begin with the items";
    TPrutovaSoustava reread;
    reread.RecordSnapshots = false;
    reread.LoadFromStrings(saved);
    if (items(reread) != moved)
        return "the saved text reads back differently" + difference(moved, items(reread));
    return {};
}
