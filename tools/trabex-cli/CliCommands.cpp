// trabex-cli's commands on top of the truss model.
#include "CliCommands.h"

#include "PrutyUnit.h"
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

// Loads and solves a truss; a truss that cannot be solved is still a good input.
std::unique_ptr<TPrutovaSoustava> loadSolved(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        fail(QStringLiteral("cannot find file \"%1\"").arg(path));
    auto truss = std::make_unique<TPrutovaSoustava>();
    try {
        truss->LoadFromFile(path);
        truss->Solve();
    } catch (const std::exception& e) {
        fail(QStringLiteral("cannot analyse \"%1\": %2")
                 .arg(path, QString::fromStdString(e.what())));
    }
    return truss;
}

QString fixedText(TFixedSet f) {
    return QString((f & P_X) ? QStringLiteral("x") : QString()) +
           ((f & P_Y) ? QStringLiteral("y") : QString());
}

QJsonValue solvedValue(bool solved, double value) {
    return solved ? QJsonValue(value) : QJsonValue();
}

QString report(const TPrutovaSoustava& t) {
    QString out = t.Describe() + QStringLiteral("\r\n\r\n");
    out += QStringLiteral("bars: %1\njoints: %2\nsupports: %3\nreactions: %4\nforces: %5\n")
               .arg(t.PrutCount())
               .arg(t.StycnikCount())
               .arg(t.PodperaCount())
               .arg(t.ReactionCount())
               .arg(t.SilaCount());
    out += QStringLiteral("static indeterminacy: %1\nerror: %2\n")
               .arg(t.StaticIndeterminacy())
               .arg(EquationStore.Err);
    return out;
}

QString json(const TPrutovaSoustava& t) {
    const bool solved = EquationStore.Err == 0;
    QJsonArray joints, bars, supports, forces;
    for (int i = 0; i < t.StycnikCount(); ++i) {
        const TStycnik& j = t.Stycnik(i);
        joints.append(QJsonObject{{"number", j.Number}, {"x", j.X}, {"y", j.Y}});
    }
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& p = t.Prut(i);
        bars.append(QJsonObject{{"index", i},
                                {"number", p.Number},
                                {"a", QJsonArray{p.Sa_X, p.Sa_Y}},
                                {"b", QJsonArray{p.Sb_X, p.Sb_Y}},
                                {"force", solvedValue(solved, p.Sila)}});
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
    const QJsonObject root{
        {"err", EquationStore.Err}, {"static_indeterminacy", t.StaticIndeterminacy()},
        {"joints", joints},         {"bars", bars},
        {"supports", supports},     {"forces", forces}};
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

void render(TPrutovaSoustava& t, const QString& outPath, QSize size) {
    TTrussRenderOptions options;
    options.Flags = dfPrutName | dfPrutForce | dfStycNo;
    options.Err = t.Solve();
    options.GridStep = CliGridStep;
    const QImage image = RenderTrussPicture(t, size, options);
    QImageWriter writer(outPath, "png");
    if (!writer.write(image))
        fail(QStringLiteral("cannot write \"%1\": %2").arg(outPath, writer.errorString()));
}

} // namespace

QString CliUsage() {
    return QStringLiteral(
        "usage: trabex-cli report|equations|json FILE.trs | probe FILE.trs X Y STEP | "
        "render FILE.trs OUT.png [WIDTH HEIGHT]");
}

void RunCliCommand(const QStringList& args, QString& out) {
    if (args.isEmpty())
        fail(CliUsage());
    const QString& command = args[0];
    if (command == QLatin1String("report") || command == QLatin1String("equations") ||
        command == QLatin1String("json")) {
        expectArgs(args, 2, 2);
        auto t = loadSolved(args[1]);
        if (command == QLatin1String("report")) {
            out = report(*t);
        } else if (command == QLatin1String("json")) {
            out = json(*t);
        } else {
            QStringList lines;
            t->DescribeEquations(lines);
            out = lines.join(QStringLiteral("\n")) + u'\n';
        }
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
