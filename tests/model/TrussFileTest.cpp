// The .trs format: exact text, reading rules, refusals, and saving that never loses a file.
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "TrussFileContent.h"
#include "TrussSystem.h"
#include "UMatrix.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void buildExample(TPrutovaSoustava& t) {
    t.AddPrut(40, 40, 120, 40);
    t.AddPodpera(40, 40, P_X | P_Y, 0);
    t.AddPodpera(120, 40, P_Y, 0);
    t.AddSila(120, 40, 10, 90);
}

QStringList lines(std::initializer_list<const char*> list) {
    QStringList l;
    for (const char* s : list)
        l << QString::fromUtf8(s);
    return l;
}

TEST(TrussFile, ExampleIsWrittenLineForLine) {
    TPrutovaSoustava t;
    buildExample(t);
    QStringList out;
    t.SaveToStrings(out);
    const QStringList expected = lines(
        {"[Pruty]",   "Count=1",  "Sa_X0=40", "Sa_Y0=40", "Sb_X0=120", "Sb_Y0=40", "",
         "[Podpery]", "Count=2",  "X0=40",    "Y0=40",    "P_X0=1",    "P_Y0=1",   "Kv0=0",
         "X1=120",    "Y1=40",    "P_X1=0",   "P_Y1=1",   "Kv1=0",     "",         "[Zatizeni]",
         "Count=1",   "Sila0=10", "X0=120",   "Y0=40",    "Uhel0=90",  "",         "[Info]"});
    ASSERT_EQ(out.size(), expected.size() + 2);
    EXPECT_EQ(out.mid(0, expected.size()), expected);
    EXPECT_TRUE(out[expected.size()].startsWith(FileVersion() + u'='));
    EXPECT_TRUE(out[expected.size()].contains(QStringLiteral(" SN:")));
    EXPECT_EQ(out.last(), QString());
}

TEST(TrussFile, RoundTripRenumbersFromOne) {
    TPrutovaSoustava a, b;
    buildExample(a);
    QStringList text;
    a.SaveToStrings(text);
    b.LoadFromStrings(text);
    ASSERT_EQ(b.PrutCount(), 1);
    ASSERT_EQ(b.PodperaCount(), 2);
    ASSERT_EQ(b.SilaCount(), 1);
    EXPECT_EQ(b.Podpera(0).ReactionXNumber, 2);
    EXPECT_EQ(b.Podpera(0).ReactionYNumber, 3);
    EXPECT_EQ(b.Podpera(1).ReactionYNumber, 4);
    EXPECT_EQ(b.StycnikCount(), 2);
    EXPECT_EQ(b.Sila(0).Uhel, 90);
    QStringList again;
    b.SaveToStrings(again);
    EXPECT_EQ(again.mid(0, again.size() - 2), text.mid(0, text.size() - 2));
}

TEST(TrussFile, ReaderIgnoresCaseBlanksCommentsAndRepeats) {
    TPrutovaSoustava t;
    t.LoadFromStrings(lines({"stray=1", "; a comment", "  [ pruty ]  ", "count = 1", "sa_x0 = 5",
                             "SA_X0=99", "Sb_X0=25", "[PRUTY]", "Count=7", "[zatizeni]", "Count=1",
                             "sila0=2,5", "uhel0=0x10"}));
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.Prut(0).Sa_X, 5);
    EXPECT_EQ(t.Prut(0).Sb_X, 25);
    ASSERT_EQ(t.SilaCount(), 1);
    EXPECT_EQ(t.Sila(0).Sila, 2.5); // a comma as the separator keeps the load
    EXPECT_EQ(t.Sila(0).Uhel, 0);   // a real is never hexadecimal
}

TEST(TrussFile, MissingItemsReadAsZero) {
    TPrutovaSoustava t;
    const int beeps = BeepCount;
    t.LoadFromStrings(lines(
        {"[Pruty]", "Count=1", "[Podpery]", "Count=1", "[Zatizeni]", "Count=1", "Sila0=abc"}));
    ASSERT_EQ(t.PrutCount(), 1);
    EXPECT_TRUE(t.Prut(0).IsDegenerate());
    EXPECT_EQ(BeepCount, beeps + 1);
    EXPECT_EQ(t.Podpera(0).Fixed, 0);
    EXPECT_EQ(t.Sila(0).Sila, 0);
    EXPECT_EQ(t.StycnikCount(), 1); // only the force's point
}

TEST(TrussFile, NegativeCountReadsAsZero) {
    TPrutovaSoustava t;
    t.LoadFromStrings(lines({"[Pruty]", "Count=-4", "Sa_X0=1"}));
    EXPECT_EQ(t.PrutCount(), 0);
}

TEST(TrussFile, HugeCountIsRefusedAndTheTrussStays) {
    TPrutovaSoustava t;
    buildExample(t);
    EXPECT_THROW(t.LoadFromStrings(lines({"[Pruty]", "Count=2000000000"})), ETrussFileError);
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.PodperaCount(), 2);
    EXPECT_EQ(t.StycnikCount(), 2);
}

TEST(TrussFile, CountsUpToTheLimitLoadAndBeyondAreRefused) {
    const QString limit = QString::number(MaxFileItemCount);
    for (const QString& section :
         {QStringLiteral("Pruty"), QStringLiteral("Podpery"), QStringLiteral("Zatizeni")}) {
        TPrutovaSoustava t;
        t.RecordSnapshots = false;
        t.LoadFromStrings({u'[' + section + u']', QStringLiteral("Count=") + limit});
        EXPECT_EQ(t.PrutCount() + t.PodperaCount() + t.SilaCount(), MaxFileItemCount);
        EXPECT_THROW(t.LoadFromStrings({u'[' + section + u']',
                                        QStringLiteral("Count=%1").arg(MaxFileItemCount + 1)}),
                     ETrussFileError);
    }
}

// The loader numbers the unknowns itself: bars first, then the reactions of each support, x
// before y, just as adding the same items one by one to an empty truss does.
TEST(TrussFile, LoadNumbersUnknownsAsAddingDoes) {
    TPrutovaSoustava added, loaded;
    added.RecordSnapshots = false;
    loaded.RecordSnapshots = false;
    added.AddPrut(0, 0, 100, 0);
    added.AddPrut(5, 5, 5, 5);
    added.AddPrut(100, 0, 50, 80);
    added.AddPodpera(0, 0, P_Y, 0);
    added.AddPodpera(100, 0, P_X | P_Y, 0);
    added.AddPodpera(50, 80, 0, 0);
    added.AddPodpera(50, 80, P_X, 0);
    QStringList text;
    added.SaveToStrings(text);
    loaded.LoadFromStrings(text);
    ASSERT_EQ(loaded.PrutCount(), 3);
    ASSERT_EQ(loaded.PodperaCount(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loaded.Prut(i).Number, added.Prut(i).Number) << i;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(loaded.Podpera(i).ReactionXNumber, added.Podpera(i).ReactionXNumber) << i;
        EXPECT_EQ(loaded.Podpera(i).ReactionYNumber, added.Podpera(i).ReactionYNumber) << i;
    }
    EXPECT_EQ(loaded.Podpera(1).ReactionYNumber, 6);
    EXPECT_EQ(loaded.Podpera(3).ReactionXNumber, 7);
    // The next bar takes the next free number.
    loaded.AddPrut(0, 0, 50, 80);
    EXPECT_EQ(loaded.Prut(3).Number, 8);
}

TEST(TrussFile, SplitsLinesAtEveryKindOfLineEnd) {
    EXPECT_EQ(SplitTrussLines(QStringLiteral("a\r\nb\nc\rd")), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitTrussLines(QStringLiteral("a\n\n")), QStringList({"a", ""}));
    EXPECT_EQ(SplitTrussLines(QStringLiteral("\r\r\n")), QStringList({"", ""}));
    EXPECT_TRUE(SplitTrussLines(QString()).isEmpty());
}

TEST(TrussFile, KvOutOfRangeStopsAtThatSupport) {
    TPrutovaSoustava t;
    t.RecordSnapshots = false;
    EXPECT_THROW(t.LoadFromStrings(lines({"[Pruty]", "Count=1", "Sb_X0=20", "[Podpery]", "Count=3",
                                          "P_X0=1", "Kv1=256", "P_X2=1"})),
                 ERangeError);
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.PodperaCount(), 1);
}

// A bar's EA follows its end B, and the units come as a section before Info, each only when it
// differs from its default; the text reads back to the same values.
TEST(TrussFile, StiffnessAndUnitsAreWrittenOnlyWhenTheyDiffer) {
    TPrutovaSoustava t;
    buildExample(t);
    t.AddPrut(120, 40, 80, 0);
    t.Prut(1).EA = 2.5;
    t.Units = {0.01, QStringLiteral("m"), QStringLiteral(" kN\n")};
    QStringList out;
    t.SaveToStrings(out);
    const qsizetype eaLine = out.indexOf(QStringLiteral("EA1=2.5"));
    ASSERT_GT(eaLine, 0);
    EXPECT_EQ(out[eaLine - 1], QStringLiteral("Sb_Y1=0"));
    EXPECT_FALSE(out.join(u'|').contains(QStringLiteral("EA0=")));
    const qsizetype units = out.indexOf(QStringLiteral("[Jednotky]"));
    ASSERT_GT(units, 0);
    EXPECT_EQ(out.mid(units - 1, 6),
              lines({"", "[Jednotky]", "Delka=0.01", "JednotkaDelky=m", "JednotkaSily=kN", ""}));
    EXPECT_EQ(out[units + 5], QStringLiteral("[Info]"));

    TPrutovaSoustava back;
    back.LoadFromStrings(out);
    EXPECT_EQ(back.Prut(0).EA, 1);
    EXPECT_EQ(back.Prut(1).EA, 2.5);
    EXPECT_EQ(back.Units, (TTrussUnits{0.01, QStringLiteral("m"), QStringLiteral("kN")}));

    // Back at the defaults, nothing of this is written.
    back.Prut(1).EA = 1;
    back.Units = {};
    QStringList plain;
    back.SaveItemsToStrings(plain);
    EXPECT_FALSE(plain.join(u'|').contains(QStringLiteral("EA")));
    EXPECT_FALSE(plain.contains(QStringLiteral("[Jednotky]")));
}

// A reader that knows only bars, supports and loads finds them unchanged beside the new keys.
TEST(TrussFile, NewKeysLeaveTheOtherEntriesAsTheyWere) {
    TPrutovaSoustava t;
    buildExample(t);
    QStringList plain;
    t.SaveItemsToStrings(plain);
    t.Prut(0).EA = 3;
    t.Units.JednotkaSily = QStringLiteral("N");
    QStringList extended;
    t.SaveItemsToStrings(extended);
    for (const QString& line : plain)
        EXPECT_TRUE(extended.contains(line)) << line.toStdString();
    TPrutovaSoustava a, b;
    a.LoadFromStrings(plain);
    b.LoadFromStrings(extended);
    QStringList fromA, fromB;
    a.SaveItemsToStrings(fromA);
    b.Prut(0).EA = 1;
    b.Units = {};
    b.SaveItemsToStrings(fromB);
    EXPECT_EQ(fromA, fromB);
}

// A stiffness or unit length that is not a positive finite real reads as the default 1.
TEST(TrussFile, UnusableStiffnessAndUnitLengthReadAsOne) {
    TPrutovaSoustava t;
    t.LoadFromStrings(
        lines({"[Pruty]", "Count=6", "EA0=0", "EA1=-2", "EA2=abc", "EA3=1e999", "EA4=0,5",
               "ea5 = 7", "[jednotky]", "delka=-1", "jednotkadelky=  mm  "}));
    const double expected[] = {1, 1, 1, 1, 0.5, 7};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(t.Prut(i).EA, expected[i]) << i;
    EXPECT_EQ(t.Units, (TTrussUnits{1, QStringLiteral("mm"), QString()}));
}

class TrussFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    static QByteArray read(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString trashFolder() {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/Trash/files");
    }
    QTemporaryDir dir;
};

TEST_F(TrussFileOnDisk, SaveWritesCrLfCountsAndNotifies) {
    TPrutovaSoustava t;
    buildExample(t);
    QStringList used;
    t.OnFileUsed = [&](const QString& f, const QString& text) {
        EXPECT_TRUE(text.isEmpty());
        used << f;
    };
    const int before =
        TSettingsStore().ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfSv"), 0);
    const QString file = path("a.trs");
    EXPECT_TRUE(t.SaveToFile(file));
    EXPECT_TRUE(t.Save());
    EXPECT_EQ(TSettingsStore().ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfSv"), 0),
              before + 2);
    EXPECT_EQ(used, QStringList({file, file}));
    EXPECT_EQ(t.FileName, file);
    const QByteArray bytes = read(file);
    EXPECT_TRUE(bytes.startsWith("[Pruty]\r\nCount=1\r\n"));
    EXPECT_TRUE(bytes.endsWith("\r\n\r\n"));
    // The previous version went to the trash; no temporary file is left behind.
    EXPECT_TRUE(QFile::exists(trashFolder() + QStringLiteral("/a.trs")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"a.trs"}));
}

TEST_F(TrussFileOnDisk, LoadResetsHistoryAndOneUndoEmpties) {
    TPrutovaSoustava a, b;
    buildExample(a);
    a.SaveToFile(path("b.trs"));
    b.AddPrut(0, 0, 20, 20);
    int notified = 0;
    b.OnFileUsed = [&](const QString&, const QString&) { ++notified; };
    ASSERT_TRUE(b.LoadFromFile(path("b.trs")));
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(b.SnapshotPos, 1);
    EXPECT_EQ(b.SnapshotCount(), 1);
    EXPECT_EQ(b.PrutCount(), 1);
    b.Undo();
    EXPECT_EQ(b.PrutCount(), 0);
    b.Redo();
    EXPECT_EQ(b.PodperaCount(), 2);
}

TEST_F(TrussFileOnDisk, LoadOfAMissingPathChangesNothing) {
    TPrutovaSoustava t;
    buildExample(t);
    bool notified = false;
    t.OnFileUsed = [&](const QString&, const QString&) { notified = true; };
    EXPECT_FALSE(t.LoadFromFile(path("none.trs")));
    EXPECT_FALSE(notified);
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.SnapshotCount(), 4);
}

TEST_F(TrussFileOnDisk, RefusedFileLeavesTrussAndHistory) {
    QFile f(path("big.trs"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Zatizeni]\r\nCount=100001\r\n");
    f.close();
    TPrutovaSoustava t;
    buildExample(t);
    EXPECT_THROW(t.LoadFromFile(path("big.trs")), ETrussFileError);
    EXPECT_EQ(t.SilaCount(), 1);
    EXPECT_EQ(t.SnapshotCount(), 4);
    EXPECT_TRUE(t.FileName.isEmpty());
}

TEST_F(TrussFileOnDisk, OnlyRegularFilesWithinTheBoundAreRead) {
    TPrutovaSoustava saved;
    buildExample(saved);
    saved.SaveToFile(path("real.trs"));
    // A link is followed to the file it names.
    ASSERT_EQ(::symlink(QFile::encodeName(path("real.trs")).constData(),
                        QFile::encodeName(path("link.trs")).constData()),
              0);
    TPrutovaSoustava t;
    ASSERT_TRUE(t.LoadFromFile(path("link.trs")));
    EXPECT_EQ(t.PodperaCount(), 2);

    // A FIFO without a writer, a device behind a link, a folder and a file one byte beyond the
    // bound are refused, and the truss stays as it was.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.trs")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/null", QFile::encodeName(path("null.trs")).constData()), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.trs")));
    QFile big(path("big.trs"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(MaxTrussFileSize + 1));
    big.close();
    ::alarm(60); // a reader that blocks on the FIFO ends the test instead of hanging it
    for (const char* name : {"pipe.trs", "null.trs", "folder.trs", "big.trs"}) {
        EXPECT_THROW(t.LoadFromFile(path(name)), ETrussFileError) << name;
        EXPECT_EQ(t.PodperaCount(), 2) << name;
        EXPECT_EQ(t.FileName, path("link.trs")) << name;
        EXPECT_EQ(t.SnapshotCount(), 1) << name;
    }
    ::alarm(0);
}

TEST_F(TrussFileOnDisk, KvErrorKeepsThePartialStateAsSnapshot) {
    QFile f(path("kv.trs"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Pruty]\nCount=1\nSb_X0=20\n[Podpery]\nCount=1\nKv0=-1\n");
    f.close();
    TPrutovaSoustava t;
    EXPECT_THROW(t.LoadFromFile(path("kv.trs")), ERangeError);
    EXPECT_EQ(t.PrutCount(), 1);
    EXPECT_EQ(t.SnapshotPos, 1);
    EXPECT_TRUE(t.RecordSnapshots);
    EXPECT_TRUE(t.FileName.isEmpty());
}

TEST_F(TrussFileOnDisk, FailedWriteLeavesTheOldFileAndReportsIt) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TPrutovaSoustava t;
    buildExample(t);
    const QString file = path("keep.trs");
    t.SaveToFile(file);
    const QByteArray old = read(file);
    chmod(QFile::encodeName(dir.path()).constData(), 0555);
    t.AddPrut(0, 0, 40, 40);
    EXPECT_THROW(t.SaveToFile(file), ETrussFileError);
    chmod(QFile::encodeName(dir.path()).constData(), 0755);
    EXPECT_EQ(read(file), old);
}

TEST_F(TrussFileOnDisk, SaveIntoAMissingFolderFailsWithoutSideEffects) {
    TPrutovaSoustava t;
    buildExample(t);
    bool notified = false;
    t.OnFileUsed = [&](const QString&, const QString&) { notified = true; };
    const int before =
        TSettingsStore().ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfSv"), 0);
    EXPECT_THROW(t.SaveToFile(path("no/such/folder/x.trs")), ETrussFileError);
    EXPECT_FALSE(notified);
    EXPECT_TRUE(t.FileName.isEmpty());
    EXPECT_EQ(TSettingsStore().ReadInteger(QStringLiteral("Info"), QStringLiteral("NoOfSv"), 0),
              before);
}

TEST_F(TrussFileOnDisk, SaveOfADeletedDocumentDoesNothing) {
    TPrutovaSoustava t;
    buildExample(t);
    t.SaveToFile(path("gone.trs"));
    QFile::remove(path("gone.trs"));
    EXPECT_FALSE(t.Save());
    EXPECT_FALSE(QFile::exists(path("gone.trs")));
}

} // namespace
