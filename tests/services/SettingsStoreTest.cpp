// Tests of TSettingsStore on its INI file and of the usage stamp.
#include "SettingsStore.h"
#include "ReadOnlyPath.h"
#include "RutinyUnit.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <climits>

namespace {

// Every test starts from an empty store file in the temporary config folder of the test run.
class SettingsStore : public testing::Test {
protected:
    void SetUp() override {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Trabex", "Trabex");
        settings.clear();
        settings.sync();
        ASSERT_EQ(settings.status(), QSettings::NoError);
    }

    static QString IniPath() {
        return qEnvironmentVariable("XDG_CONFIG_HOME") + "/Trabex/Trabex.ini";
    }
    // What another program writing the INI file leaves there. The time stamp is moved on so that
    // readers holding the file's old contents notice the change.
    static void WriteByAnotherTool(const QByteArray& text) {
        static int generation = 0;
        QDir().mkpath(QFileInfo(IniPath()).path());
        QFile file(IniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.setFileTime(QDateTime::currentDateTime().addSecs(60 + ++generation),
                         QFileDevice::FileModificationTime);
    }
    static QByteArray IniText() {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The INI file as a later run would read it: a copy that no cache of this process knows.
    std::unique_ptr<QSettings> FreshRead() {
        const QString copy = scratch.filePath(QString("copy%1.ini").arg(++copies));
        EXPECT_TRUE(QFile::copy(IniPath(), copy));
        return std::make_unique<QSettings>(copy, QSettings::IniFormat);
    }

    QTemporaryDir scratch;
    int copies = 0;
};

TEST_F(SettingsStore, LivesInTheUsersConfigFolderAndIsWrittenAtOnce) {
    TSettingsStore store;
    EXPECT_EQ(store.FileName(), IniPath());
    store.WriteString("Last", "Language", "cs");
    EXPECT_TRUE(IniText().contains("[Last]\nLanguage=cs\n")) << IniText().toStdString();
    EXPECT_EQ(store.Status(), QSettings::NoError);
}

TEST_F(SettingsStore, AbsentValuesReadAsTheDefault) {
    const TSettingsStore store;
    EXPECT_EQ(store.ReadString("Last", "Language", "en"), "en");
    EXPECT_EQ(store.ReadInteger("Info", "NoOfSv", -5), -5);
    EXPECT_TRUE(store.ReadBool("LastLoad", "Open1", true));
    EXPECT_FALSE(store.ReadBool("LastLoad", "Open1", false));
}

TEST_F(SettingsStore, StringsSurviveAFreshReadOfTheFile) {
    const QString stamp = "12.3.2009 14:05:33 /opt/Trabex/Trabex SN:1A2B-3C4D";
    const QString czech = "Souřadnice – ěščřžýáíé";
    const QString commas = "a, b,c";
    {
        TSettingsStore store;
        store.WriteString("VersionUsed", "2.1.0.88", stamp);
        store.WriteString("LastLoad", "Name1", czech);
        store.WriteString("LastLoad", "Name2", commas);
        store.WriteString("LastLoad", "Name3", "");
    }
    const auto fresh = FreshRead();
    EXPECT_EQ(fresh->value("VersionUsed/2.1.0.88").toString(), stamp);
    EXPECT_EQ(fresh->value("LastLoad/Name1").toString(), czech);
    EXPECT_EQ(fresh->value("LastLoad/Name2").toString(), commas);
    EXPECT_TRUE(fresh->contains("LastLoad/Name3"));
    const TSettingsStore store;
    EXPECT_EQ(store.ReadString("LastLoad", "Name2", "default"), commas);
    EXPECT_EQ(store.ReadString("LastLoad", "Name3", "default"), "");
}

TEST_F(SettingsStore, BackslashesInValuesAreEscapedAndComeBackUnchanged) {
    TSettingsStore store;
    store.WriteString("LastLoad", "File1", "C:\\Data\\X.trs");
    EXPECT_TRUE(IniText().contains("File1=C:\\\\Data\\\\X.trs")) << IniText().toStdString();
    EXPECT_EQ(store.ReadString("LastLoad", "File1", ""), "C:\\Data\\X.trs");
    EXPECT_EQ(FreshRead()->value("LastLoad/File1").toString(), "C:\\Data\\X.trs");
}

// Another tool must double its backslashes; a single one starts an escape.
TEST_F(SettingsStore, HandWrittenBackslashesAreEscapes) {
    WriteByAnotherTool("[LastLoad]\nFile1=C:\\\\Data\\\\X.trs\nFile2=C:\\Data\\X.trs\n");
    const TSettingsStore store;
    EXPECT_EQ(store.ReadString("LastLoad", "File1", ""), "C:\\Data\\X.trs");
    EXPECT_NE(store.ReadString("LastLoad", "File2", ""), "C:\\Data\\X.trs");
}

TEST_F(SettingsStore, ABackslashInANameIsPartOfTheName) {
    TSettingsStore store;
    store.WriteString("Last", "a\\b", "one");
    store.WriteString("Last", "a", "two");
    EXPECT_TRUE(IniText().contains("a%5Cb=one")) << IniText().toStdString();
    EXPECT_EQ(store.ReadString("Last", "a\\b", ""), "one");
    EXPECT_EQ(store.ReadString("Last", "a", ""), "two");
}

// QSettings splits an unquoted line with commas into a list; the store reads the line's text.
TEST_F(SettingsStore, AHandWrittenLineWithCommasReadsAsOneText) {
    WriteByAnotherTool("[VersionUsed]\n2.1.0.88=3/12/09, 2:05:33 PM /opt/Trabex SN:1A2B-3C4D\n");
    EXPECT_EQ(TSettingsStore().ReadString("VersionUsed", "2.1.0.88", ""),
              "3/12/09, 2:05:33 PM /opt/Trabex SN:1A2B-3C4D");
}

TEST_F(SettingsStore, NamesMatchWhateverTheirCaseAsInTheRegistry) {
    TSettingsStore store;
    store.WriteInteger("Info", "NoOfExecute", 5);
    EXPECT_EQ(store.ReadInteger("info", "noofexecute", 0), 5);
    store.WriteInteger("INFO", "NOOFEXECUTE", 6);
    const auto fresh = FreshRead();
    EXPECT_EQ(fresh->allKeys(), QStringList{"Info/NoOfExecute"});
    EXPECT_EQ(fresh->value("Info/NoOfExecute").toString(), "6");
}

struct TIntegerText {
    const char* stored;
    int expected;
};

class IntegerFromText : public testing::TestWithParam<TIntegerText> {
protected:
    void SetUp() override {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Trabex", "Trabex");
        settings.clear();
        settings.setValue("Info/NoOfSv", QString(GetParam().stored));
        settings.sync();
    }
};

// Decimal text as another tool leaves it; anything else reads as the default -1.
TEST_P(IntegerFromText, ReadsDecimalTextElseTheDefault) {
    EXPECT_EQ(TSettingsStore().ReadInteger("Info", "NoOfSv", -1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerFromText,
    testing::Values(TIntegerText{"7", 7}, TIntegerText{"0", 0}, TIntegerText{"-12", -12},
                    TIntegerText{"2147483647", INT_MAX}, TIntegerText{"-2147483648", INT_MIN},
                    TIntegerText{"2147483648", -1}, TIntegerText{"abc", -1}, TIntegerText{"7x", -1},
                    TIntegerText{"", -1}, TIntegerText{"0x10", -1}, TIntegerText{"1.5", -1}));

struct TBoolText {
    const char* stored;
    bool def;
    bool expected;
};

class BoolFromText : public testing::TestWithParam<TBoolText> {};

TEST_P(BoolFromText, IsAnIntegerWhereNonZeroIsTrue) {
    TSettingsStore store;
    store.WriteString("LastLoad", "Open1", GetParam().stored);
    EXPECT_EQ(store.ReadBool("LastLoad", "Open1", GetParam().def), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Texts, BoolFromText,
                         testing::Values(TBoolText{"1", false, true}, TBoolText{"0", true, false},
                                         TBoolText{"2", false, true}, TBoolText{"-1", false, true},
                                         TBoolText{"abc", true, true},
                                         TBoolText{"abc", false, false},
                                         TBoolText{"", true, true}));

TEST_F(SettingsStore, BooleansAreWrittenAsZeroOrOne) {
    TSettingsStore store;
    store.WriteBool("LastLoad", "Open1", true);
    store.WriteBool("LastLoad", "Open2", false);
    const auto fresh = FreshRead();
    EXPECT_EQ(fresh->value("LastLoad/Open1").toString(), "1");
    EXPECT_EQ(fresh->value("LastLoad/Open2").toString(), "0");
    EXPECT_TRUE(store.ReadBool("LastLoad", "Open1", false));
    EXPECT_FALSE(store.ReadBool("LastLoad", "Open2", true));
}

// "7" stored as text by another tool is counted on as text: the value stays a string for
// every reader, not only in the file.
TEST_F(SettingsStore, AnIncrementedTextCounterStaysText) {
    {
        QSettings other(QSettings::IniFormat, QSettings::UserScope, "Trabex", "Trabex");
        other.setValue("Info/NoOfSv", QString("7"));
    }
    TSettingsStore store;
    EXPECT_EQ(store.Increment("Info", "NoOfSv"), 8);
    const QSettings reader(QSettings::IniFormat, QSettings::UserScope, "Trabex", "Trabex");
    EXPECT_EQ(reader.value("Info/NoOfSv").typeId(), QMetaType::QString);
    EXPECT_EQ(reader.value("Info/NoOfSv").toString(), "8");
    EXPECT_TRUE(IniText().contains("NoOfSv=8\n"));
}

TEST_F(SettingsStore, CountersStartAtZeroAndStopAtTheLargestValue) {
    TSettingsStore store;
    EXPECT_EQ(store.Increment("Info", "NoOfExecute"), 1);
    EXPECT_EQ(store.Increment("Info", "NoOfExecute"), 2);
    EXPECT_EQ(store.ReadInteger("Info", "NoOfExecute", 0), 2);
    store.WriteInteger("Info", "NoOfSv", INT_MAX - 1);
    EXPECT_EQ(store.Increment("Info", "NoOfSv"), INT_MAX);
    EXPECT_EQ(store.Increment("Info", "NoOfSv"), INT_MAX);
    EXPECT_EQ(FreshRead()->value("Info/NoOfSv").toString(), "2147483647");
}

TEST_F(SettingsStore, TwoOpenStoresSeeEachOthersWrites) {
    auto mainWindows = std::make_unique<TSettingsStore>();
    TSettingsStore fileWriter;
    mainWindows->WriteString("Last", "Language", "de");
    EXPECT_EQ(fileWriter.ReadString("Last", "Language", ""), "de");
    fileWriter.Increment("Info", "NoOfSv");
    EXPECT_EQ(mainWindows->ReadInteger("Info", "NoOfSv", 0), 1);
    mainWindows->Increment("Info", "NoOfSv");
    mainWindows.reset();
    EXPECT_EQ(fileWriter.ReadInteger("Info", "NoOfSv", 0), 2);
    EXPECT_EQ(fileWriter.Increment("Info", "NoOfSv"), 3);
    EXPECT_EQ(TSettingsStore().ReadString("Last", "Language", ""), "de");
    const auto fresh = FreshRead();
    EXPECT_EQ(fresh->value("Last/Language").toString(), "de");
    EXPECT_EQ(fresh->value("Info/NoOfSv").toString(), "3");
}

// A store that is already open reads what another process wrote to the file since.
TEST_F(SettingsStore, AnOpenStoreSeesChangesMadeOnDisk) {
    const TSettingsStore store;
    EXPECT_EQ(store.ReadString("Last", "Language", "en"), "en");
    WriteByAnotherTool("[Last]\nLanguage=sk\n");
    EXPECT_EQ(store.ReadString("Last", "Language", "en"), "sk");
}

TEST_F(SettingsStore, AFileThatCannotBeWrittenIsReported) {
    TSettingsStore store;
    store.WriteString("Last", "Language", "cs");
    ASSERT_EQ(store.Status(), QSettings::NoError);
    const TReadOnlyPath file(IniPath());
    const TReadOnlyPath folder(QFileInfo(IniPath()).path());
    if (file.Writable() || folder.Writable())
        GTEST_SKIP() << "this user can write anywhere and cannot set the immutable flag";
    store.WriteString("Last", "Language", "en");
    EXPECT_EQ(store.Status(), QSettings::AccessError);
    EXPECT_TRUE(IniText().contains("Language=cs"));
}

// The failures a handler hears of; the handler is removed again when the test ends.
struct TFailureListener {
    TFailureListener() {
        SetSettingsWriteFailureHandler([this](const QString& file) { Files << file; });
    }
    ~TFailureListener() { SetSettingsWriteFailureHandler(nullptr); }
    QStringList Files;
};

// Every store object of the file fails alike, so the file is reported once, not at every write.
TEST_F(SettingsStore, AFileThatCannotBeWrittenIsToldToTheHandlerOncePerRun) {
    TFailureListener listener;
    TSettingsStore store;
    store.WriteString("Last", "Language", "cs");
    EXPECT_EQ(listener.Files, QStringList());
    {
        const TReadOnlyPath file(IniPath());
        const TReadOnlyPath folder(QFileInfo(IniPath()).path());
        if (file.Writable() || folder.Writable())
            GTEST_SKIP() << "this user can write anywhere and cannot set the immutable flag";
        store.WriteString("Last", "Language", "en");
        store.Increment("Info", "NoOfExecute");
        TSettingsStore().WriteBool("LastLoad", "Open1", true);
        EXPECT_EQ(listener.Files, QStringList{IniPath()});
    }
    TFailureListener next;
    TSettingsStore().WriteString("Last", "Language", "de");
    EXPECT_EQ(next.Files, QStringList()) << "a file that can be written again is not reported";
    store.WriteString("Last", "Language", "sk");
    EXPECT_EQ(next.Files, QStringList{IniPath()}) << "a store keeps its failure; a new handler "
                                                     "hears of it";
}

// Restores the default locale of the test run (C) when a test has changed it.
class UsageStamp : public testing::TestWithParam<const char*> {
protected:
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

// Local short date, a blank, long time; then " ", the executable, " SN:" and the identifier.
TEST_P(UsageStamp, IsDateTimeExecutableAndMachine) {
    const QLocale locale(GetParam());
    QLocale::setDefault(locale);
    const QDateTime before = QDateTime::currentDateTime().addMSecs(-1000);
    const QString stamp = ::UsageStamp();
    const QDateTime after = QDateTime::currentDateTime();

    const QString tail =
        " " + QCoreApplication::applicationFilePath() + " SN:" + GetVolumeSerial(GetExeDir());
    ASSERT_TRUE(stamp.endsWith(tail)) << stamp.toStdString();
    EXPECT_TRUE(QRegularExpression(" SN:[0-9A-F]{4}-[0-9A-F]{4}$").match(stamp).hasMatch());

    QString when = stamp.chopped(tail.size());
    QString format =
        locale.dateFormat(QLocale::ShortFormat) + " " + locale.timeFormat(QLocale::LongFormat);
    // Qt reads few zone names back, so the zone (the last word of a long time) is left out.
    if (format.endsWith(" t")) {
        format.chop(2);
        when.truncate(when.lastIndexOf(' '));
    }
    QDateTime stamped = locale.toDateTime(when, format);
    ASSERT_TRUE(stamped.isValid()) << when.toStdString() << " as " << format.toStdString();
    // A two-digit year is read in the 1900s.
    if (stamped.date().year() < 2000)
        stamped = stamped.addYears(100);
    EXPECT_GE(stamped, before) << when.toStdString();
    EXPECT_LE(stamped, after) << when.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Locales, UsageStamp, testing::Values("cs_CZ", "en_US", "de_DE"));

} // namespace
