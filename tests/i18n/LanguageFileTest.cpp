// Tests of the language file reader: UTF-8 and Windows-1250 decoding, trimming, the section
// parser with hostile input, escapes and the reading of files.
#include "LanguageFile.h"
#include "LangFolder.h"
#include "plsLangMan.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <iconv.h>
#include <random>
#include <string>
#include <sys/stat.h>

using namespace std::string_literals;

namespace {

QByteArray Bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

// ---- UTF-8 validity ----

struct TUtf8Case {
    std::string Bytes;
    bool Valid;
    const char* What;
};

void PrintTo(const TUtf8Case& c, std::ostream* os) {
    *os << c.What;
}

class Utf8Validity : public testing::TestWithParam<TUtf8Case> {};

TEST_P(Utf8Validity, FollowsTheWellFormedRanges) {
    EXPECT_EQ(IsValidUtf8(Bytes(GetParam().Bytes)), GetParam().Valid) << GetParam().What;
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Utf8Validity,
    testing::Values(TUtf8Case{""s, true, "empty"}, TUtf8Case{"Trabex"s, true, "ASCII"},
                    TUtf8Case{"a\0b"s, true, "NUL is a character"},
                    TUtf8Case{"\xC5\x99"s, true, "r with caron"},
                    TUtf8Case{"\xE2\x82\xAC"s, true, "euro sign"},
                    TUtf8Case{"\xF0\x9F\x98\x80"s, true, "four bytes"},
                    TUtf8Case{"\xED\x9F\xBF"s, true, "U+D7FF below the surrogates"},
                    TUtf8Case{"\xEF\xBF\xBF"s, true, "U+FFFF"},
                    TUtf8Case{"\xF4\x8F\xBF\xBF"s, true, "U+10FFFF"},
                    TUtf8Case{"\xC0\x80"s, false, "overlong NUL"},
                    TUtf8Case{"\xC1\xBF"s, false, "overlong two bytes"},
                    TUtf8Case{"\xE0\x80\xAF"s, false, "overlong three bytes"},
                    TUtf8Case{"\xF0\x8F\xBF\xBF"s, false, "overlong four bytes"},
                    TUtf8Case{"\xED\xA0\x80"s, false, "surrogate"},
                    TUtf8Case{"\xF4\x90\x80\x80"s, false, "beyond U+10FFFF"},
                    TUtf8Case{"\xF5\x80\x80\x80"s, false, "lead byte F5"},
                    TUtf8Case{"\xFF"s, false, "byte FF"},
                    TUtf8Case{"\x80"s, false, "lone continuation"},
                    TUtf8Case{"ab\xC5"s, false, "truncated at the end"},
                    TUtf8Case{"\xE2\x82"s, false, "truncated three bytes"},
                    TUtf8Case{"\xF0\x9F\x98"s, false, "truncated four bytes"},
                    TUtf8Case{"\xE2\x28\xA1"s, false, "bad continuation"},
                    TUtf8Case{"\xF0\x9F\x28\x80"s, false, "bad third byte"},
                    TUtf8Case{"Po\xE8"
                              "et"s,
                              false, "Windows-1250 text"}));

// ---- Windows-1250 ----

// The decoder against the system's iconv converter for every byte above ASCII; the five bytes the
// code page leaves undefined, which iconv refuses, become U+FFFD.
TEST(Windows1250, EveryHighByteAsTheSystemConverterDecodesIt) {
    const iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        GTEST_SKIP() << "the system has no CP1250 converter";
    int undefined = 0;
    for (int b = 0x80; b <= 0xFF; ++b) {
        char in[1] = {static_cast<char>(b)};
        char out[8] = {};
        char* inPtr = in;
        char* outPtr = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const bool converted = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != std::size_t(-1);
        const QString expected =
            converted ? QString::fromUtf8(out, outPtr - out) : QString(QChar(0xFFFD));
        undefined += converted ? 0 : 1;
        EXPECT_EQ(DecodeWindows1250(QByteArray(in, 1)), expected) << "byte " << std::hex << b;
    }
    iconv_close(cd);
    EXPECT_EQ(undefined, 5);
}

TEST(Windows1250, UndefinedBytesBecomeTheReplacementMark) {
    for (const char b : {'\x81', '\x83', '\x88', '\x90', '\x98'})
        EXPECT_EQ(DecodeWindows1250(QByteArray(1, b)), QString(QChar(0xFFFD)));
    EXPECT_EQ(DecodeWindows1250(Bytes("a\0z\x7F"s)), QString::fromUtf16(u"a\0z\x7F", 4));
}

// ---- Choice of the encoding ----

struct TDecodeCase {
    std::string Bytes;
    const char16_t* Text;
    const char* What;
};

void PrintTo(const TDecodeCase& c, std::ostream* os) {
    *os << c.What;
}

class FileDecoding : public testing::TestWithParam<TDecodeCase> {};

TEST_P(FileDecoding, ReadsUtf8OrElseWindows1250) {
    EXPECT_EQ(DecodeLanguageBytes(Bytes(GetParam().Bytes)), QString::fromUtf16(GetParam().Text))
        << GetParam().What;
}

INSTANTIATE_TEST_SUITE_P(
    CzechTexts, FileDecoding,
    testing::Values(
        TDecodeCase{"Po\xE8"
                    "et prut\xF9"s,
                    u"Počet prutů", "Windows-1250"},
        TDecodeCase{"Sty\xE8n\xEDk"s, u"Styčník", "Windows-1250"},
        TDecodeCase{"\xDAhel"s, u"Úhel", "Windows-1250"},
        TDecodeCase{"\xD8"
                    "e\x9A"
                    "en\xED"s,
                    u"Řešení", "Windows-1250"},
        TDecodeCase{"\xEC\x9A\xE8\xF8\x9E\xFD\xE1\xED\xE9\xF9\xFA"s, u"ěščřžýáíéůú",
                    "Windows-1250 small letters"},
        TDecodeCase{"\xCC\x8A\xC8\xD8\x8E\xDD\xC1\xCD\xC9\xD9\xDA"s, u"ĚŠČŘŽÝÁÍÉŮÚ",
                    "Windows-1250 capitals"},
        TDecodeCase{"\x8D\xCF\xD2\x9D\xEF\xF2"s, u"ŤĎŇťďň", "Windows-1250"},
        TDecodeCase{"\x84\xC8"
                    "e\x9Atina\x93 \x96 \x80"s,
                    u"„Čeština“ – €", "Windows-1250 punctuation"},
        TDecodeCase{"Po\xC4\x8D"
                    "et prut\xC5\xAF"s,
                    u"Počet prutů", "UTF-8"},
        TDecodeCase{"\xC4\x9B\xC5\xA1\xC4\x8D\xC5\x99\xC5\xBE\xC3\xBD\xC3\xA1\xC3\xAD\xC3\xA9"
                    "\xC5\xAF\xC3\xBA"s,
                    u"ěščřžýáíéůú", "UTF-8"},
        TDecodeCase{"\xEF\xBB\xBF\xC3\x9Ahel"s, u"Úhel", "UTF-8 after a byte order mark"},
        TDecodeCase{"\xEF\xBB\xBF\xDAhel"s, u"Úhel", "Windows-1250 after a byte order mark"},
        TDecodeCase{"\xEF\xBB\xBF"s, u"", "only a byte order mark"},
        TDecodeCase{"a\xEF\xBB\xBF"s, u"a\uFEFF", "a byte order mark later is a character"},
        // Windows-1250 bytes that happen to form valid UTF-8 are read as UTF-8.
        TDecodeCase{"\xC3\xA9"s, u"é", "valid UTF-8 wins"}));

// ---- Trimming and escapes ----

TEST(TrimLine, RemovesSpacesAndControlCharactersOnly) {
    const struct {
        const char16_t* In;
        const char16_t* Out;
    } cases[] = {
        {u" \t a  b \r\x01", u"a  b"},        {u"\x7F x \x85\x9F", u"x"}, {u"   ", u""},
        {u"\u00A0x\u00A0", u"\u00A0x\u00A0"}, {u"\u3000x", u"\u3000x"},   {u"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrimLine(QString::fromUtf16(c.In)).toString(), QString::fromUtf16(c.Out));
    const QString nuls = QString::fromUtf16(u"\0a\0b\0", 5);
    EXPECT_EQ(TrimLine(nuls).toString(), QString::fromUtf16(u"a\0b", 3));
}

TEST(ExpandEscapes, TurnsBackslashNIntoCrLfAndBackslashTIntoTab) {
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"", ""},
        {"a\\nb", "a\r\nb"},
        {"a\\\\nb", "a\\\r\nb"}, // a, backslash, backslash, n, b -> a, backslash, CR LF, b
        {"\\t", "\t"},
        {"x\\ty\\nz", "x\ty\r\nz"},
        {"\\n\\n", "\r\n\r\n"},
        {"\\\\t", "\\\t"},
        {"\\N\\T\\r\\x\\", "\\N\\T\\r\\x\\"}, // no other escape, and none in capitals
        {"%s\\n%f", "%s\r\n%f"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExpandEscapes(c.In), QString(c.Out)) << c.In;
    EXPECT_EQ(ExpandEscapes("a\\\\nb").size(), 5);
}

// ---- The section parser ----

QStringList Names(const TLanguageText& text) {
    QStringList names;
    for (const TLanguageSection& s : text.Sections)
        names.append(s.Name);
    return names;
}

TEST(ParseLanguageLines, KeepsTheFirstOccurrenceOfEachSectionAndNormalisesKeyValueLines) {
    const TLanguageText text =
        ParseLanguageLines(QStringLiteral("; a comment before everything\r\n"
                                          "ignored=before the first section\r\n"
                                          "  [ Header ]  \r\n"
                                          "  key  =  value with  inner  spaces  \r\n"
                                          "line without equals\r\n"
                                          ";comment\r\n"
                                          "   ; indented comment\r\n"
                                          "\r\n"
                                          "a==b\r\n"
                                          "=novalue\r\n"
                                          "q = \"quoted\" \r\n"
                                          "[constants]\r\n"
                                          "x=1\r\n"
                                          "[HEADER]\r\n"
                                          "dup=ignored with its section\r\n"
                                          "[other]\r\n"
                                          "y = 2\r\n"
                                          "[Constants]\r\n"
                                          "z=3\r\n"));
    ASSERT_EQ(Names(text), QStringList({"Header", "constants", "other"}));
    EXPECT_EQ(text.Sections[0].Lines,
              QStringList({"key=value with  inner  spaces", "line without equals", "a==b",
                           "=novalue", "q=\"quoted\""}));
    EXPECT_EQ(text.Sections[1].Lines, QStringList({"x=1"}));
    EXPECT_EQ(text.Sections[2].Lines, QStringList({"y=2"}));
    EXPECT_EQ(text.Find("HEADER"), &text.Sections[0]);
    EXPECT_EQ(text.Find("Constants"), &text.Sections[1]);
    EXPECT_EQ(text.Find("missing"), nullptr);
}

TEST(ParseLanguageLines, AcceptsEveryLineEnding) {
    const QStringList expected{"a=1", "b=2", "c=3"};
    for (const char* text :
         {"[s]\r\na=1\r\nb=2\r\nc=3", "[s]\na=1\nb=2\nc=3\n", "[s]\ra=1\rb=2\rc=3\r",
          "[s]\r\na=1\nb=2\rc=3", "[s]\r\r\na=1\n\n\rb=2\r\n\r\nc=3"}) {
        const TLanguageText parsed = ParseLanguageLines(QString::fromLatin1(text));
        ASSERT_EQ(parsed.Sections.size(), 1) << text;
        EXPECT_EQ(parsed.Sections[0].Lines, expected) << text;
    }
}

TEST(ParseLanguageLines, TakesOnlyWholeBracketLinesAsSectionHeads) {
    const TLanguageText text = ParseLanguageLines(
        QStringLiteral("[s]\n[abc\nabc]\n[\n]\n[a]b\n[[x]]\ninner=1\n[]\nempty=1\n[ ]\nagain=1\n"));
    ASSERT_EQ(Names(text), QStringList({"s", "[x]", ""}));
    EXPECT_EQ(text.Sections[0].Lines, QStringList({"[abc", "abc]", "[", "]", "[a]b"}));
    EXPECT_EQ(text.Sections[1].Lines, QStringList({"inner=1"}));
    EXPECT_EQ(text.Sections[2].Lines, QStringList({"empty=1"}));
}

TEST(ParseLanguageLines, KeepsNulCharactersInsideAndTrimsThemAtTheEnds) {
    const QByteArray bytes = Bytes("[s]\n\0\0k\0=\0v\0w\0\0\n\0"s);
    TLanguageText text;
    QString error;
    ASSERT_TRUE(ParseLanguageText(bytes, text, error));
    ASSERT_EQ(text.Sections.size(), 1);
    EXPECT_EQ(text.Sections[0].Lines, QStringList({QString::fromUtf16(u"k=v\0w", 5)}));
}

TEST(ParseLanguageLines, KeepsAVeryLongLineWhole) {
    constexpr qsizetype LongValue = 4 * 1024 * 1024;
    const QByteArray bytes = "[constants]\nlong=" + QByteArray(LongValue, 'x') + "\nnext=1\n";
    TLanguageText text;
    QString error;
    ASSERT_TRUE(ParseLanguageText(bytes, text, error));
    ASSERT_EQ(text.Sections.size(), 1);
    ASSERT_EQ(text.Sections[0].Lines.size(), 2);
    EXPECT_EQ(text.Sections[0].Value("LONG").size(), LongValue);
    EXPECT_EQ(text.Sections[0].Value("next"), "1");
}

TEST(ParseLanguageText, RefusesTextBeyondTheSizeLimit) {
    QByteArray bytes(MaxLanguageFileSize, 'a');
    TLanguageText text;
    QString error;
    EXPECT_TRUE(ParseLanguageText(bytes, text, error));
    EXPECT_TRUE(error.isEmpty());
    bytes.append('a');
    EXPECT_FALSE(ParseLanguageText(bytes, text, error));
    EXPECT_TRUE(error.contains(QString::number(MaxLanguageFileSize))) << error.toStdString();
}

// Writes a parsed text back in the file format.
QString Render(const TLanguageText& text) {
    QString out;
    for (const TLanguageSection& s : text.Sections)
        out += u'[' + s.Name + QStringLiteral("]\r\n") + s.Lines.join(QStringLiteral("\r\n")) +
               QStringLiteral("\r\n");
    return out;
}

bool SameText(const TLanguageText& a, const TLanguageText& b) {
    if (a.Sections.size() != b.Sections.size())
        return false;
    for (qsizetype i = 0; i < a.Sections.size(); ++i)
        if (a.Sections[i].Name != b.Sections[i].Name || a.Sections[i].Lines != b.Sections[i].Lines)
            return false;
    return true;
}

// Random texts made of the characters that matter to the parser and bytes that break UTF-8:
// the result always keeps the rules, and reading it back written out gives the same result.
TEST(ParseLanguageText, RandomInputKeepsTheRulesAndReadsBackTheSame) {
    constexpr int Inputs = 3000;
    constexpr int MaxLength = 200;
    const std::string alphabet = "[]=; \t\r\n\0aAbB\\nt\x7F\xC3\xA9\xC5\x99\xE8\xFF\x81"s;
    std::mt19937 random(20240611);
    for (int n = 0; n < Inputs; ++n) {
        std::string input;
        const int length = static_cast<int>(random() % MaxLength);
        for (int i = 0; i < length; ++i)
            input += alphabet[random() % alphabet.size()];
        TLanguageText text;
        QString error;
        ASSERT_TRUE(ParseLanguageText(Bytes(input), text, error));

        QStringList seen;
        for (const TLanguageSection& s : text.Sections) {
            ASSERT_FALSE(seen.contains(s.Name, Qt::CaseInsensitive)) << n;
            seen.append(s.Name);
            ASSERT_EQ(TrimLine(s.Name), QStringView(s.Name)) << n;
            for (const QString& line : s.Lines) {
                ASSERT_FALSE(line.isEmpty()) << n;
                ASSERT_EQ(TrimLine(line), QStringView(line)) << n;
                ASSERT_NE(line.front(), u';') << n;
                ASSERT_FALSE(line.contains(u'\r') || line.contains(u'\n')) << n;
                ASSERT_FALSE(line.size() >= 2 && line.front() == u'[' && line.back() == u']') << n;
                if (line.contains(u'=')) {
                    ASSERT_EQ(TrimLine(LineKey(line)), QStringView(LineKey(line))) << n;
                    ASSERT_EQ(TrimLine(LineValue(line)), QStringView(LineValue(line))) << n;
                }
            }
        }
        ASSERT_TRUE(SameText(ParseLanguageLines(Render(text)), text)) << n;
    }
}

TEST(LanguageSection, ValueIsThatOfTheFirstLineOfTheKeyInAnyCase) {
    const TLanguageSection section{"s", {"plain line", "Name=first", "NAME=second", "=x", "e="}};
    EXPECT_EQ(section.Value("name"), "first");
    EXPECT_EQ(section.Value("e"), "");
    EXPECT_EQ(section.Value("plain line"), "");
    EXPECT_EQ(section.Value(""), "x");
    EXPECT_EQ(section.Value("missing"), "");
    EXPECT_EQ(LineKey("plain line"), "");
    EXPECT_EQ(LineValue("plain line"), "");
    EXPECT_EQ(LineKey("a==b"), "a");
    EXPECT_EQ(LineValue("a==b"), "=b");
}

TEST(RightToLeftFlag, IsANonZeroDecimalOrHexadecimalNumber) {
    const struct {
        const char* Value;
        bool Rtl;
    } cases[] = {
        {"1", true},
        {"0", false},
        {"", false},
        {"00", false},
        {"-1", true},
        {"0x10", true},
        {"0X1f", true},
        {"0x0", false},
        {"0x", false},
        {"abc", false},
        {"12abc", false},
        {"0x1g", false},
        {"99999999999999999999", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RightToLeftFlag(c.Value), c.Rtl) << c.Value;
}

// ---- Reading files ----

TEST(ReadLanguageFile, ReportsThePathAndTheReasonOfEveryFailure) {
    TLangFolder folder;
    TLanguageText text;
    QString error;

    const QString missing = folder.File("missing.cs.lng");
    EXPECT_FALSE(ReadLanguageFile(missing, text, error));
    EXPECT_TRUE(error.contains(missing) && error.contains("does not exist")) << error.toStdString();

    const QString dir = folder.File("dir.cs.lng");
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_FALSE(ReadLanguageFile(dir, text, error));
    EXPECT_TRUE(error.contains(dir) && error.contains("not a regular file")) << error.toStdString();

    // A FIFO would block an open for reading until a writer comes; it is refused unopened.
    const QString fifo = folder.File("fifo.cs.lng");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    EXPECT_FALSE(ReadLanguageFile(fifo, text, error));
    EXPECT_TRUE(error.contains(fifo) && error.contains("not a regular file"))
        << error.toStdString();

    const QString large = folder.Write("large.cs.lng", "[constants]\n");
    ASSERT_TRUE(QFile::resize(large, MaxLanguageFileSize + 1));
    EXPECT_FALSE(ReadLanguageFile(large, text, error));
    EXPECT_TRUE(error.contains(large) && error.contains(QString::number(MaxLanguageFileSize)))
        << error.toStdString();

    const QString good = folder.Write("good.cs.lng", "[constants]\nx=1\n");
    error.clear();
    ASSERT_TRUE(ReadLanguageFile(good, text, error));
    EXPECT_TRUE(error.isEmpty());
    ASSERT_NE(text.Find("constants"), nullptr);
    EXPECT_EQ(text.Find("constants")->Value("x"), "1");
}

// The reader takes a file in parts of about its size; a file of many parts and one of exactly the
// largest size are read to their last line.
TEST(LanguageFileReader, ReadsLargeFilesToTheirEnd) {
    TLangFolder folder;
    TLanguageText text;
    QString error;
    QByteArray many = "[constants]\n";
    for (int i = 0; many.size() < 5 * 64 * 1024; ++i)
        many += "key" + QByteArray::number(i) + "=text of entry " + QByteArray::number(i) + "\n";
    many += "last=end";
    ASSERT_TRUE(ReadLanguageFile(folder.Write("many.cs.lng", many), text, error))
        << error.toStdString();
    ASSERT_NE(text.Find("constants"), nullptr);
    EXPECT_EQ(text.Find("constants")->Value("last"), "end");

    QByteArray largest = "[constants]\nfirst=1\n";
    largest += QByteArray(MaxLanguageFileSize - largest.size() - 9, ' ') + "\nlast=end";
    ASSERT_EQ(largest.size(), MaxLanguageFileSize);
    ASSERT_TRUE(ReadLanguageFile(folder.Write("largest.cs.lng", largest), text, error))
        << error.toStdString();
    ASSERT_NE(text.Find("constants"), nullptr);
    EXPECT_EQ(text.Find("constants")->Value("last"), "end");
}

} // namespace
