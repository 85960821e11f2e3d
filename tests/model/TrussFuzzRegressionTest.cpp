// The .trs fuzz target's exercise over its seed corpus and the inputs that once failed it.
#include "ReaderExercises.h"
#include "TrussFileContent.h"
#include "TrussSystem.h"

#include <QFile>
#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QString regression(const char* name) {
    return QStringLiteral(TRABEX_TEST_FUZZ_DIR "/regressions/truss_file/") + QLatin1String(name);
}

// Loaded as LoadFromFile reads a file, without a file.
void loadBytes(TPrutovaSoustava& t, const QByteArray& bytes) {
    t.LoadFromStrings(SplitTrussLines(QString::fromUtf8(bytes)));
}

TEST(TrussFuzzRegression, EveryCorpusAndRegressionInputPasses) {
    const QStringList files = FuzzInputFiles(QStringLiteral("truss_file"));
    ASSERT_GE(files.size(), 10);
    for (const QString& path : files)
        EXPECT_EQ(ExerciseTrussFile(readFile(path)), "") << path.toStdString();
}

// Loads of the largest magnitude were written as 1.79769313486232E308, which is beyond the
// largest double: the saved file read back a load of 0.
TEST(TrussFuzzRegression, TheLargestLoadSurvivesSaving) {
    TPrutovaSoustava t, again;
    t.RecordSnapshots = false;
    again.RecordSnapshots = false;
    loadBytes(t, readFile(regression("largest-load.trs")));
    ASSERT_EQ(t.SilaCount(), 2);
    EXPECT_EQ(t.Sila(0).Sila, std::numeric_limits<double>::max());
    EXPECT_EQ(t.Sila(1).Sila, -std::numeric_limits<double>::max());
    QStringList saved;
    t.SaveToStrings(saved);
    again.LoadFromStrings(saved);
    ASSERT_EQ(again.SilaCount(), 2);
    EXPECT_EQ(again.Sila(0).Sila, t.Sila(0).Sila);
    EXPECT_EQ(again.Sila(1).Sila, t.Sila(1).Sila);
}

// A file of a few bytes declaring 100 000 items in each section kept the program loading for
// seconds (bars numbered by a search over all earlier ones); such counts are refused now, and
// the largest allowed counts load.
TEST(TrussFuzzRegression, HugeCountsAreRefusedAndTheLargestAllowedLoad) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    EXPECT_THROW(loadBytes(t, readFile(regression("count-100000.trs"))), ETrussFileError);
    EXPECT_EQ(t.PrutCount(), 0);
    loadBytes(t, readFile(regression("count-1000.trs")));
    EXPECT_EQ(t.PrutCount(), MaxFileItemCount);
    EXPECT_EQ(t.PodperaCount(), MaxFileItemCount);
    EXPECT_EQ(t.SilaCount(), MaxFileItemCount);
    EXPECT_EQ(t.Prut(MaxFileItemCount - 1).Number, MaxFileItemCount);
    EXPECT_EQ(t.Podpera(0).ReactionXNumber, MaxFileItemCount + 1);
}

} // namespace
