// trabex-trussgen: writes the textbook example trusses as .trs files into a folder.
#include "TrussBuilders.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>

namespace {

const char* const Usage =
    "Usage: trabex-trussgen [--stamp TEXT] [FOLDER]\n"
    "Writes the textbook example trusses (triangle, warren, pratt, howe, roof, tower,\n"
    "pratt-bridge) as .trs files into FOLDER, the current folder when none is given.\n"
    "\n"
    "  --stamp TEXT  the files' Info stamp instead of this program's own (date, path, volume)\n"
    "  --help        prints this text and writes nothing\n";

struct TOptions {
    QString Folder = QStringLiteral(".");
    QString Stamp;
    bool Help = false;
};

// The options of the command line; none when it holds an unknown option, a missing stamp or
// more than one folder.
std::optional<TOptions> ParseOptions(const QStringList& args) {
    TOptions options;
    bool folderGiven = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            options.Help = true;
        } else if (arg == QStringLiteral("--stamp") && i + 1 < args.size()) {
            options.Stamp = args[++i];
        } else if (arg.startsWith(u'-') || folderGiven) {
            return std::nullopt;
        } else {
            options.Folder = arg;
            folderGiven = true;
        }
    }
    return options;
}

int WriteExamples(const TOptions& options) {
    const std::pair<const char*, std::function<void(TPrutovaSoustava&)>> examples[] = {
        {"triangle", [](auto& t) { BuildTriangle(t, 200, 100, 10); }},
        {"warren",
         [](auto& t) {
             BuildWarren(t, TBridgeShape{6, 80, 60, 40, 200, 10});
         }},
        {"pratt",
         [](auto& t) {
             BuildPratt(t, TBridgeShape{6, 80, 80, 40, 200, 10});
         }},
        {"howe",
         [](auto& t) {
             BuildHowe(t, TBridgeShape{6, 80, 80, 40, 200, 10});
         }},
        {"roof", [](auto& t) { BuildKingPostRoof(t, 160, 80, 20); }},
        {"tower", [](auto& t) { BuildTower(t, 5, 80, 10); }},
        {"pratt-bridge",
         [](auto& t) {
             BuildPratt(t, TBridgeShape{49, 20, 40, 40, 400, 5});
         }},
    };
    QDir().mkpath(options.Folder);
    for (const auto& [name, build] : examples) {
        TPrutovaSoustava truss;
        truss.RecordSnapshots = false;
        truss.InfoStamp = options.Stamp;
        build(truss);
        const QString path = options.Folder + u'/' + QLatin1String(name) + QStringLiteral(".trs");
        try {
            truss.SaveToFile(path);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "trabex-trussgen: %s\n", e.what());
            return 2;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const auto options = ParseOptions(QCoreApplication::arguments());
    if (!options) {
        std::fputs(Usage, stderr);
        return 2;
    }
    if (options->Help) {
        std::fputs(Usage, stdout);
        return 0;
    }
    return WriteExamples(*options);
}
