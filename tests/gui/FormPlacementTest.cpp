// The options INI file: sections read and rewritten in place, and window placement.
#include "FormPlacement.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QString ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromUtf8(f.readAll());
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(OptionsIni, SectionIsRewrittenInPlaceAndTheRestIsKept) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("trabex.INI"));
    WriteAll(path, "; kept\r\n[Other]\r\nA=1\r\n\r\n[TMainForm]\r\naShowGrid_Checked=True\r\n"
                   "Foreign=x\r\n\r\n[Last]\r\nB=2\r\n");
    ASSERT_TRUE(WriteIniSection(path, QStringLiteral("tmainform"),
                                {{QStringLiteral("ASHOWGRID_CHECKED"), QStringLiteral("False")},
                                 {QStringLiteral("NormPos"), QStringLiteral("1,2,3,4")}}));
    const QString text = ReadAll(path);
    EXPECT_EQ(text, QStringLiteral("; kept\r\n[Other]\r\nA=1\r\n\r\n[TMainForm]\r\n"
                                   "aShowGrid_Checked=False\r\nForeign=x\r\nNormPos=1,2,3,4\r\n"
                                   "\r\n[Last]\r\nB=2\r\n"));
    const auto section = ReadIniSection(path, QStringLiteral("TMAINFORM"));
    EXPECT_EQ(IniValue(section, QStringLiteral("normpos")), QStringLiteral("1,2,3,4"));
    EXPECT_EQ(IniValue(section, QStringLiteral("Foreign")), QStringLiteral("x"));
    EXPECT_EQ(IniValue(section, QStringLiteral("A"), QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST(OptionsIni, NewFileAndNewSection) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/folder/trabex.INI"));
    EXPECT_TRUE(ReadIniSection(path, QStringLiteral("TMainForm")).isEmpty());
    ASSERT_TRUE(WriteIniSection(path, QStringLiteral("TMainForm"),
                                {{QStringLiteral("K"), QStringLiteral("1")}}));
    ASSERT_TRUE(WriteIniSection(path, QStringLiteral("TFormMatrix"),
                                {{QStringLiteral("K"), QStringLiteral("2")}}));
    EXPECT_EQ(ReadAll(path), QStringLiteral("[TMainForm]\r\nK=1\r\n\r\n[TFormMatrix]\r\nK=2\r\n"));
    EXPECT_EQ(IniValue(ReadIniSection(path, QStringLiteral("TFormMatrix")), QStringLiteral("K")),
              QStringLiteral("2"));
}

TEST(OptionsIni, UnwritableFolderReportsFailure) {
    EXPECT_FALSE(WriteIniSection(QStringLiteral("/proc/trabex-test/x.INI"), QStringLiteral("S"),
                                 {{QStringLiteral("K"), QStringLiteral("1")}}));
}

TEST(Placement, RoundTripAndRefusedValues) {
    QWidget w;
    w.setGeometry(50, 60, 300, 200);
    const auto values = PlacementValues(w);
    EXPECT_EQ(values.value(QStringLiteral("NormPos")), QStringLiteral("50,60,350,260"));
    EXPECT_EQ(values.value(QStringLiteral("ShowCmd")), QStringLiteral("1"));
    QWidget other;
    ASSERT_TRUE(RestorePlacement(other, values));
    EXPECT_EQ(other.geometry(), QRect(50, 60, 300, 200));
    for (const char* bad : {"", "1,2,3", "10,10,5,20", "a,b,c,d"})
        EXPECT_FALSE(
            RestorePlacement(other, {{QStringLiteral("NormPos"), QString::fromLatin1(bad)}}))
            << bad;
    EXPECT_EQ(other.geometry(), QRect(50, 60, 300, 200));
}

} // namespace
