// Tests of TVersionInfo: parsing version records, finding them in files, and this binary's own.
#include "RutinyUnit.h"
#include "TrabexVersion.h"
#include "VersionBlockBuilder.h"
#include "VersionRecord.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

using TEntries = TVersionBlockBuilder::TEntries;

// What an object that is not valid must look like: nothing at all.
void ExpectEmpty(const TVersionInfo& info) {
    EXPECT_FALSE(info.Valid());
    EXPECT_FALSE(info.Translation().has_value());
    EXPECT_TRUE(info.TranslationText().isEmpty());
    EXPECT_FALSE(info.FixedInfo().has_value());
    EXPECT_EQ(info.FixedFileVersion(), std::make_pair(0u, 0u));
    EXPECT_TRUE(info.StringValue("FileVersion").isEmpty());
    EXPECT_TRUE(info.FileVersion().isEmpty());
    EXPECT_TRUE(info.Block().isEmpty());
}

TEST(VersionBlock, TheProgramsRecordReadsBackCompletely) {
    const TVersionInfo info = TVersionInfo::FromBlock(TVersionBlockBuilder().Build());
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.Translation(), 0x04E20405u);
    EXPECT_EQ(info.TranslationText(), "040504E2");
    EXPECT_EQ(info.FixedFileVersion(), std::make_pair(0x00020001u, 0x00000058u));
    EXPECT_EQ(info.StringValue("FileVersion"), "2.1.0.88");
    EXPECT_EQ(info.FileVersion(), "2.1.0.88");
}

TEST(VersionBlock, TranslationTextPutsTheLanguageFirst) {
    const TVersionInfo info =
        TVersionInfo::FromBlock(TVersionBlockBuilder().Translations({0x04B00409}).Build());
    EXPECT_EQ(info.TranslationText(), "040904B0");
}

struct TFixedCase {
    std::uint32_t ms;
    std::uint32_t ls;
    const char* text;
};

class FixedVersionText : public testing::TestWithParam<TFixedCase> {};

// The "%d.%d.%d.%d" text when the string is empty: high and low halves, most significant first.
TEST_P(FixedVersionText, EmptyFileVersionStringIsBuiltFromTheFixedVersion) {
    const TFixedCase c = GetParam();
    const TVersionInfo info = TVersionInfo::FromBlock(
        TVersionBlockBuilder()
            .Fixed(c.ms, c.ls)
            .Tables({{"040504E2", {{"FileVersion", ""}, {"ProductName", "Trabex"}}}})
            .Build());
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.FileVersion(), c.text);
}

INSTANTIATE_TEST_SUITE_P(Halves, FixedVersionText,
                         testing::Values(TFixedCase{0x00020001, 0x00000058, "2.1.0.88"},
                                         TFixedCase{0x00000000, 0x00000000, "0.0.0.0"},
                                         TFixedCase{0x000A0014, 0x001E0028, "10.20.30.40"},
                                         TFixedCase{0xFFFF0000, 0x0001FFFF, "65535.0.1.65535"}));

TEST(VersionBlock, MissingFileVersionStringAlsoFallsBackToTheFixedVersion) {
    const TVersionInfo info = TVersionInfo::FromBlock(
        TVersionBlockBuilder().Tables({{"040504E2", {{"ProductName", "Trabex"}}}}).Build());
    EXPECT_EQ(info.StringValue("ProductName"), "Trabex");
    EXPECT_EQ(info.FileVersion(), "2.1.0.88");
}

TEST(VersionBlock, WithoutTranslationThereAreNoStringsButTheFixedVersion) {
    const TVersionInfo info = TVersionInfo::FromBlock(
        TVersionBlockBuilder().Fixed(0x00030002, 0x00010000).Translations({}).Build());
    ASSERT_TRUE(info.Valid());
    EXPECT_FALSE(info.Translation().has_value());
    EXPECT_TRUE(info.TranslationText().isEmpty());
    EXPECT_TRUE(info.StringValue("FileVersion").isEmpty());
    EXPECT_EQ(info.FileVersion(), "3.2.1.0");
}

TEST(VersionBlock, StringsComeFromTheTableOfTheFirstTranslation) {
    const TVersionInfo info = TVersionInfo::FromBlock(
        TVersionBlockBuilder()
            .Translations({0x04E40409, 0x04E20405})
            .Tables({{"040504E2", {{"FileVersion", "1.1.1.1"}}},
                     {"040904E4", {{"FileVersion", "9.9.9.9"}, {"Comments", "Souřadnice ěšč"}}}})
            .Build());
    EXPECT_EQ(info.TranslationText(), "040904E4");
    EXPECT_EQ(info.FileVersion(), "9.9.9.9");
    EXPECT_EQ(info.StringValue("Comments"), "Souřadnice ěšč");
    EXPECT_TRUE(info.StringValue("ProductName").isEmpty());
}

TEST(VersionBlock, TheFirstOfTwoEqualNamesWins) {
    const TVersionInfo info = TVersionInfo::FromBlock(
        TVersionBlockBuilder()
            .Tables({{"040504E2", {{"FileVersion", "1.0.0.1"}, {"FileVersion", "1.0.0.2"}}}})
            .Build());
    EXPECT_EQ(info.FileVersion(), "1.0.0.1");
}

TEST(VersionBlock, BytesAfterTheRecordAreNotPartOfIt) {
    const QByteArray record = TVersionBlockBuilder().Build();
    const TVersionInfo info = TVersionInfo::FromBlock(record + QByteArray("trailing bytes"));
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.Block(), record);
}

TEST(VersionBlock, EveryTruncationIsRejected) {
    const QByteArray record = TVersionBlockBuilder().Build();
    for (qsizetype length = 0; length < record.size(); ++length) {
        SCOPED_TRACE(length);
        ExpectEmpty(TVersionInfo::FromBlock(record.first(length)));
    }
}

struct TBadRecord {
    const char* what;
    QByteArray bytes;
};

void PrintTo(const TBadRecord& c, std::ostream* os) {
    *os << c.what;
}

class MalformedRecord : public testing::TestWithParam<TBadRecord> {};

TEST_P(MalformedRecord, IsNotValid) {
    ExpectEmpty(TVersionInfo::FromBlock(GetParam().bytes));
}

QByteArray WithByte(QByteArray bytes, qsizetype at, char value) {
    bytes[at] = value;
    return bytes;
}

std::uint32_t TrueSize() {
    return static_cast<std::uint32_t>(TVersionBlockBuilder().Build().size());
}

// Offset of the translation count: after the marker, size, signature and the two halves.
constexpr qsizetype TranslationCountAt = VersionRecord::MarkerSize + 16;

INSTANTIATE_TEST_SUITE_P(
    Damage, MalformedRecord,
    testing::Values(
        TBadRecord{"no marker", QByteArray(64, '\0')},
        TBadRecord{"marker of another layout revision",
                   WithByte(TVersionBlockBuilder().Build(), VersionRecord::MarkerSize - 1, 2)},
        TBadRecord{"wrong signature", TVersionBlockBuilder().Signature(0xFEEF04BC).Build()},
        TBadRecord{"size beyond the data",
                   TVersionBlockBuilder().SizeField(TrueSize() + 1).Build()},
        TBadRecord{"size short of the contents",
                   TVersionBlockBuilder().SizeField(TrueSize() - 1).Build()},
        TBadRecord{"size below the header", TVersionBlockBuilder().SizeField(8).Build()},
        TBadRecord{"size 0xFFFFFFFF", TVersionBlockBuilder().SizeField(0xFFFFFFFF).Build()},
        TBadRecord{"size above the limit although the bytes are there",
                   TVersionBlockBuilder().SizeField(VersionRecord::MaxRecordSize + 1).Build() +
                       QByteArray(VersionRecord::MaxRecordSize, '\0')},
        TBadRecord{"translation count beyond the record",
                   WithByte(TVersionBlockBuilder().Build(), TranslationCountAt, char(0xFF))},
        TBadRecord{"string length beyond the record",
                   // The last text is the value "2.1.0.88"; its length now claims 255 bytes.
                   WithByte(TVersionBlockBuilder().Build(), TrueSize() - 8 - 2, char(0xFF))},
        TBadRecord{"unused bytes inside the record", [] {
                       QByteArray r = TVersionBlockBuilder().Build() + QByteArray(3, 'x');
                       const QByteArray size = [&] {
                           QByteArray s;
                           TVersionBlockBuilder::U32(s, static_cast<std::uint32_t>(r.size()));
                           return s;
                       }();
                       return r.replace(VersionRecord::MarkerSize, 4, size);
                   }()}));

// Random damage must never crash the parser, and a rejected record must expose nothing.
TEST(VersionBlock, RandomDamageIsRejectedOrParsedWithinTheInput) {
    const QByteArray record =
        TVersionBlockBuilder()
            .Tables({{"040504E2", {{"FileVersion", "2.1.0.88"}, {"ProductName", "Trabex"}}},
                     {"040904E4", {{"FileVersion", "2.1.0.88"}}}})
            .Translations({0x04E20405, 0x04E40409})
            .Build();
    std::mt19937 random(20090312);
    int accepted = 0;
    for (int round = 0; round < 5000; ++round) {
        QByteArray damaged = record;
        const int hits = 1 + int(random() % 4);
        for (int i = 0; i < hits; ++i)
            damaged[VersionRecord::MarkerSize + qsizetype(random() % (record.size() - 16))] =
                char(random());
        const TVersionInfo info = TVersionInfo::FromBlock(damaged);
        if (!info.Valid()) {
            ExpectEmpty(info);
            continue;
        }
        ++accepted;
        EXPECT_EQ(info.Block(), damaged.first(info.Block().size()));
    }
    // Damage to text bytes leaves a well-formed record, so some must still be accepted.
    EXPECT_GT(accepted, 0);
}

class VersionFile : public testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& contents) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(VersionFile, FilesWithoutARecordGiveAnEmptyVersionAndNoError) {
    ExpectEmpty(TVersionInfo(dir.filePath("missing.bin")));
    ExpectEmpty(TVersionInfo(Write("empty.bin", {})));
    ExpectEmpty(TVersionInfo(Write("garbage.bin", QByteArray(100000, '\x7F'))));
    ExpectEmpty(TVersionInfo(dir.path()));
}

TEST_F(VersionFile, AMarkerAtTheEndOfTheFileIsNoRecord) {
    ExpectEmpty(
        TVersionInfo(Write("cut.bin", QByteArray(50, 'a') + TVersionBlockBuilder::Marker())));
}

TEST_F(VersionFile, TheFirstWellFormedRecordAfterStrayMarkersIsTaken) {
    const QByteArray stray = TVersionBlockBuilder::Marker() + QByteArray("not a record at all");
    const QByteArray first =
        TVersionBlockBuilder().Tables({{"040504E2", {{"FileVersion", "9.8.7.6"}}}}).Build();
    const QByteArray second = TVersionBlockBuilder().Build();
    const TVersionInfo info(
        Write("program", QByteArray(1000, '\0') + stray + first + QByteArray(10, 'z') + second));
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.FileVersion(), "9.8.7.6");
    EXPECT_EQ(info.Block(), first);
    EXPECT_EQ(info.FileName(), dir.filePath("program"));
}

// Looks a section up by name in a little-endian ELF64 file: its offset and size in the file.
std::optional<std::pair<qsizetype, qsizetype>> ElfSection(const QByteArray& elf,
                                                          const char* wanted) {
    auto read = [&](qsizetype at, int bytes) -> std::uint64_t {
        std::uint64_t value = 0;
        if (at < 0 || at + bytes > elf.size())
            return 0;
        std::memcpy(&value, elf.constData() + at, bytes);
        return value;
    };
    if (!elf.startsWith("\x7F"
                        "ELF") ||
        elf.size() < 64 || elf[4] != 2 || elf[5] != 1)
        return std::nullopt;
    const auto sectionHeaders = qsizetype(read(0x28, 8));
    const auto entrySize = qsizetype(read(0x3A, 2));
    const auto count = qsizetype(read(0x3C, 2));
    const qsizetype names = qsizetype(read(sectionHeaders + read(0x3E, 2) * entrySize + 0x18, 8));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype header = sectionHeaders + i * entrySize;
        const qsizetype name = names + qsizetype(read(header, 4));
        if (name < elf.size() && std::strcmp(elf.constData() + name, wanted) == 0)
            return std::make_pair(qsizetype(read(header + 0x18, 8)),
                                  qsizetype(read(header + 0x20, 8)));
    }
    return std::nullopt;
}

QByteArray OwnExecutable() {
    QFile file(QCoreApplication::applicationFilePath());
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TEST(OwnVersion, ThisExecutableCarriesTheProgramsRecord) {
    const TVersionInfo info(QCoreApplication::applicationFilePath());
    ASSERT_TRUE(info.Valid());
    EXPECT_EQ(info.FileVersion(), TRABEX_FILE_VERSION);
    EXPECT_EQ(info.StringValue("FileVersion"), TRABEX_FILE_VERSION);
    EXPECT_EQ(info.TranslationText(), "040504E2");
    EXPECT_EQ(info.FixedFileVersion(),
              std::make_pair(std::uint32_t(TRABEX_VERSION_MAJOR << 16 | TRABEX_VERSION_MINOR),
                             std::uint32_t(TRABEX_VERSION_PATCH << 16 | TRABEX_VERSION_TWEAK)));
    EXPECT_EQ(info.Block(), CompiledVersionRecord().toByteArray());
}

TEST(OwnVersion, TheRecordFillsItsOwnElfSection) {
    const QByteArray elf = OwnExecutable();
    const auto section = ElfSection(elf, ".trabex_version");
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(elf.mid(section->first, section->second), CompiledVersionRecord().toByteArray());
}

TEST(OwnVersion, TheProgramsFileVersionIsReadFromItsExecutable) {
    EXPECT_EQ(FileVersion(), TVersionInfo(GetExePath()).FileVersion());
    EXPECT_EQ(FileVersion(), "2.1.0.88");
}

} // namespace
