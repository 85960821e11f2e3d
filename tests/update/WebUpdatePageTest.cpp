// Tests of the update component's network-free parts: page lines and tags, version comparison,
// addresses, file names, the request URL, the properties and the information window's layout.
#include "mxWebUpdate.h"
#include "mxWebUpdateHttp.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList list;
    for (const char* line : lines)
        list.append(QString::fromUtf8(line));
    return list;
}

TmxPageValues Parse(std::initializer_list<const char*> lines) {
    return mxParseInfo(Lines(lines), TmxTagInfo());
}

TEST(WebUpdatePage, LinesEndWithCrLfLfOrCr) {
    EXPECT_EQ(mxSplitLines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(mxSplitLines("a\n\rb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(mxSplitLines("a\r\n\r\nb\r\n"), QStringList({"a", "", "b"}));
    EXPECT_EQ(mxSplitLines("last line"), QStringList({"last line"}));
    EXPECT_EQ(mxSplitLines("\r"), QStringList({""}));
    EXPECT_TRUE(mxSplitLines("").isEmpty());
}

TEST(WebUpdatePage, DecodingLeavesNoNulAndMarksBrokenBytes) {
    const QString text = mxDecodePage(QByteArray("mx\0Version \xC3\xA9 \xFF!", 16));
    EXPECT_FALSE(text.contains(QChar(0)));
    EXPECT_EQ(text, QString::fromUtf8("mx\uFFFDVersion \u00E9 \uFFFD!"));
}

TEST(WebUpdatePage, ReadsEveryTagOfTheDefaultNames) {
    const TmxPageValues values = Parse({
        R"(<META NAME="mxAuthor" CONTENT="Jan Novák">)",
        R"(<META NAME="mxEmail" CONTENT="jan@example.org">)",
        R"(<META NAME="mxClientSideName" CONTENT="TrabexSetup.sh">)",
        R"(<META NAME="mxDownload" CONTENT="http://example.org/TrabexSetup.sh">)",
        R"(<META NAME="mxProduct" CONTENT="Trabex">)",
        R"(<META NAME="mxRedirection" CONTENT="/other.htm">)",
        R"(<META NAME="mxRunParameters" CONTENT="--quiet 'C:\x y'">)",
        R"(<META NAME="mxVersion" CONTENT="2.1.0.90">)",
    });
    EXPECT_EQ(values.Author, QString::fromUtf8("Jan Novák"));
    EXPECT_EQ(values.Email, "jan@example.org");
    EXPECT_EQ(values.ClientFileName, "TrabexSetup.sh");
    EXPECT_EQ(values.Download, "http://example.org/TrabexSetup.sh");
    EXPECT_EQ(values.ProductName, "Trabex");
    EXPECT_EQ(values.Redirection, "/other.htm");
    EXPECT_EQ(values.RunParameters, "--quiet 'C:\\x y'");
    EXPECT_EQ(values.Version, "2.1.0.90");
}

TEST(WebUpdatePage, ContentIsFoundInAnyCaseButMetaNameOnlyInUpperCase) {
    EXPECT_EQ(Parse({R"(<meta><META NAME="mxVersion" content="2.0">)"}).Version, "2.0");
    EXPECT_EQ(Parse({R"(<META NAME="mxVersion" CoNtEnT="MiXeD Case">)"}).Version, "MiXeD Case");
    EXPECT_EQ(Parse({R"(<meta name="mxVersion" CONTENT="2.0">)"}), TmxPageValues());
    EXPECT_EQ(Parse({R"(<Meta Name="mxVersion" CONTENT="2.0">)"}), TmxPageValues());
}

TEST(WebUpdatePage, FirstTagOfALineAndLastLineOfANameWin) {
    const TmxPageValues values = Parse({
        R"(<META NAME="mxVersion" CONTENT="1.0"><META NAME="mxProduct" CONTENT="Other">)",
        R"(<META NAME="mxProduct" CONTENT="Trabex">)",
        R"(<META NAME="mxVersion" CONTENT="3.0">)",
    });
    EXPECT_EQ(values.Version, "3.0");
    EXPECT_EQ(values.ProductName, "Trabex");
}

TEST(WebUpdatePage, UnknownNamesAndOtherLinesAreIgnored) {
    const TmxPageValues values = Parse({
        R"(<html><head><title>Trabex META</title>)",
        R"(<META NAME="generator" CONTENT="editor">)",
        R"(<META NAME="mxversion" CONTENT="9.9">)",
        R"(<META NAME="mxVersion" CONTENT="2.1">)",
    });
    TmxPageValues expected;
    expected.Version = "2.1";
    EXPECT_EQ(values, expected);
}

TEST(WebUpdatePage, TagNamesComeFromTagInfo) {
    TmxTagInfo tags;
    tags.Version = "ver";
    tags.ProductName = "prod";
    const TmxPageValues values =
        mxParseInfo(Lines({R"(<META NAME="ver" CONTENT="5">)", R"(<META NAME="prod" CONTENT="T">)",
                           R"(<META NAME="mxVersion" CONTENT="6">)"}),
                    tags);
    EXPECT_EQ(values.Version, "5");
    EXPECT_EQ(values.ProductName, "T");
}

TEST(WebUpdatePage, AnEmptyOrUnreadableNameFillsNothing) {
    TmxTagInfo tags;
    tags.Author.clear();
    const QStringList lines = Lines({
        R"(<META NAME="" CONTENT="empty name">)",
        R"(<META NAME="mxAuthor CONTENT="no closing quote of the name>)",
        R"(<META NAME=)",
        "META NAME",
    });
    EXPECT_EQ(mxParseInfo(lines, tags), TmxPageValues());
}

TEST(WebUpdatePage, FieldsEndAtAQuoteWithin255Characters) {
    const std::string fits(254, 'v');
    const std::string tooLong(255, 'v');
    const std::string line1 = R"(<META NAME="mxVersion" CONTENT=")" + fits + R"(">)";
    const std::string line2 = R"(<META NAME="mxProduct" CONTENT=")" + tooLong + R"(">)";
    const std::string name(255, 'n');
    const std::string line3 = R"(<META NAME=")" + name + R"(" CONTENT="x">)";
    const TmxPageValues values = Parse({line1.c_str(), line2.c_str(), line3.c_str()});
    EXPECT_EQ(values.Version.toStdString(), fits);
    EXPECT_EQ(values.ProductName, "");
    // A line whose value lacks its closing quote, then one whose quote comes too late.
    EXPECT_EQ(Parse({R"(<META NAME="mxVersion" CONTENT="2.0)"}).Version, "");
    TmxTagInfo longName;
    longName.Author = QString::fromStdString(std::string(254, 'n'));
    const std::string line4 = R"(<META NAME=")" + std::string(254, 'n') + R"(" CONTENT="a">)";
    EXPECT_EQ(mxParseInfo(Lines({line4.c_str()}), longName).Author, "a");
}

TEST(WebUpdatePage, WithoutContentTheValueStartsAtTheNinthCharacter) {
    // Characters 1 to 8 are "12345678"; the value runs from the ninth to the next quote.
    EXPECT_EQ(Parse({R"(12345678abc META NAME="mxVersion" VALUE="2.0">)"}).Version,
              "abc META NAME=");
    EXPECT_EQ(Parse({R"(<META NAME="mxVersion">)"}).Version, "ME=");
}

TEST(WebUpdatePage, HostileLinesAreReadWithoutHarm) {
    QString withNul = R"(<META NAME="mxVersion" CONTENT="2.)";
    withNul += QChar(0);
    withNul += R"(1">)";
    EXPECT_EQ(mxParseInfo({withNul}, TmxTagInfo()).Version, QString("2.") + QChar(0) + "1");
    const QString huge = QString(R"(<META NAME="mxVersion" CONTENT=")") + QString(1 << 20, 'x');
    EXPECT_EQ(mxParseInfo({huge}, TmxTagInfo()).Version, "");
    EXPECT_EQ(Parse({"META NAMEMETA NAME\"\"\"\"CONTENT=CONTENT=\"\""}), TmxPageValues());
    EXPECT_EQ(Parse({R"(CONTENT="x" <META NAME="mxVersion" CONTENT="2">)"}).Version, "x");
}

// A publisher starts from the shipped page; read as the program reads it, it must name the
// update and send no client elsewhere, commented lines included.
TEST(WebUpdatePage, TheShippedTemplateNamesTheUpdateAndRedirectsNowhere) {
    QFile file(QStringLiteral(TRABEX_UPDATE_SERVER_DIR "/TrabexUpdateInfo.htm"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const TmxPageValues values =
        mxParseInfo(mxSplitLines(mxDecodePage(file.readAll())), TmxTagInfo());
    EXPECT_EQ(values.ProductName, "Trabex");
    EXPECT_EQ(values.Version, "2.1.0.89");
    EXPECT_EQ(values.Download, "/files/trabex-setup.sh");
    EXPECT_EQ(values.ClientFileName, "trabex-setup.sh");
    EXPECT_EQ(values.Redirection, "");
    EXPECT_FALSE(values.Signature.isEmpty()) << "the place for the signature line";
}

TEST(WebUpdatePage, TheSignatureTagIsReadAndItsNameComesFromTagInfo) {
    EXPECT_EQ(Parse({R"(<META NAME="mxSignature" CONTENT="c2lnbmF0dXJl+/==">)"}).Signature,
              "c2lnbmF0dXJl+/==");
    TmxTagInfo tags;
    tags.Signature = "sig";
    EXPECT_EQ(mxParseInfo(Lines({R"(<META NAME="sig" CONTENT="x">)",
                                 R"(<META NAME="mxSignature" CONTENT="y">)"}),
                          tags)
                  .Signature,
              "x");
}

TEST(WebUpdateVersion, StandardComparesComponentsFromTheLeft) {
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2.1.0.88", "2.1.0.90"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1.0.88", "2.1.0.88"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1.0.88", "2.0.9.99"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2.1.0.88", "3"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2.9", "2.10"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.10", "2.9"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "02.001", "2.1"));
}

TEST(WebUpdateVersion, StandardTreatsMissingComponentsAsZero) {
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1", "2.1.0.0"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1.0.0", "2.1"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2.1", "2.1.0.1"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1.0.1", "2.1"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "", "0.0.1"));
}

TEST(WebUpdateVersion, StandardCountsNonNumbersAsZeroAndNeverOverflows) {
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.1", "2.1beta"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2.beta", "2.1"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "2.0", "2.-1"));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "2. 1", "2.2 "));
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, "1.99999999999999999999", "1.100000000000000000000"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "1.100000000000000000000", "1.99999999999999999999"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, "...", ""));
    const QString many = QString("1.").repeated(100000) + "1";
    EXPECT_TRUE(mxIsNewerVersion(vfStandard, many, many + ".1"));
    EXPECT_FALSE(mxIsNewerVersion(vfStandard, many, many));
}

TEST(WebUpdateVersion, StringComparesCharacterCodes) {
    EXPECT_TRUE(mxIsNewerVersion(vfString, "2.1.0.88", "2.1.0.9"));
    EXPECT_FALSE(mxIsNewerVersion(vfString, "2.1.0.9", "2.1.0.88"));
    EXPECT_FALSE(mxIsNewerVersion(vfString, "b", "B"));
    EXPECT_TRUE(mxIsNewerVersion(vfString, "B", "b"));
    EXPECT_FALSE(mxIsNewerVersion(vfString, "abc", "abc"));
    EXPECT_TRUE(mxIsNewerVersion(vfString, "abc", "abcd"));
    EXPECT_TRUE(mxIsNewerVersion(vfString, "", "a"));
}

TEST(WebUpdateVersion, NumberReadsWholeDecimalNumbers) {
    EXPECT_TRUE(mxIsNewerVersion(vfNumber, "1.5", "1.25e1"));
    EXPECT_FALSE(mxIsNewerVersion(vfNumber, "2.9", "2.10"));
    EXPECT_TRUE(mxIsNewerVersion(vfNumber, "-1", "+0.5"));
    EXPECT_TRUE(mxIsNewerVersion(vfNumber, " 1.0 ", "1.01"));
    EXPECT_FALSE(mxIsNewerVersion(vfNumber, "1.0", "1"));
    EXPECT_FALSE(mxIsNewerVersion(vfNumber, "2", "1"));
}

TEST(WebUpdateVersion, NumberIsNeverNewerWhenEitherTextIsNoNumber) {
    for (const char* bad :
         {"", "1,5", "1.2.3", "1e", "e5", "++1", "0x10", "inf", "nan", "1e999", "2.0a", "١"}) {
        EXPECT_FALSE(mxIsNewerVersion(vfNumber, "1", bad)) << bad;
        EXPECT_FALSE(mxIsNewerVersion(vfNumber, bad, "1000")) << bad;
    }
}

TEST(WebUpdateUrl, SplitsHostAndPath) {
    EXPECT_EQ(mxSplitURL("http://example.org/TrabexUpdateInfo.htm"),
              (TmxURLParts{"example.org", "/TrabexUpdateInfo.htm"}));
    EXPECT_EQ(mxSplitURL("HTTP://Example.org/a/b?c=d"), (TmxURLParts{"Example.org", "/a/b?c=d"}));
    EXPECT_EQ(mxSplitURL("http://example.org:8080/"), (TmxURLParts{"example.org:8080", "/"}));
    EXPECT_EQ(mxSplitURL("/files/setup.sh"), (TmxURLParts{"", "/files/setup.sh"}));
    EXPECT_EQ(mxSplitURL("example.org/x"), (TmxURLParts{"example.org", "/x"}));
    EXPECT_EQ(mxSplitURL("http://example.org"), (TmxURLParts{"", "example.org"}));
    EXPECT_EQ(mxSplitURL(""), (TmxURLParts{"", ""}));
    // Only plain http: the rest of an https address is no host.
    EXPECT_EQ(mxSplitURL("https://example.org/x"), (TmxURLParts{"https:", "//example.org/x"}));
    // Whenever "http://" appears, the first seven characters go, wherever it stands.
    EXPECT_EQ(mxSplitURL("/index.htm?from=http://b"), (TmxURLParts{"htm?from=http:", "//b"}));
}

TEST(WebUpdateUrl, ProductUrlGetsHttpInFront) {
    TmxProductInfo info;
    EXPECT_EQ(info.URL(), "http://");
    info.SetURL("example.org/TrabexUpdateInfo.htm");
    EXPECT_EQ(info.URL(), "http://example.org/TrabexUpdateInfo.htm");
    info.SetURL("HTTP://Example.org/x");
    EXPECT_EQ(info.URL(), "HTTP://Example.org/x");
    info.SetURL("http:/example.org");
    EXPECT_EQ(info.URL(), "http://http:/example.org");
    info.SetURL("");
    EXPECT_EQ(info.URL(), "http://");
}

TEST(WebUpdateUrl, RequestUrlRefusesHostileHostsAndEncodesThePath) {
    EXPECT_EQ(mxRequestURL("127.0.0.1", "/TrabexUpdateInfo.htm"),
              QByteArray("http://127.0.0.1/TrabexUpdateInfo.htm"));
    EXPECT_EQ(mxRequestURL("[::1]:80", "/a?b=c&d=%41#e"),
              QByteArray("http://[::1]:80/a?b=c&d=%41#e"));
    EXPECT_EQ(mxRequestURL("example.org", "setup.sh"), QByteArray("http://example.org/setup.sh"));
    EXPECT_EQ(mxRequestURL("example.org", QString::fromUtf8("/a b\"č\r\n")),
              QByteArray("http://example.org/a%20b%22%C4%8D%0D%0A"));
    for (const char* host : {"", "user@example.org", "exa mple.org", "example.org/x", "a\rb",
                             "example.org?", "example.org#", "ex%41mple.org", "a\\b"})
        EXPECT_FALSE(mxRequestURL(host, "/x").has_value()) << host;
    EXPECT_FALSE(mxRequestURL(QString::fromUtf8("příklad.cz"), "/x").has_value());
}

TEST(WebUpdateFileName, KeepsOnlyAPlainFileName) {
    EXPECT_EQ(mxPlainFileName("TrabexSetup.sh"), "TrabexSetup.sh");
    EXPECT_EQ(mxPlainFileName("../../etc/passwd"), "passwd");
    EXPECT_EQ(mxPlainFileName("/usr/local/bin/setup"), "setup");
    EXPECT_EQ(mxPlainFileName("C:\\Program Files\\Trabex\\setup.exe"), "setup.exe");
    EXPECT_EQ(mxPlainFileName("..\\..\\x.exe"), "x.exe");
    EXPECT_EQ(mxPlainFileName(QString::fromUtf8("Instalace ěšč.sh")),
              QString::fromUtf8("Instalace ěšč.sh"));
    EXPECT_EQ(mxPlainFileName("..data"), "..data");
}

TEST(WebUpdateFileName, UnusableNamesBecomeEmpty) {
    for (const char* name : {"", ".", "..", "dir/", "../..", "a/..", "dir\\.", "a\tb", "a\x7f"})
        EXPECT_EQ(mxPlainFileName(name), "") << name;
    EXPECT_EQ(mxPlainFileName(QString("a") + QChar(0) + "b"), "");
    EXPECT_EQ(mxPlainFileName(QString(255, 'x')), QString(255, 'x'));
    EXPECT_EQ(mxPlainFileName(QString(256, 'x')), "");
    EXPECT_EQ(mxPlainFileName(QString(128, QChar(0x010D))), ""); // 256 bytes in UTF-8
}

TEST(WebUpdateProperties, StartAsTheComponentIsPublished) {
    const TmxWebUpdate update;
    EXPECT_EQ(update.Version(), "1.21");
    EXPECT_EQ(update.HTTPPort(), 80u);
    EXPECT_EQ(update.Options(), TmxUpdateOptions(uoRunUpdate | uoTerminate));
    EXPECT_FALSE(update.Busy());
}

TEST(WebUpdateInfoWindow, ButtonsStandCentredThreePixelsApart) {
    for (const int width : {530, 529, 200, 75}) {
        const TmxInfoButtonLefts lefts = mxInfoButtonLefts(width, 75, 80);
        EXPECT_EQ(lefts.Cancel - (lefts.Ok + 75), 3) << width;
        const int leftMargin = lefts.Ok;
        const int rightMargin = width - (lefts.Cancel + 80);
        EXPECT_LE(std::abs(leftMargin + 3 - rightMargin), 1) << width;
    }
}

} // namespace
