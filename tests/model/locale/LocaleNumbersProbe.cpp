// Prints, under the locale of its environment, the numbers a truss file, an undo step, the joint
// probe and the report make of fractional values, as "name=text" lines in UTF-8.
#include "NumberFormat.h"
#include "TrussSystem.h"

#include <QCoreApplication>
#include <QLocale>

#include <clocale>
#include <cstdio>

namespace {

void print(const char* name, const QString& text) {
    std::printf("%s=%s\n", name, text.toUtf8().constData());
}

QString exact(double value) {
    return QString::number(value, 'g', 17);
}

// A triangle of 200 by 100 on two supports, loaded at its apex by 2.5 at 90.5 degrees.
void buildTriangle(TPrutovaSoustava& t) {
    t.AddPrut(40, 140, 240, 140);
    t.AddPrut(240, 140, 140, 40);
    t.AddPrut(140, 40, 40, 140);
    t.AddPodpera(40, 140, P_X | P_Y, 0);
    t.AddPodpera(240, 140, P_Y, 0);
    t.AddSila(140, 40, 2.5, 90.5);
}

} // namespace

int main(int argc, char** argv) {
    // The application object sets the C library's locale from the environment, as in Trabex.
    QCoreApplication app(argc, argv);
    print("c_separator", QString::fromUtf8(std::localeconv()->decimal_point));
    print("qt_separator", QLocale().decimalPoint());

    TPrutovaSoustava truss;
    buildTriangle(truss);
    truss.AddSila(100, 100, 10, 90);
    truss.AddSila(120, 120, 1e20, 0.000001);
    QStringList lines;
    truss.SaveToStrings(lines);
    for (const QString& line : lines)
        if (line.startsWith(QStringLiteral("Sila")) || line.startsWith(QStringLiteral("Uhel")))
            print("file", line);

    // Undo back to the triangle reads its load from a snapshot in the file's text.
    truss.Undo();
    truss.Undo();
    print("undo_sila", exact(truss.Sila(0).Sila));
    print("undo_uhel", exact(truss.Sila(0).Uhel));

    // The joint probe copies the truss through the same text; its middle cell is the truss as it
    // stands.
    TProbeGrid grid{};
    truss.ProbeStycnik(140, 40, 20, grid);
    print("probe_sum_abs", exact(grid[3][3].SumAbs));

    print("report_fixed", FormatFixed(-12.5, 1));
    print("report_scientific", FormatFixed(123456789, 1));
    print("listing", FormatListingValue(0.5L));
    return 0;
}
