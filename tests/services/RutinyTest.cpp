// Tests of the small shared services: machine identifier, paths, file names, rounding, memory.
#include "RegularFile.h"
#include "RutinyUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>

#include <unistd.h>

namespace {

struct TSerialCase {
    std::uint32_t serial;
    const char* text;
};

class SerialFormat : public testing::TestWithParam<TSerialCase> {};

TEST_P(SerialFormat, IsFourUpperCaseHexDigitsAHyphenAndFourMore) {
    EXPECT_EQ(FormatVolumeSerial(GetParam().serial), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Serials, SerialFormat,
    testing::Values(TSerialCase{0x00AB12CD, "00AB-12CD"}, TSerialCase{0x1A2B3C4D, "1A2B-3C4D"},
                    TSerialCase{0xabcdef01, "ABCD-EF01"}, TSerialCase{0x00000001, "0000-0001"},
                    TSerialCase{0x00010000, "0001-0000"}, TSerialCase{0x00000000, "0000-0000"},
                    TSerialCase{0xFFFFFFFF, "FFFF-FFFF"}));

// The file system id as coreutils' stat reports it: the two 32-bit words with f_fsid's low word
// (the one statvfs puts in its low 32 bits) printed first.
std::optional<std::uint32_t> StatFileSystemId(const QString& path) {
    QProcess stat;
    stat.start("stat", {"-f", "-c", "%i", path});
    if (!stat.waitForFinished() || stat.exitCode() != 0)
        return std::nullopt;
    bool ok = false;
    const quint64 id = stat.readAllStandardOutput().trimmed().toULongLong(&ok, 16);
    return ok ? std::optional(std::uint32_t(id >> 32)) : std::nullopt;
}

TEST(VolumeSerial, AgreesWithTheFileSystemIdThatStatReports) {
    QTemporaryDir dir;
    for (const QString& path : {dir.path(), QString("/proc"), GetExeDir()}) {
        SCOPED_TRACE(path.toStdString());
        const auto id = StatFileSystemId(path);
        ASSERT_TRUE(id.has_value()) << "stat -f failed";
        EXPECT_EQ(GetVolumeSerial(path), FormatVolumeSerial(*id));
    }
}

TEST(VolumeSerial, IsTheSameForAFileAndItsFolder) {
    EXPECT_EQ(GetVolumeSerial(GetExePath()), GetVolumeSerial(GetExeDir()));
}

TEST(VolumeSerial, IsZeroWhenThePathCannotBeRead) {
    EXPECT_EQ(GetVolumeSerial("/no/such/folder/here"), "0000-0000");
    EXPECT_EQ(GetVolumeSerial(""), "0000-0000");
}

struct TRoundCase {
    long double value;
    long double step;
    std::int64_t expected;
};

void PrintTo(const TRoundCase& c, std::ostream* os) {
    *os << double(c.value) << " step " << double(c.step);
}

class RoundToStepTable : public testing::TestWithParam<TRoundCase> {};

TEST_P(RoundToStepTable, RoundsTheMultipleIndexHalfToEvenThenCutsTheFraction) {
    EXPECT_EQ(RoundToStep(GetParam().value, GetParam().step), GetParam().expected);
}

// The FPU's rounding mode must not change the grid: ties still go to the even index.
TEST_P(RoundToStepTable, IgnoresTheRoundingModeOfTheFpu) {
    const int saved = std::fegetround();
    for (int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const std::int64_t result = RoundToStep(GetParam().value, GetParam().step);
        std::fesetround(saved);
        EXPECT_EQ(result, GetParam().expected) << "mode " << mode;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grid, RoundToStepTable,
    testing::Values(TRoundCase{10, 20, 0}, TRoundCase{30, 20, 40}, TRoundCase{50, 20, 40},
                    TRoundCase{70, 20, 80}, TRoundCase{29.9L, 20, 20}, TRoundCase{30.1L, 20, 40},
                    TRoundCase{-10, 20, 0}, TRoundCase{-30, 20, -40}, TRoundCase{-50, 20, -40},
                    TRoundCase{-70, 20, -80}, TRoundCase{0.5L, 1, 0}, TRoundCase{1.5L, 1, 2},
                    TRoundCase{2.5L, 1, 2}, TRoundCase{-2.5L, 1, -2}, TRoundCase{0, 20, 0},
                    // Fractional steps: the multiple loses its fraction towards zero.
                    TRoundCase{7, 2.5L, 7}, TRoundCase{-7, 2.5L, -7}, TRoundCase{3.7L, 1.25L, 3},
                    // A negative step gives the same multiples.
                    TRoundCase{30, -20, 40},
                    // 2^53 + 1 needs the 64-bit significand of long double.
                    TRoundCase{9007199254740993.0L, 1, 9007199254740993LL},
                    // Beyond the 64-bit range the result is clamped.
                    TRoundCase{1e30L, 1, std::numeric_limits<std::int64_t>::max()},
                    TRoundCase{-1e30L, 1, std::numeric_limits<std::int64_t>::min()},
                    TRoundCase{std::numeric_limits<long double>::quiet_NaN(), 20, 0}));

struct TNameCase {
    const char* path;
    const char* name;
};

class FileNameWithoutExtTable : public testing::TestWithParam<TNameCase> {};

TEST_P(FileNameWithoutExtTable, DropsTheFolderAndTheLastExtension) {
    EXPECT_EQ(FileNameWithoutExt(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileNameWithoutExtTable,
    testing::Values(TNameCase{"C:\\a.b\\c.trs", "c"}, TNameCase{"C:\\data\\model", "model"},
                    TNameCase{"archive.tar.trs", "archive.tar"}, TNameCase{"model", "model"},
                    TNameCase{"/home/jana/mosty/most.trs", "most"},
                    TNameCase{"/home/jana.novak/model", "model"},
                    TNameCase{"C:/mixed\\dir.x/sub\\file.trs", "file"},
                    TNameCase{"/tmp/name.", "name"}, TNameCase{"/tmp/.trs", ""},
                    TNameCase{"/tmp/folder/", ""}, TNameCase{"", ""},
                    TNameCase{"/data/Souřadnice ěšč.trs", "Souřadnice ěšč"}));

TEST(RegularFile, IsReadUpToItsBoundAndNoFurther) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("0123456789");
    f.close();
    QByteArray bytes;
    QString why;
    EXPECT_TRUE(ReadRegularFile(path, 10, bytes, why)) << why.toStdString();
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    EXPECT_FALSE(ReadRegularFile(path, 9, bytes, why));
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_TRUE(why.contains(QStringLiteral("larger than 9 bytes"))) << why.toStdString();
    // A regular file whose size the system gives as 0 is read until its end, all the same.
    ASSERT_EQ(QFileInfo(QStringLiteral("/proc/self/status")).size(), 0);
    EXPECT_TRUE(ReadRegularFile(QStringLiteral("/proc/self/status"), 1 << 20, bytes, why));
    EXPECT_TRUE(bytes.startsWith("Name:"));
    EXPECT_FALSE(ReadRegularFile(dir.filePath(QStringLiteral("none")), 10, bytes, why));
    EXPECT_FALSE(why.isEmpty());
}

TEST(ExePath, IsThisTestExecutable) {
    const QFileInfo exe(GetExePath());
    EXPECT_TRUE(exe.isAbsolute());
    EXPECT_TRUE(exe.isExecutable());
    EXPECT_EQ(exe.fileName(), "services_test");
}

// Before QCoreApplication exists GetExePath relies on the kernel's name of the executable.
TEST(ExePath, TheKernelsNameIsTheApplicationsName) {
    EXPECT_EQ(ProcessExePath(),
              QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath());
}

TEST(ExePath, FolderHasNoTrailingSeparator) {
    const QString dir = GetExeDir();
    ASSERT_FALSE(dir.isEmpty());
    EXPECT_FALSE(dir.endsWith('/'));
    EXPECT_EQ(dir + '/' + QFileInfo(GetExePath()).fileName(), GetExePath());
}

// VmRSS in /proc/self/status, an independent view of the same count, in bytes.
std::uint64_t StatusResidentBytes() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toULongLong() * 1024;
    }
    return 0;
}

TEST(ProcessMemory, MatchesVmRssOfTheProcess) {
    const std::uint64_t used = GetProcessMemoryUsed();
    const std::uint64_t rss = StatusResidentBytes();
    ASSERT_GT(rss, 0u);
    EXPECT_NEAR(double(used), double(rss), 2.0 * 1024 * 1024);
}

TEST(ProcessMemory, GrowsWithTouchedMemory) {
    constexpr std::size_t size = 64 * 1024 * 1024;
    const std::uint64_t before = GetProcessMemoryUsed();
    auto block = std::make_unique<char[]>(size);
    std::memset(block.get(), 1, size);
    const std::uint64_t after = GetProcessMemoryUsed();
    EXPECT_GE(after, before + size * 3 / 4);
    EXPECT_EQ(block[size - 1], 1);
}

TEST(ProcessMemory, ResidentPagesAreTheSecondFieldOfStatm) {
    QTemporaryDir dir;
    QFile statm(dir.filePath("statm"));
    ASSERT_TRUE(statm.open(QIODevice::WriteOnly));
    statm.write("1000 25 3 4 0 5 0\n");
    statm.close();
    EXPECT_EQ(ReadResidentSetSize(statm.fileName()), 25u * std::uint64_t(sysconf(_SC_PAGESIZE)));
}

TEST(ProcessMemory, AnUnreadableCountThrows) {
    QTemporaryDir dir;
    EXPECT_THROW(ReadResidentSetSize(dir.filePath("missing")), std::runtime_error);
    QFile statm(dir.filePath("statm"));
    ASSERT_TRUE(statm.open(QIODevice::WriteOnly));
    statm.write("1000 lots\n");
    statm.close();
    EXPECT_THROW(ReadResidentSetSize(statm.fileName()), std::runtime_error);
}

} // namespace
