// Version record, machine identifier, trash and the small helpers.
#include "RutinyUnit.h"
#include "VersionRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray block(std::initializer_list<const char*> fields) {
    QByteArray b;
    for (const char* f : fields)
        b += QByteArray(f) + '\0';
    return b + '\0';
}

TEST(VersionInfo, TheRunningBinaryCarriesItsVersion) {
    const TVersionInfo info(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.FileVersion(), QStringLiteral("2.1.0.88"));
    EXPECT_EQ(info.TranslationText(), QStringLiteral("040504E2"));
    EXPECT_EQ(*info.Translation(), 0x04E20405u);
    EXPECT_EQ(info.FixedFileVersion(), std::make_pair(0x00020001u, 0x00000058u));
    EXPECT_EQ(FileVersion(), QStringLiteral("2.1.0.88"));
}

TEST(VersionInfo, EmptyStringFallsBackToTheFixedVersion) {
    const auto info = TVersionInfo::FromBlock(
        block({"Translation=040504E2", "FixedFileVersion=2.1.0.88", "FileVersion="}));
    EXPECT_EQ(info.FileVersion(), QStringLiteral("2.1.0.88"));
}

TEST(VersionInfo, FileWithoutRecordHasNoVersion) {
    QTemporaryDir dir;
    QFile f(dir.filePath("plain.bin"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("just some bytes\0 FileVersion=9.9.9.9", 36);
    f.close();
    const TVersionInfo info(f.fileName());
    EXPECT_FALSE(info.Valid());
    EXPECT_TRUE(info.FileVersion().isEmpty());
    EXPECT_FALSE(info.FixedInfo().has_value());
    EXPECT_TRUE(TVersionInfo(dir.filePath("missing")).FileVersion().isEmpty());
}

TEST(VersionInfo, DamagedRecordsGiveNothingOrTheirValidPart) {
    EXPECT_TRUE(TVersionInfo::FromBlock(QByteArray()).FileVersion().isEmpty());
    EXPECT_TRUE(TVersionInfo::FromBlock(QByteArray("FileVers", 8)).FileVersion().isEmpty());
    // Without a translation the string table cannot be addressed; the fixed version still counts.
    EXPECT_EQ(
        TVersionInfo::FromBlock(block({"FixedFileVersion=1.2.3.4", "FileVersion=7"})).FileVersion(),
        QStringLiteral("1.2.3.4"));
    EXPECT_TRUE(
        TVersionInfo::FromBlock(block({"FixedFileVersion=1.2.99999.4"})).FileVersion().isEmpty());
}

TEST(VolumeSerial, FormatKeepsLeadingZeros) {
    EXPECT_EQ(FormatVolumeSerial(0x00AB12CD), QStringLiteral("00AB-12CD"));
    EXPECT_EQ(FormatVolumeSerial(0x1A2B3C4D), QStringLiteral("1A2B-3C4D"));
    EXPECT_EQ(FormatVolumeSerial(0), QStringLiteral("0000-0000"));
}

TEST(VolumeSerial, UnreadableVolumeGivesZeros) {
    EXPECT_EQ(GetVolumeSerial(QStringLiteral("/no/such/folder")), QStringLiteral("0000-0000"));
    EXPECT_EQ(GetVolumeSerial(GetExeDir()).size(), 9);
}

struct StepCase {
    long double value, step;
    std::int64_t result;
};

class RoundToStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(RoundToStepTest, HalvesGoToTheEvenMultiple) {
    EXPECT_EQ(RoundToStep(GetParam().value, GetParam().step), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Table, RoundToStepTest,
                         ::testing::Values(StepCase{10, 20, 0}, StepCase{30, 20, 40},
                                           StepCase{50, 20, 40}, StepCase{70, 20, 80},
                                           StepCase{29, 20, 20}, StepCase{-30, 20, -40},
                                           StepCase{-10, 20, 0}, StepCase{7, 2.5L, 7}));

struct NameCase {
    const char* path;
    const char* name;
};

class FileNameWithoutExtTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameWithoutExtTest, DropsFolderAndLastExtension) {
    EXPECT_EQ(FileNameWithoutExt(QString::fromUtf8(GetParam().path)).toStdString(),
              GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Table, FileNameWithoutExtTest,
                         ::testing::Values(NameCase{"C:\\a.b\\c.trs", "c"},
                                           NameCase{"C:\\data\\model", "model"},
                                           NameCase{"archive.tar.trs", "archive.tar"},
                                           NameCase{"/home/u/most.trs", "most"},
                                           NameCase{"/a.b/c", "c"}));

class TrashTest : public ::testing::Test {
protected:
    QString trashFiles() const {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/Trash/files");
    }
    QString make(const char* name, const char* content) {
        QFile f(dir.filePath(QLatin1String(name)));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return f.fileName();
    }
    QTemporaryDir dir;
};

TEST_F(TrashTest, FileGoesToTheUsersTrashAndSameNamesAreKept) {
    EXPECT_TRUE(DeleteToRecycleBin(make("same.trs", "one"), false));
    EXPECT_TRUE(DeleteToRecycleBin(make("same.trs", "two"), false));
    EXPECT_FALSE(QFile::exists(dir.filePath("same.trs")));
    const QStringList inTrash = QDir(trashFiles()).entryList({"same.trs*"}, QDir::Files);
    EXPECT_GE(inTrash.size(), 2);
}

TEST_F(TrashTest, MissingFileIsFalseAndLeavesNoTrace) {
    EXPECT_FALSE(DeleteToRecycleBin(dir.filePath("none.trs"), false));
    EXPECT_FALSE(QDir(QDir::currentPath()).exists(QStringLiteral("files/none.trs")));
}

TEST(Memory, ResidentSetIsPlausible) {
    const std::uint64_t before = GetProcessMemoryUsed();
    EXPECT_GT(before, 1u << 20);
    std::vector<char> block(64 << 20, 1);
    EXPECT_GT(GetProcessMemoryUsed(), before + (32u << 20));
}

TEST(ExePath, FolderHasNoTrailingSeparator) {
    EXPECT_FALSE(GetExeDir().endsWith(u'/'));
    EXPECT_TRUE(GetExePath().startsWith(GetExeDir() + u'/'));
}

} // namespace
