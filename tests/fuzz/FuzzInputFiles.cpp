// The input files of a fuzz target in the source tree: its seed corpus and its regression inputs.
#include "ReaderExercises.h"

#include <QDir>

QStringList FuzzInputFiles(const QString& target) {
    QStringList files;
    for (const char* kind : {"corpus", "regressions"}) {
        const QDir dir(QStringLiteral(TRABEX_FUZZ_DIR "/%1/%2").arg(QLatin1String(kind), target));
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name))
            files << dir.absoluteFilePath(name);
    }
    return files;
}
