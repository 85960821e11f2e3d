// The update-page fuzz target's exercise over its seed corpus and the inputs that once failed.
#include "ReaderExercises.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(UpdatePageFuzzRegression, EveryCorpusAndRegressionInputPasses) {
    const QStringList files = FuzzInputFiles(QStringLiteral("update_page"));
    ASSERT_GE(files.size(), 3);
    for (const QString& path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(ExerciseUpdatePage(file.readAll()), "") << path.toStdString();
    }
}

} // namespace
