// libFuzzer target of the language-file reader: any bytes as the files of one language.
#include "FuzzEntry.h"
#include "ReaderExercises.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// The one folder of the process that the language files are written to, removed at its end.
QTemporaryDir* LanguageFolder = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzProcess();
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/trabex-fuzz-lang-XXXXXX"));
    if (!folder.isValid()) {
        std::fprintf(stderr, "Cannot make a temporary folder: %s\n",
                     folder.errorString().toLocal8Bit().constData());
        std::exit(1);
    }
    LanguageFolder = &folder;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FailOn(ExerciseLanguageFile(FuzzBytes(data, size), LanguageFolder->path()));
    return 0;
}
