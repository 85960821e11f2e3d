// The language-file fuzz target's exercise over its seed corpus and the inputs that once failed.
#include "LangFolder.h"
#include "ReaderExercises.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(LanguageFuzzRegression, EveryCorpusAndRegressionInputPasses) {
    const QStringList files = FuzzInputFiles(QStringLiteral("language_file"));
    ASSERT_GE(files.size(), 5);
    TLangFolder folder;
    for (const QString& path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(ExerciseLanguageFile(file.readAll(), folder.Path()), "") << path.toStdString();
        EXPECT_TRUE(QDir(folder.Path()).isEmpty()) << "files left behind by " << path.toStdString();
    }
}

// The exercise notices a manager that loads what it did not write: another file of the code in
// the folder makes it fail (and is removed with the exercise's own files).
TEST(LanguageFuzzRegression, TheExerciseFailsWhenTheFolderHoldsAnotherFile) {
    TLangFolder folder;
    folder.Write(QStringLiteral("Other.xx.lng"), "[constants]\nstr_Ano=other\n");
    const QByteArray input = QByteArray("[constants]\nstr_Ano=Yes\n") + '\0';
    EXPECT_EQ(ExerciseLanguageFile(input, folder.Path()), "the files loaded are not those written");
    EXPECT_TRUE(QDir(folder.Path()).isEmpty());
    EXPECT_EQ(ExerciseLanguageFile(input, folder.Path()), "");
}

} // namespace
