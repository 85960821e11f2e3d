// trabex-trussgen: writes the textbook example trusses as .trs files into a folder.
#include "TrussBuilders.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <functional>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
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
    for (const auto& [name, build] : examples) {
        TPrutovaSoustava truss;
        truss.RecordSnapshots = false;
        build(truss);
        const QString path = folder + u'/' + QLatin1String(name) + QStringLiteral(".trs");
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
