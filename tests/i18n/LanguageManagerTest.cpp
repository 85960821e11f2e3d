// Tests of TLanguageManager on language folders: finding, filtering, loading in add and replace
// mode, the events and errors of a language change, lookups and the list of languages.
#include "LangFolder.h"
#include "LanguageFile.h"
#include "plsLangMan.h"

#include "TableText.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Every test gets an empty language folder and a manager that searches only it.
class LanguageManagerFolder : public testing::Test {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        return folder.Write(name, bytes);
    }
    // A file that exists but cannot be read: larger than the reader takes.
    QString WriteUnreadable(const QString& name) {
        const QString path = folder.Write(name, "[constants]\n");
        EXPECT_TRUE(QFile::resize(path, MaxLanguageFileSize + 1));
        return path;
    }
    static QString ReadError(const QString& path) {
        TLanguageText text;
        QString error;
        EXPECT_FALSE(ReadLanguageFile(path, text, error));
        return error;
    }

    TLangFolder folder;
    TCountingManager counting{folder.Path()};
    TLanguageManager& lm = counting.manager;
    int& events = counting.events;
};

const QByteArray CzechFile = "[precision language file]\r\n"
                             "languagename=Čeština\r\n"
                             "[constants]\r\n"
                             "str_Uhel = Úhel\r\n"
                             "msg_Text=Řádek\\nDruhý\\tTab\r\n"
                             "@Special=zvláštní\r\n"
                             "=no name\r\n"
                             "no equals sign\r\n"
                             "[TMainForm]\r\n"
                             "self.Caption=Trabex – hlavní okno\r\n"
                             "Button1.Caption = &Otevřít\r\n"
                             "[messages]\r\n"
                             "Open file\r\n"
                             "Otevřít soubor\r\n";

TEST_F(LanguageManagerFolder, StartsWithItsInitialValues) {
    const TLanguageManager fresh;
    const QString langs = QDir(QCoreApplication::applicationDirPath()).filePath("Langs");
    EXPECT_EQ(fresh.Folder(), langs);
    // The program-wide manager was made before the application object existed.
    EXPECT_EQ(::LanguageManager.Folder(), langs);
    EXPECT_EQ(&::LanguageManager, &TheLanguageManager());
    EXPECT_TRUE(fresh.ActiveFiles().isEmpty());
    EXPECT_TRUE(fresh.FileNames().isEmpty());
    EXPECT_FALSE(fresh.RecursiveFolder());
    EXPECT_EQ(fresh.LanguageName(), "");
    EXPECT_EQ(fresh.LanguageCode(), "");
    EXPECT_EQ(fresh.BiDiMode(), bdLeftToRight);
    EXPECT_TRUE(fresh.AllowSpecialProps());
    EXPECT_EQ(fresh.LastError(), "");
    for (const TTranslationTable* t :
         {&fresh.Properties(), &fresh.Constants(), &fresh.AtConstants()})
        EXPECT_TRUE(t->Sorted() && t->Count() == 0);
    EXPECT_TRUE(fresh.MessageSources().isEmpty() && fresh.MessageTranslations().isEmpty());
    EXPECT_FALSE(fresh.OnLanguageChanged);
}

TEST_F(LanguageManagerFolder, LoadsTheTablesOfALanguageAndRaisesTheEventWhenAllIsDone) {
    const QString path = Write("Trabex.cs.lng", CzechFile);
    lm.OnLanguageChanged = [&](TLanguageManager& sender) {
        ++events;
        EXPECT_EQ(sender.LanguageCode(), "cs");
        EXPECT_TRUE(sender.Constants().Sorted() && sender.Properties().Sorted() &&
                    sender.AtConstants().Sorted());
        EXPECT_EQ(sender.LastError(), "");
    };
    lm.SetLanguageCode("cs");
    EXPECT_EQ(events, 1);
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(lm.LanguageCode(), "cs");
    EXPECT_EQ(lm.LanguageName(), "Čeština");
    EXPECT_EQ(lm.ActiveFiles(), QStringList{path});
    EXPECT_EQ(lm.BiDiMode(), bdLeftToRight);
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"MSG_TEXT", "STR_UHEL"}));
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"Řádek\r\nDruhý\tTab", "Úhel"}));
    EXPECT_EQ(Keys(lm.AtConstants()), QStringList({"@SPECIAL"}));
    EXPECT_EQ(Texts(lm.AtConstants()), QStringList({"zvláštní"}));
    EXPECT_EQ(Keys(lm.Properties()),
              QStringList({"TMAINFORM.BUTTON1.CAPTION", "TMAINFORM.SELF.CAPTION"}));
    EXPECT_EQ(Texts(lm.Properties()), QStringList({"&Otevřít", "Trabex – hlavní okno"}));
    EXPECT_EQ(lm.MessageSources(), QStringList({"Open file"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"Otevřít soubor"}));
}

TEST_F(LanguageManagerFolder, AnEmptyCodeOnlyClearsTheLastError) {
    Write("Trabex.cs.lng", CzechFile);
    lm.SetLanguageCode("cs");
    ASSERT_EQ(events, 1);
    lm.AppendLastError("left over");
    lm.SetLanguageCode("");
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(events, 1);
    EXPECT_EQ(lm.LanguageCode(), "cs");
    EXPECT_EQ(lm.LanguageName(), "Čeština");
    EXPECT_EQ(lm.Constants().Count(), 2);
    EXPECT_EQ(lm.ActiveFiles().size(), 1);
}

TEST_F(LanguageManagerFolder, SettingTheSameCodeAgainReloadsFromEmptyTablesAndRaisesTheEventAgain) {
    Write("Trabex.cs.lng", CzechFile);
    lm.SetLanguageCode("cs");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(events, 2);
    EXPECT_EQ(lm.Constants().Count(), 2);
    EXPECT_EQ(lm.Properties().Count(), 2);
    EXPECT_EQ(lm.MessageSources().size(), 1);
    EXPECT_EQ(lm.ActiveFiles().size(), 1);
}

TEST_F(LanguageManagerFolder, ACodeWithoutFilesIsLanguageNotFoundAndEmptiesEverything) {
    Write("Trabex.cs.lng", CzechFile);
    lm.SetLanguageCode("cs");
    lm.SetLanguageCode("de");
    EXPECT_EQ(lm.LastError(), "Language not found");
    EXPECT_EQ(lm.LanguageCode(), "");
    EXPECT_EQ(lm.LanguageName(), "");
    EXPECT_EQ(events, 1);
    EXPECT_TRUE(lm.ActiveFiles().isEmpty());
    for (const TTranslationTable* t : {&lm.Properties(), &lm.Constants(), &lm.AtConstants()})
        EXPECT_TRUE(t->Sorted() && t->Count() == 0);
    EXPECT_TRUE(lm.MessageSources().isEmpty() && lm.MessageTranslations().isEmpty());
}

TEST_F(LanguageManagerFolder, CodesAndExtensionsMatchInAnyLetterCase) {
    const QString path = Write("Trabex.CS.LNG", "[constants]\nx=1\n");
    lm.SetLanguageCode("Cs");
    EXPECT_EQ(lm.ActiveFiles(), QStringList{path});
    EXPECT_EQ(lm.LanguageCode(), "Cs");
    EXPECT_EQ(lm.GetConstant("x", ""), "1");
    EXPECT_EQ(LanguageCodeOfFile(path), "cs");
}

TEST_F(LanguageManagerFolder, AnOverrideFileReplacesTheEntriesOfTheMainFiles) {
    const QString main = Write("A.cs.lng", "[constants]\nX=main\nY=only main\n"
                                           "[TMainForm]\nself.Caption=main\n"
                                           "[messages]\nHello\nAhoj\n");
    const QString over = Write("A.cs.lngu", "[constants]\nx=override\nNew=added\n"
                                            "[tmainform]\nSELF.caption=override\n"
                                            "[Messages]\nHELLO\nNazdar\nBye\nSbohem\n");
    const QString last = Write("B.cs.lngu", "[constants]\nNEW=last\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(events, 1);
    EXPECT_EQ(lm.ActiveFiles(), QStringList({main, over, last}));
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"NEW", "X", "Y"}));
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"last", "override", "only main"}));
    EXPECT_EQ(lm.GetConstant("X", ""), "override");
    EXPECT_EQ(Keys(lm.Properties()), QStringList({"TMAINFORM.SELF.CAPTION"}));
    EXPECT_EQ(Texts(lm.Properties()), QStringList({"override"}));
    EXPECT_EQ(lm.MessageSources(), QStringList({"Hello", "Bye"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"Nazdar", "Sbohem"}));
}

TEST_F(LanguageManagerFolder, TwoMainFilesOfOneKeyKeepBothEntriesAndTheFirstLoadedIsFound) {
    Write("A.cs.lng", "[constants]\nX=from A\n[TMainForm]\nself.Caption=A\n[messages]\nm\nA\n");
    Write("B.cs.lng", "[constants]\nx=from B\n[TMainForm]\nself.Caption=B\n[messages]\nm\nB\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"X", "X"}));
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"from A", "from B"}));
    EXPECT_EQ(lm.GetConstant("x", ""), "from A");
    EXPECT_EQ(Texts(lm.Properties()), QStringList({"A", "B"}));
    EXPECT_EQ(lm.GetConstant("TMainForm.self.Caption", ""), "A");
    EXPECT_EQ(lm.MessageSources(), QStringList({"m", "m"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"A", "B"}));
}

// Each line of "constants" names an entry; its text is the value of the first line of that name.
TEST_F(LanguageManagerFolder, AConstantTakesTheValueOfTheFirstLineOfItsName) {
    Write("A.cs.lng", "[constants]\nA=1\nb=x\na=2\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"A", "A", "B"}));
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"1", "1", "x"}));

    Write("A.cs.lngu", "[constants]\nb=first\nB=second\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"1", "1", "first"}));
}

TEST_F(LanguageManagerFolder, AtConstantsAreFoundOnlyByTheirNameWithTheAt) {
    Write("A.cs.lng", "[constants]\n@Foo=bar\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.Constants().Count(), 0);
    EXPECT_EQ(lm.GetConstant("@foo", "default"), "bar");
    EXPECT_EQ(lm.GetConstant("@FOO", "default"), "bar");
    EXPECT_EQ(lm.GetConstant("Foo", "default"), "default");
    EXPECT_EQ(lm.GetConstant("@Other", "a\\nb"), "a\r\nb");
}

TEST_F(LanguageManagerFolder, GetConstantFallsBackToThePropertiesAndThenToTheExpandedDefault) {
    Write("A.cs.lng", "[TMainForm]\nself.Caption=Hlavní okno\nBoth=property\n"
                      "[constants]\nTMainForm.Both=constant\n"
                      "[@Form]\nx=property of an at section\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.GetConstant("TMainForm.self.Caption", "x"), "Hlavní okno");
    EXPECT_EQ(lm.GetConstant("TMAINFORM.SELF.CAPTION", "x"), "Hlavní okno");
    EXPECT_EQ(lm.GetConstant("TMainForm.Both", "x"), "constant");
    // Names with "@" look only among the at-constants.
    EXPECT_GE(lm.Properties().IndexOf("@FORM.X"), 0);
    EXPECT_EQ(lm.GetConstant("@Form.x", "none"), "none");
    EXPECT_EQ(lm.GetConstant("", "a\\nb\\tc"), "a\r\nb\tc");
    EXPECT_EQ(lm.GetConstant("missing", "line\\nnext"), "line\r\nnext");
}

TEST_F(LanguageManagerFolder, ExpandsEscapesInEveryStoredValue) {
    // The file holds a, backslash, backslash, n, b: the text becomes a, backslash, CR LF, b.
    Write("A.cs.lng",
          "[constants]\nv=a\\\\nb\nt=x\\ty\n[TForm]\np=1\\n2\n[messages]\ns\\n\nt\\t\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.GetConstant("v", ""), "a\\\r\nb");
    EXPECT_EQ(lm.GetConstant("v", "").size(), 5);
    EXPECT_EQ(lm.GetConstant("t", ""), "x\ty");
    EXPECT_EQ(lm.GetConstant("TForm.p", ""), "1\r\n2");
    EXPECT_EQ(lm.MessageSources(), QStringList({"s\r\n"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"t\t"}));
}

TEST_F(LanguageManagerFolder, PropertySectionsAreTakenInAscendingOrderOfTheirNames) {
    // The same key from two sections: the one of the section that sorts first stays first.
    Write("A.cs.lng",
          "[TForm.Panel]\nCaption=from TForm.Panel\n[TForm]\nPanel.Caption=from TForm\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Keys(lm.Properties()), QStringList({"TFORM.PANEL.CAPTION", "TFORM.PANEL.CAPTION"}));
    EXPECT_EQ(Texts(lm.Properties()), QStringList({"from TForm", "from TForm.Panel"}));
}

TEST_F(LanguageManagerFolder, ARepeatedSectionNameUsesOnlyItsFirstOccurrence) {
    Write("A.cs.lng", "[TZ]\na=1\n[TA]\nb=2\n[tz]\nc=3\n"
                      "[Constants]\nx=1\n[CONSTANTS]\ny=2\n"
                      "[Messages]\nm1\nt1\n[messages]\nm2\nt2\n"
                      "[precision language file]\nlanguagename=First\n"
                      "[PRECISION LANGUAGE FILE]\nlanguagename=Second\nrtl=1\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Keys(lm.Properties()), QStringList({"TA.B", "TZ.A"}));
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"X"}));
    EXPECT_EQ(lm.MessageSources(), QStringList({"m1"}));
    EXPECT_EQ(lm.LanguageName(), "First");
    EXPECT_EQ(lm.BiDiMode(), bdLeftToRight);
}

TEST_F(LanguageManagerFolder, MessagesArePairsOfLinesAndALastLineWithoutPartnerIsIgnored) {
    Write("A.cs.lng", "[messages]\none\njedna\n\n; a comment between\n"
                      "two = 2\ndva\nthree\n; comment\n\ntři\norphan\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.MessageSources(), QStringList({"one", "two=2", "three"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"jedna", "dva", "tři"}));

    Write("B.cs.lngu", "[messages]\nONE\nJEDNA!\nfour\nčtyři\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.MessageSources(), QStringList({"one", "two=2", "three", "four"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"JEDNA!", "dva", "tři", "čtyři"}));
}

TEST_F(LanguageManagerFolder, TheLanguageNameComesFromTheFirstFileThatNamesOne) {
    Write("a.cs.lng", "[constants]\nx=1\n");
    Write("b.cs.lng", "[precision language file]\nlanguagename=První\n");
    Write("c.cs.lng", "[Precision Language File]\nLanguageName=Druhé\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LanguageName(), "První");

    QString name = "given";
    QString error;
    EXPECT_TRUE(lm.LoadLanguageFile(folder.File("c.cs.lng"), name, error));
    EXPECT_EQ(name, "given");
    name.clear();
    EXPECT_TRUE(lm.LoadLanguageFile(folder.File("c.cs.lng"), name, error));
    EXPECT_EQ(name, "Druhé");
}

TEST_F(LanguageManagerFolder, LoadLanguageFileAddsToSortedTablesInOrder) {
    lm.SetLanguageCode("cs"); // nothing there: the tables stay sorted and empty
    const QString a = Write("a.cs.lng", "[constants]\nm=1\nz=2\n");
    const QString b = Write("b.cs.lng", "[constants]\na=3\nM=4\n");
    QString name, error;
    ASSERT_TRUE(lm.LoadLanguageFile(a, name, error));
    ASSERT_TRUE(lm.LoadLanguageFile(b, name, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"A", "M", "M", "Z"}));
    EXPECT_EQ(Texts(lm.Constants()), QStringList({"3", "1", "4", "2"}));
    EXPECT_EQ(lm.ActiveFiles(), QStringList({a, b}));

    const QString missing = folder.File("missing.cs.lng");
    EXPECT_FALSE(lm.LoadLanguageFile(missing, name, error));
    EXPECT_TRUE(error.contains(missing));
    EXPECT_EQ(lm.ActiveFiles(), QStringList({a, b}));
}

struct TRtlCase {
    const char* Header;
    TBiDiMode Mode;
};

void PrintTo(const TRtlCase& c, std::ostream* os) {
    *os << c.Header;
}

class RightToLeft : public testing::TestWithParam<TRtlCase> {};

TEST_P(RightToLeft, FollowsTheHeaderNumber) {
    TLangFolder folder;
    folder.Write("A.ar.lng", QByteArray("[precision language file]\n") + GetParam().Header + "\n");
    TCountingManager m(folder.Path());
    m.manager.SetLanguageCode("ar");
    EXPECT_EQ(m.manager.BiDiMode(), GetParam().Mode) << GetParam().Header;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, RightToLeft,
    testing::Values(TRtlCase{"rtl=1", bdRightToLeft}, TRtlCase{"RTL = 7", bdRightToLeft},
                    TRtlCase{"rtl=0x1", bdRightToLeft}, TRtlCase{"rtl=0x00", bdLeftToRight},
                    TRtlCase{"rtl=0", bdLeftToRight}, TRtlCase{"rtl=yes", bdLeftToRight},
                    TRtlCase{"rtl=", bdLeftToRight},
                    TRtlCase{"languagename=Arabic", bdLeftToRight}));

TEST_F(LanguageManagerFolder, RightToLeftStaysOnceAFileDeclaresItAndResetsOnTheNextChange) {
    Write("A.ar.lng", "[precision language file]\nrtl=1\n");
    Write("B.ar.lng", "[precision language file]\nrtl=0\n");
    Write("A.cs.lng", "[constants]\nx=1\n");
    lm.SetLanguageCode("ar");
    EXPECT_EQ(lm.BiDiMode(), bdRightToLeft);
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.BiDiMode(), bdLeftToRight);
}

struct TCountedCase {
    int Files;
    const char* LastError;
    int Events;
};

void PrintTo(const TCountedCase& c, std::ostream* os) {
    *os << c.Files << " files";
}

class CountedFiles : public testing::TestWithParam<TCountedCase> {};

// ".lngz" files are found and listed but not read; each load reports a failure with an empty
// text, so one of them leaves no error (the leading line break is removed) and two leave a line
// break, which stops the event.
TEST_P(CountedFiles, AreFoundAndListedButNotRead) {
    TLangFolder folder;
    QStringList paths;
    for (int i = 0; i < GetParam().Files; ++i)
        paths.append(folder.Write(QStringLiteral("F%1.cs.lngz").arg(i),
                                  "[precision language file]\nlanguagename=Z\n[constants]\nx=1\n"));
    TCountingManager m(folder.Path());
    m.manager.SetLanguageCode("cs");
    EXPECT_EQ(m.manager.LanguageCode(), "cs");
    EXPECT_EQ(m.manager.LastError(), GetParam().LastError);
    EXPECT_EQ(m.events, GetParam().Events);
    EXPECT_EQ(m.manager.ActiveFiles(), paths);
    EXPECT_EQ(m.manager.Constants().Count(), 0);
    EXPECT_EQ(m.manager.LanguageName(), "");
}

INSTANTIATE_TEST_SUITE_P(OnlyCountedFiles, CountedFiles,
                         testing::Values(TCountedCase{1, "", 1}, TCountedCase{2, "\r\n", 0},
                                         TCountedCase{3, "\r\n\r\n", 0}));

TEST_F(LanguageManagerFolder, ACountedFileBesideAReadOneLeavesNoError) {
    const QString read = Write("A.cs.lng", "[constants]\nx=1\n");
    const QString counted = Write("B.cs.lngz", "");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(events, 1);
    EXPECT_EQ(lm.ActiveFiles(), QStringList({read, counted}));
}

TEST_F(LanguageManagerFolder, AnUnreadableFileBecomesALineOfTheErrorAndTheOthersStillLoad) {
    const QString a = Write("A.cs.lng", "[constants]\na=1\n");
    const QString b = WriteUnreadable("B.cs.lng");
    const QString c = Write("C.cs.lng", "[constants]\nc=3\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LastError(), ReadError(b));
    EXPECT_TRUE(lm.LastError().contains(b));
    EXPECT_EQ(events, 0);
    EXPECT_EQ(lm.LanguageCode(), "cs");
    EXPECT_EQ(lm.ActiveFiles(), QStringList({a, c}));
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"A", "C"}));

    const QString d = WriteUnreadable("D.cs.lngu");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LastError(), ReadError(b) + "\r\n" + ReadError(d));
    EXPECT_EQ(events, 0);
}

struct TForeignEncodingCase {
    QStringConverter::Encoding Encoding;
    const char* Name;
};

void PrintTo(const TForeignEncodingCase& c, std::ostream* os) {
    *os << c.Name;
}

class ForeignEncoding : public testing::TestWithParam<TForeignEncodingCase> {};

// A file saved as UTF-16 or UTF-32 (with its byte order mark, as editors write it) is refused
// with its path and encoding in the error; the other files of the language still load, and the
// list of languages passes it over.
TEST_P(ForeignEncoding, IsRefusedWithItsNameInTheError) {
    QStringEncoder encode(GetParam().Encoding, QStringConverter::Flag::WriteBom);
    const QByteArray bytes =
        encode(QStringLiteral("[precision language file]\nlanguagename=Wide\n[constants]\nw=1\n"));
    ASSERT_FALSE(encode.hasError());
    TLangFolder folder;
    const QString good = folder.Write("A.cs.lng", "[constants]\na=1\n");
    const QString wide = folder.Write("B.cs.lng", bytes);
    folder.Write("W.de.lng", bytes);
    TCountingManager m(folder.Path());
    m.manager.SetLanguageCode("cs");
    const QString error = m.manager.LastError();
    EXPECT_TRUE(error.contains(wide)) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String(GetParam().Name))) << error.toStdString();
    EXPECT_EQ(m.events, 0);
    EXPECT_EQ(m.manager.ActiveFiles(), QStringList{good});
    EXPECT_EQ(m.manager.GetConstant("a", "-"), "1");
    EXPECT_EQ(m.manager.GetConstant("w", "-"), "-");
    QStringList languages;
    EXPECT_TRUE(m.manager.GetAvailableLanguages(languages));
    EXPECT_EQ(languages, QStringList());
}

INSTANTIATE_TEST_SUITE_P(
    ByteOrderMarks, ForeignEncoding,
    testing::Values(TForeignEncodingCase{QStringConverter::Utf16LE, "UTF-16 little-endian"},
                    TForeignEncodingCase{QStringConverter::Utf16BE, "UTF-16 big-endian"},
                    TForeignEncodingCase{QStringConverter::Utf32LE, "UTF-32 little-endian"},
                    TForeignEncodingCase{QStringConverter::Utf32BE, "UTF-32 big-endian"}));

TEST_F(LanguageManagerFolder, FileNamesKeepOnlyTheFilesOfTheGivenBaseNames) {
    const QString trabex =
        Write("Trabex.cs.lng", "[precision language file]\nlanguagename=Čeština\n"
                               "[constants]\nA=trabex\n");
    Write("Other.cs.lng", "[constants]\nB=other\n");
    Write("Other.de.lng", "[precision language file]\nlanguagename=Deutsch\n");
    Write("TrabexPlus.cs.lng", "[constants]\nC=plus\n");
    lm.FileNames().append("trabex");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.ActiveFiles(), QStringList{trabex});
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"A"}));

    lm.SetLanguageCode("de");
    EXPECT_EQ(lm.LastError(), "Language not found");
    EXPECT_EQ(lm.LanguageCode(), "");

    QStringList list;
    ASSERT_TRUE(lm.GetAvailableLanguages(list));
    EXPECT_EQ(list, QStringList({"cs=Čeština"}));

    // Other.cs.lng names no language, so cs comes with the later Trabex.cs.lng.
    lm.FileNames().append("Other");
    ASSERT_TRUE(lm.GetAvailableLanguages(list));
    EXPECT_EQ(list, QStringList({"de=Deutsch", "cs=Čeština"}));
}

TEST(FilterByFileNames, MatchesEachEntryFollowedByTwoExtensions) {
    QStringList files{"/x/Trabex.cs.lng",     "/x/trabex.DE.lngu", "/x/Other.cs.lng",
                      "/x/TrabexPlus.cs.lng", "/x/Trabex.lng",     "/x/Tool.a.b.lng"};
    QStringList unfiltered = files;
    FilterByFileNames(unfiltered, {});
    EXPECT_EQ(unfiltered, files);
    FilterByFileNames(files, {"Trabex", "To?l"});
    EXPECT_EQ(files, QStringList({"/x/Trabex.cs.lng", "/x/trabex.DE.lngu", "/x/Tool.a.b.lng"}));
}

TEST(MatchesMask, HandlesStarsQuestionMarksAndLetterCase) {
    const struct {
        const char* Name;
        const char* Mask;
        bool Matches;
    } cases[] = {
        {"Trabex.cs.lng", "*.cs.lng", true},
        {"TRABEX.CS.LNG", "*.cs.lng", true},
        {"a.cs.lngu", "*.cs.lng", false},
        {"a.cs.lng", "*.cs.lngu", false},
        {".cs.lng", "*.cs.lng", true},
        {"a.b.cs.lng", "*.cs.lng", true},
        {"a.cz.lng", "*.c?.lng", true},
        {"a.c.lng", "*.c?.lng", false},
        {"x.lng", "*.*.lng", false},
        {"..lng", "*.*.lng", true},
        {"Úhel.Čs.lng", "úhel.čs.*", true},
        {"abc", "a*b*c", true},
        {"ab", "a*b*c", false},
        {"", "*", true},
        {"", "", true},
        {"a", "", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*a*c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesMask(c.Name, c.Mask), c.Matches) << c.Name << " ~ " << c.Mask;
}

TEST(LanguageCodeOfFile, IsTheSecondToLastExtensionInLowerCase) {
    const struct {
        const char* Path;
        const char* Code;
    } cases[] = {
        {"/langs/Trabex.CS.lng", "cs"},
        {"a.b.De.lngu", "de"},
        {"x.kok.lngz", "kok"},
        {"x.lng", ""},
        {"..lng", ""},
        {"/dir.cs/x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageCodeOfFile(c.Path), c.Code) << c.Path;
}

TEST_F(LanguageManagerFolder, ARecursiveSearchTakesTheSubFoldersFirstDepthFirst) {
    const QString top = Write("top.cs.lng", "[constants]\ntop=1\n");
    const QString five = Write(".hidden/five.cs.lng", "");
    const QString two = Write("a/deep/two.cs.lng", "");
    const QString one = Write("a/one.cs.lng", "");
    const QString four = Write("b/four.cs.lng", "");
    const QString three = Write("b/three.cs.lngu", "");
    const QString hiddenFile = Write(".six.cs.lng", "");
    // A link back to the top folder must not lead into an endless search.
    ASSERT_TRUE(QFile::link(folder.Path(), folder.File("a/loop")));

    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.ActiveFiles(), QStringList({hiddenFile, top}));

    lm.SetRecursiveFolder(true);
    lm.SetLanguageCode("cs");
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(lm.ActiveFiles(), QStringList({five, two, one, four, hiddenFile, top, three}));
}

TEST(FindLanguageFiles, ChoosesTheFolderAndFallsBackBesideTheProgram) {
    TLangFolder root;
    const QString exe = root.File("prefix/bin");
    ASSERT_TRUE(QDir().mkpath(exe));
    const QString other = root.File("other");
    ASSERT_TRUE(QDir().mkpath(other));
    const auto find = [&](const QString& folder, bool recursive = false) {
        return FindLanguageFiles(folder, exe, "cs", recursive).Main;
    };

    EXPECT_TRUE(find("").isEmpty());
    const QString installed = root.Write("prefix/share/trabex/Langs/i.cs.lng", "");
    EXPECT_EQ(find(""), QStringList{installed});
    const QString beside = root.Write("prefix/bin/b.cs.lng", "");
    EXPECT_EQ(find(""), QStringList{beside});
    // A Langs folder with files of another code only gives nothing for this code.
    root.Write("prefix/bin/Langs/x.de.lng", "");
    EXPECT_EQ(find(""), QStringList{beside});
    const QString nested = root.Write("prefix/bin/Langs/sub/n.cs.lng", "");
    EXPECT_EQ(find("", true), QStringList{nested});
    EXPECT_EQ(find("", false), QStringList{beside});
    const QString langs = root.Write("prefix/bin/Langs/l.cs.lng", "");
    EXPECT_EQ(find(""), QStringList{langs});
    EXPECT_EQ(find(root.File("missing")), QStringList{langs});
    // An existing folder is searched alone, even when it holds nothing.
    EXPECT_TRUE(find(other).isEmpty());
    const QString own = root.Write("other/o.cs.lng", "");
    EXPECT_EQ(find(other), QStringList{own});
    EXPECT_EQ(find(other + "/"), QStringList{own});
}

TEST(FindLanguageFiles, PutsLngBeforeLngzAndOverridesApartAndIgnoresNonFiles) {
    TLangFolder root;
    const QString b = root.Write("b.cs.lng", "");
    const QString a = root.Write("a.cs.lngz", "");
    const QString c = root.Write("c.cs.lng", "");
    const QString u = root.Write("a.cs.lngu", "");
    root.Write("a.cs.lng.bak", "");
    root.Write("a.de.lng", "");
    ASSERT_TRUE(QDir().mkpath(root.File("dir.cs.lng")));
    ASSERT_EQ(mkfifo(QFile::encodeName(root.File("fifo.cs.lng")).constData(), 0644), 0);
    ASSERT_TRUE(QFile::link(root.File("gone"), root.File("broken.cs.lng")));
    const QString linked = root.File("linked.cs.lng");
    ASSERT_TRUE(QFile::link(c, linked));
    TLanguageFiles files;
    FindLanguageFilesIn(root.Path(), "cs", false, files);
    EXPECT_EQ(files.Main, QStringList({b, c, linked, a}));
    EXPECT_EQ(files.Overrides, QStringList{u});
}

TEST_F(LanguageManagerFolder, AvailableLanguagesListEachNamedCodeOnceInFileOrder) {
    Write("a.cs.lng", "[precision language file]\nlanguagename=Čeština\n");
    Write("a.de.lng", "[constants]\nx=no name here\n");
    Write("b.cs.lng", "[precision language file]\nlanguagename=Jiná\n");
    Write("b.de.lng", "[precision language file]\nlanguagename=Deutsch\n");
    Write("c.fr.lngz", "[precision language file]\nlanguagename=Français\n");
    Write("d.pl.lngu", "[precision language file]\nlanguagename=Polski\n");
    Write("e.EN.lng", "[precision language file]\nlanguagename=English\n");
    WriteUnreadable("f.it.lng");
    Write("g.sk.lng", "[constants]\nx=no header\n");
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.File("h.hu.lng")).constData(), 0644), 0);
    QStringList list{"stale entry"};
    lm.AppendLastError("stale error");
    ASSERT_TRUE(lm.GetAvailableLanguages(list));
    EXPECT_EQ(lm.LastError(), "");
    EXPECT_EQ(list, QStringList({"cs=Čeština", "de=Deutsch", "en=English", "pl=Polski"}));
    // Listing reads nothing into the tables.
    EXPECT_TRUE(lm.ActiveFiles().isEmpty());
    EXPECT_EQ(lm.LanguageCode(), "");
}

TEST_F(LanguageManagerFolder,
       AFileWithoutALanguageNameLoadsButIsOfferedOnlyWhenAnotherNamesTheCode) {
    Write("Trabex.cs.lng", "[constants]\nx=1\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(events, 1);
    EXPECT_EQ(lm.LanguageName(), "");
    EXPECT_EQ(lm.GetConstant("x", ""), "1");
    QStringList list;
    ASSERT_TRUE(lm.GetAvailableLanguages(list));
    EXPECT_TRUE(list.isEmpty());

    Write("Trabex.cs.lngu", "[precision language file]\nlanguagename=Čeština\n");
    ASSERT_TRUE(lm.GetAvailableLanguages(list));
    EXPECT_EQ(list, QStringList({"cs=Čeština"}));
}

struct TClearCase {
    bool Constants, Properties, Messages;
};

void PrintTo(const TClearCase& c, std::ostream* os) {
    *os << "constants " << c.Constants << ", properties " << c.Properties << ", messages "
        << c.Messages;
}

class ClearTranslations : public testing::TestWithParam<TClearCase> {};

TEST_P(ClearTranslations, EmptiesTheFlaggedTablesAndAlwaysAtConstantsAndActiveFiles) {
    TLangFolder folder;
    folder.Write("A.cs.lng", CzechFile);
    TCountingManager m(folder.Path());
    m.manager.SetLanguageCode("cs");
    const TLanguageManager& lm = m.manager;
    ASSERT_TRUE(lm.Constants().Count() > 0 && lm.Properties().Count() > 0 &&
                !lm.MessageSources().isEmpty() && lm.AtConstants().Count() > 0);
    const auto [c, p, msg] = GetParam();
    m.manager.ClearTranslations(c, p, msg);
    EXPECT_EQ(lm.Constants().Count() == 0, c);
    EXPECT_EQ(lm.Properties().Count() == 0, p);
    EXPECT_EQ(lm.MessageSources().isEmpty(), msg);
    EXPECT_EQ(lm.MessageTranslations().isEmpty(), msg);
    EXPECT_EQ(lm.AtConstants().Count(), 0);
    EXPECT_TRUE(lm.ActiveFiles().isEmpty());
    EXPECT_EQ(lm.LanguageCode(), "cs");
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ClearTranslations,
    testing::Values(TClearCase{false, false, false}, TClearCase{true, false, false},
                    TClearCase{false, true, false}, TClearCase{false, false, true},
                    TClearCase{true, true, false}, TClearCase{true, false, true},
                    TClearCase{false, true, true}, TClearCase{true, true, true}));

// After the messages were cleared, replace mode must not find the sources that are gone.
TEST_F(LanguageManagerFolder, ClearedMessagesAreNotReplacedLater) {
    Write("A.cs.lng", "[messages]\nold\nstará\n");
    lm.SetLanguageCode("cs");
    lm.ClearTranslations(false, false, true);
    const QString over = Write("B.cs.lngu", "[messages]\nold\nnová\n");
    QString name, error;
    ASSERT_TRUE(lm.LoadLanguageFile(over, name, error));
    EXPECT_EQ(lm.MessageSources(), QStringList({"old"}));
    EXPECT_EQ(lm.MessageTranslations(), QStringList({"nová"}));
}

TEST_F(LanguageManagerFolder, ReadsWindows1250AndUtf8FilesAlike) {
    const QByteArray cp1250 = "[precision language file]\r\nlanguagename=\xC8"
                              "e\x9Atina\r\n[constants]\r\n"
                              "str_PocetPrutu=Po\xE8"
                              "et prut\xF9\r\nstr_Stycnik=Sty\xE8n\xEDk\r\n"
                              "str_Uhel=\xDAhel\r\nstr_Solution=\xD8"
                              "e\x9A"
                              "en\xED\r\n"
                              "small=\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9\xFA\r\n"
                              "capitals=\xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xD9\xDA\r\n";
    Write("Win.cs.lng", cp1250);
    Write("Utf.de.lng", "\xEF\xBB\xBF[precision language file]\nlanguagename=Čeština\n"
                        "[constants]\nstr_PocetPrutu=Počet prutů\nstr_Stycnik=Styčník\n"
                        "str_Uhel=Úhel\nstr_Solution=Řešení\nsmall=ěščřžýáíéůú\n"
                        "capitals=ĚŠČŘŽÝÁÍÉŮÚ\n");
    for (const char* code : {"cs", "de"}) {
        lm.SetLanguageCode(code);
        EXPECT_EQ(lm.LastError(), "") << code;
        EXPECT_EQ(lm.LanguageName(), "Čeština") << code;
        EXPECT_EQ(lm.GetConstant("str_PocetPrutu", ""), "Počet prutů") << code;
        EXPECT_EQ(lm.GetConstant("str_Stycnik", ""), "Styčník") << code;
        EXPECT_EQ(lm.GetConstant("str_Uhel", ""), "Úhel") << code;
        EXPECT_EQ(lm.GetConstant("str_Solution", ""), "Řešení") << code;
        EXPECT_EQ(lm.GetConstant("small", ""), "ěščřžýáíéůú") << code;
        EXPECT_EQ(lm.GetConstant("capitals", ""), "ĚŠČŘŽÝÁÍÉŮÚ") << code;
    }
}

TEST_F(LanguageManagerFolder, UpperCasesNonAsciiKeysAndFindsThemInAnyCase) {
    Write("A.cs.lng", "[constants]\núhel=angle\n[TFormČ]\nŘádek.Caption=x\n");
    lm.SetLanguageCode("cs");
    EXPECT_EQ(Keys(lm.Constants()), QStringList({"ÚHEL"}));
    EXPECT_EQ(lm.GetConstant("ÚHEL", ""), "angle");
    EXPECT_EQ(Keys(lm.Properties()), QStringList({"TFORMČ.ŘÁDEK.CAPTION"}));
    EXPECT_EQ(lm.GetConstant("tformč.řádek.caption", ""), "x");
}

// Large files of many keys in both modes load in n log n, far below the test's time limit.
TEST_F(LanguageManagerFolder, LoadsLargeFilesInBothModes) {
    constexpr int KeyCount = 100000;
    QByteArray a = "[constants]\n", b = "[constants]\n", u = "[constants]\n";
    QByteArray messages = "[messages]\n", overrides = "[messages]\n";
    for (int i = 0; i < KeyCount; ++i) {
        const QByteArray n = QByteArray::number(i);
        a += "k" + n + "=a" + n + "\n";
        b += "K" + n + "=b" + n + "\n";
        u += "k" + QByteArray::number(i + KeyCount / 2) + "=u" +
             QByteArray::number(i + KeyCount / 2) + "\n";
        messages += "source " + n + "\ntranslation " + n + "\n";
        overrides += "SOURCE " + QByteArray::number(i + KeyCount / 2) + "\nnew\n";
    }
    Write("A.cs.lng", a + messages);
    Write("B.cs.lng", b);
    Write("C.cs.lngu", u + overrides);
    lm.SetLanguageCode("cs");
    ASSERT_EQ(lm.LastError(), "");
    EXPECT_EQ(lm.Constants().Count(), 2 * KeyCount + KeyCount / 2);
    EXPECT_EQ(lm.GetConstant("k0", ""), "a0");
    EXPECT_EQ(lm.GetConstant("k60000", ""), "u60000");
    EXPECT_EQ(lm.GetConstant("k120000", ""), "u120000");
    EXPECT_EQ(lm.MessageSources().size(), KeyCount + KeyCount / 2);
    EXPECT_EQ(lm.MessageTranslations()[KeyCount / 2], "new");
    EXPECT_EQ(lm.MessageTranslations()[KeyCount / 2 - 1], "translation 49999");
}

} // namespace
