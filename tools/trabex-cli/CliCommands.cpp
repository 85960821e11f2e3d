// trabex-cli's commands on top of the truss model.
#include "CliCommands.h"

#include "Analysis.h"
#include "DrawingExport.h"
#include "JointSteps.h"
#include "JointStepsText.h"
#include "MechanismText.h"
#include "PrutyUnit.h"
#include "ResultTables.h"
#include "TableText.h"
#include "TrussPicture.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {

constexpr int CliGridStep = 20;
const QSize DefaultPictureSize(1200, 800);

[[noreturn]] void fail(const QString& message) {
    throw EUsageError(message.toStdString());
}

void expectArgs(const QStringList& args, int min, int max) {
    if (args.size() < min || args.size() > max)
        fail(QStringLiteral("wrong number of arguments for \"%1\"; %2").arg(args[0], CliUsage()));
}

int intArg(const QString& text, const char* what) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("%1 must be an integer, not \"%2\"").arg(QLatin1String(what), text));
    return value;
}

// A loaded truss with its analysis.
struct TLoaded {
    std::unique_ptr<TPrutovaSoustava> Truss;
    TAnalysis Analysis;
};

TSolveMethod methodArg(const QString& text) {
    if (text == QLatin1String("joints"))
        return TSolveMethod::Joints;
    if (text == QLatin1String("stiffness"))
        return TSolveMethod::Stiffness;
    if (text == QLatin1String("auto"))
        return TSolveMethod::Auto;
    fail(QStringLiteral("--method must be joints, stiffness or auto, not \"%1\"").arg(text));
}

// Takes "--method M" or "--method=M" out of the arguments; auto when it is not given.
TSolveMethod takeMethod(QStringList& args) {
    TSolveMethod method = TSolveMethod::Auto;
    for (qsizetype i = 1; i < args.size();) {
        const QString& a = args[i];
        if (a == QLatin1String("--method")) {
            if (i + 1 >= args.size())
                fail(QStringLiteral("--method needs a value: joints, stiffness or auto"));
            method = methodArg(args[i + 1]);
            args.remove(i, 2);
        } else if (a.startsWith(QLatin1String("--method="))) {
            method = methodArg(a.mid(9));
            args.remove(i);
        } else {
            ++i;
        }
    }
    return method;
}

// Runs one step on a truss; an error of the file or the analysis is bad input.
template <typename Step> void guarded(const QString& path, Step step) {
    try {
        step();
    } catch (const std::exception& e) {
        fail(QStringLiteral("cannot analyse \"%1\": %2")
                 .arg(path, QString::fromStdString(e.what())));
    }
}

std::unique_ptr<TPrutovaSoustava> load(const QString& path) {
    if (!QFileInfo(path).exists())
        fail(QStringLiteral("cannot find file \"%1\"").arg(path));
    auto truss = std::make_unique<TPrutovaSoustava>();
    guarded(path, [&] { truss->LoadFromFile(path); });
    return truss;
}

// Loads and solves a truss by the method of joints; a truss that cannot be solved is still a
// good input.
std::unique_ptr<TPrutovaSoustava> loadSolved(const QString& path) {
    auto truss = load(path);
    guarded(path, [&] { truss->Solve(); });
    return truss;
}

TLoaded loadAnalysed(const QString& path, const TAnalysisOptions& options) {
    TLoaded loaded{load(path), {}};
    guarded(path, [&] { loaded.Analysis = Analyse(*loaded.Truss, options); });
    return loaded;
}

QString methodText(TSolveMethod method) {
    return method == TSolveMethod::Stiffness ? QStringLiteral("stiffness")
                                             : QStringLiteral("joints");
}

QString kindText(TMechanismKind kind) {
    switch (kind) {
    case TMechanismKind::Translation:
        return QStringLiteral("translation");
    case TMechanismKind::Rotation:
        return QStringLiteral("rotation");
    case TMechanismKind::Internal:
        return QStringLiteral("internal");
    case TMechanismKind::Infinitesimal:
        return QStringLiteral("infinitesimal");
    case TMechanismKind::None:
        break;
    }
    return QStringLiteral("none");
}

QString fixedText(TFixedSet f) {
    return QString((f & P_X) ? QStringLiteral("x") : QString()) +
           ((f & P_Y) ? QStringLiteral("y") : QString());
}

QJsonValue solvedValue(bool solved, double value) {
    return solved ? QJsonValue(value) : QJsonValue();
}

QString report(const TPrutovaSoustava& t, const TAnalysis& a) {
    QString out = t.Describe() + DescribeAnalysis(a) + QStringLiteral("\r\n\r\n");
    out += QStringLiteral("bars: %1\njoints: %2\nsupports: %3\nreactions: %4\nforces: %5\n")
               .arg(t.PrutCount())
               .arg(t.StycnikCount())
               .arg(t.PodperaCount())
               .arg(t.ReactionCount())
               .arg(t.SilaCount());
    out += QStringLiteral("static indeterminacy: %1\nerror: %2\nmethod: %3\n")
               .arg(t.StaticIndeterminacy())
               .arg(a.Err)
               .arg(methodText(a.Method));
    if (a.Mechanism)
        out += QStringLiteral("mechanism: %1\n").arg(DescribeMechanism(*a.Mechanism));
    return out;
}

QJsonValue displacementValue(const TAnalysis& a, int joint, double TDisplacement::*component) {
    if (!a.Displacements)
        return QJsonValue();
    return (*a.Displacements)[static_cast<size_t>(joint)].*component;
}

QJsonObject mechanismJson(const TMechanism& m) {
    QJsonArray moving;
    for (const int number : m.MovingJoints)
        moving.append(number);
    QJsonObject o{{"modes", m.Modes},
                  {"rigid_modes", m.RigidModes},
                  {"kind", kindText(m.Kind)},
                  {"joints", moving},
                  {"text", DescribeMechanism(m)}};
    if (m.Kind == TMechanismKind::Rotation)
        o.insert("centre", QJsonArray{m.CentreX, m.CentreY});
    return o;
}

QString json(const TPrutovaSoustava& t, const TAnalysis& a) {
    const bool solved = a.Err == 0;
    QJsonArray joints, bars, supports, forces;
    for (int i = 0; i < t.StycnikCount(); ++i) {
        const TStycnik& j = t.Stycnik(i);
        joints.append(QJsonObject{{"number", j.Number},
                                  {"x", j.X},
                                  {"y", j.Y},
                                  {"ux", displacementValue(a, i, &TDisplacement::Ux)},
                                  {"uy", displacementValue(a, i, &TDisplacement::Uy)}});
    }
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        bars.append(QJsonObject{{"index", i},
                                {"number", p.Number},
                                {"a", QJsonArray{p.Sa_X, p.Sa_Y}},
                                {"b", QJsonArray{p.Sb_X, p.Sb_Y}},
                                {"force", solvedValue(solved, p.Sila)},
                                {"ea", p.EA}});
    }
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        supports.append(
            QJsonObject{{"index", i},
                        {"x", s.X},
                        {"y", s.Y},
                        {"fixed", fixedText(s.Fixed)},
                        {"reaction_x", solvedValue(solved && (s.Fixed & P_X), s.ReactionX)},
                        {"reaction_y", solvedValue(solved && (s.Fixed & P_Y), s.ReactionY)}});
    }
    for (int i = 0; i < t.SilaCount(); ++i) {
        const TSila& f = t.Sila(i);
        forces.append(
            QJsonObject{{"index", i}, {"x", f.X}, {"y", f.Y}, {"sila", f.Sila}, {"uhel", f.Uhel}});
    }
    QJsonObject root{{"err", a.Err},
                     {"method", methodText(a.Method)},
                     {"static_indeterminacy", t.StaticIndeterminacy()},
                     {"joints", joints},
                     {"bars", bars},
                     {"supports", supports},
                     {"forces", forces},
                     {"units", QJsonObject{{"length", t.Units.Delka},
                                           {"length_unit", t.Units.JednotkaDelky},
                                           {"force_unit", t.Units.JednotkaSily}}}};
    if (a.Mechanism)
        root.insert("mechanism", mechanismJson(*a.Mechanism));
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QString probe(TPrutovaSoustava& t, int x, int y, int step) {
    TProbeGrid grid;
    if (t.ProbeStycnik(x, y, step, grid) < 0)
        fail(QStringLiteral("there is no joint at (%1, %2)").arg(x).arg(y));
    QString out = QStringLiteral("SumAbs (rows: y offset -3..3, columns: x offset -3..3)\n");
    for (int j = 0; j < 7; ++j) {
        for (int i = 0; i < 7; ++i)
            out += QStringLiteral("%1").arg(FormatDecimals(grid[i][j].SumAbs, 3), 14);
        out += u'\n';
    }
    out += QStringLiteral("SumSq\n");
    for (int j = 0; j < 7; ++j) {
        for (int i = 0; i < 7; ++i)
            out += QStringLiteral("%1").arg(FormatDecimals(grid[i][j].SumSq, 3), 14);
        out += u'\n';
    }
    out += QStringLiteral("MinSumAbs: %1\nMaxSumAbs: %2\n")
               .arg(FormatDecimals(t.MinSumAbs, 6), FormatDecimals(t.MaxSumAbs, 6));
    return out;
}

// A PNG is the window's picture at 100 % with its grid, as it always was; SVG and PDF show the
// truss fitted to the page without a grid, as the program's exports do.
void render(TPrutovaSoustava& t, const QString& outPath, QSize size) {
    TTrussRenderOptions options;
    options.Flags = dfPrutName | dfPrutForce | dfStycNo;
    options.Err = t.Solve();
    const QString suffix = QFileInfo(outPath).suffix().toLower();
    if (suffix == QLatin1String("svg") || suffix == QLatin1String("pdf")) {
        try {
            WriteDrawing(outPath, t, options, size);
        } catch (const EExportError& e) {
            fail(QString::fromUtf8(e.what()));
        }
        return;
    }
    options.GridStep = CliGridStep;
    const QImage image = RenderTrussPicture(t, size, options);
    QImageWriter writer(outPath, "png");
    if (!writer.write(image))
        fail(QStringLiteral("cannot write \"%1\": %2").arg(outPath, writer.errorString()));
}

} // namespace

QString CliUsage() {
    return QStringLiteral(
        "usage: trabex-cli report|json|csv FILE.trs [--method joints|stiffness|auto] | "
        "steps FILE.trs | equations FILE.trs | probe FILE.trs X Y STEP | "
        "render FILE.trs OUT.png|OUT.svg|OUT.pdf [WIDTH HEIGHT]");
}

void RunCliCommand(const QStringList& arguments, QString& out) {
    if (arguments.isEmpty())
        fail(CliUsage());
    QStringList args = arguments;
    const QString command = args[0];
    if (command == QLatin1String("report") || command == QLatin1String("json")) {
        const TSolveMethod method = takeMethod(args);
        expectArgs(args, 2, 2);
        // The command line reports displacements whenever the truss can be solved by stiffness.
        const TLoaded loaded = loadAnalysed(args[1], {method, command == QLatin1String("json")});
        out = command == QLatin1String("report") ? report(*loaded.Truss, loaded.Analysis)
                                                 : json(*loaded.Truss, loaded.Analysis);
    } else if (command == QLatin1String("csv")) {
        const TSolveMethod method = takeMethod(args);
        expectArgs(args, 2, 2);
        // The same analysis as json, so that the two agree.
        const TLoaded loaded = loadAnalysed(args[1], {method, true});
        out = ResultsCsv(ResultTables(ResultsOf(*loaded.Truss, loaded.Analysis)));
    } else if (command == QLatin1String("steps")) {
        expectArgs(args, 2, 2);
        // The analysis supplies what statics cannot: the stiffness method's forces of a
        // redundant truss, the mechanism of one that can move.
        const TLoaded loaded = loadAnalysed(args[1], {});
        out = JointStepsText(SolveByJoints(*loaded.Truss, &loaded.Analysis));
    } else if (command == QLatin1String("equations")) {
        expectArgs(args, 2, 2);
        QStringList lines;
        loadSolved(args[1])->DescribeEquations(lines);
        out = lines.join(QStringLiteral("\n")) + u'\n';
    } else if (command == QLatin1String("probe")) {
        expectArgs(args, 5, 5);
        const int x = intArg(args[2], "X"), y = intArg(args[3], "Y"),
                  step = intArg(args[4], "STEP");
        auto t = loadSolved(args[1]);
        out = probe(*t, x, y, step);
    } else if (command == QLatin1String("render")) {
        if (args.size() != 3 && args.size() != 5)
            fail(CliUsage());
        QSize size = DefaultPictureSize;
        if (args.size() == 5)
            size = QSize(intArg(args[3], "WIDTH"), intArg(args[4], "HEIGHT"));
        if (size.width() < 1 || size.height() < 1 || size.width() > 20000 || size.height() > 20000)
            fail(QStringLiteral("the picture size must lie between 1 and 20000 pixels"));
        auto t = loadSolved(args[1]);
        render(*t, args[2], size);
    } else {
        fail(QStringLiteral("unknown command \"%1\"; %2").arg(command, CliUsage()));
    }
}
