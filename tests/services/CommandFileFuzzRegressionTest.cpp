// The command-file fuzz target's exercise over its seed corpus and the inputs that once failed.
#include "BatchFileExecute.h"
#include "ReaderExercises.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(CommandFileFuzzRegression, EveryCorpusAndRegressionInputPasses) {
    const QStringList files = FuzzInputFiles(QStringLiteral("command_file"));
    ASSERT_GE(files.size(), 5);
    for (const QString& path : files) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(ExerciseCommandFile(file.readAll()), "") << path.toStdString();
    }
}

// A command made without a file reads nothing and holds no lines until they are set.
TEST(CommandFileFuzzRegression, ACommandWithoutAFileHoldsOnlyTheLinesSet) {
    TBatchFileExecute command;
    EXPECT_TRUE(command.Lines.isEmpty());
    command.Lines =
        TBatchFileExecute::SplitLines(QStringLiteral("[open]\r\na.trs\r\n[delete]\r\nb"));
    QStringList entries;
    command.ReadSection(QStringLiteral("[Open]"), entries);
    EXPECT_EQ(entries, QStringList{QStringLiteral("a.trs")});
    command.ReadSection(QStringLiteral("[Delete]"), entries);
    EXPECT_EQ(entries, QStringList{QStringLiteral("b")});
}

} // namespace
