// Tests of the language identifiers: the code table, the identifier of a locale and the default
// language code of the system locale.
#include "LangFolder.h"
#include "plsLangMan.h"

#include <QHash>
#include <QProcess>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(LanguageCodeFromLangId, LooksUpTheWholeIdentifier) {
    const struct {
        std::uint16_t Id;
        const char* Code;
    } cases[] = {
        {0x0405, "cs"},  {0x0409, "en"},  {0x0809, "en"},  {0x4809, "en"},  {0x0401, "ar"},
        {0x4001, "ar"},  {0x0404, "zh"},  {0x1404, "zh"},  {0x0407, "de"},  {0x1407, "de"},
        {0x0C0A, "es"},  {0x080A, "es"},  {0x500A, "es"},  {0x040A, ""},    {0x540A, ""},
        {0x0414, "no"},  {0x0814, "no"},  {0x041A, "hr"},  {0x101A, "hr"},  {0x081A, "sr"},
        {0x0C1A, "sr"},  {0x181A, "sr"},  {0x7C1A, "sr"},  {0x1C1A, ""},    {0x141A, "bs"},
        {0x201A, "bs"},  {0x781A, "bs"},  {0x042E, "wen"}, {0x082E, "dsb"}, {0x083C, "ga"},
        {0x043B, "se"},  {0x243B, "se"},  {0x0453, "kh"},  {0x046C, "ns"},  {0x046B, "quz"},
        {0x0C6B, "quz"}, {0x0457, "kok"}, {0x045A, "syr"}, {0x0464, "fil"}, {0x047A, "arn"},
        {0x047C, "moh"}, {0x0484, "gsw"}, {0x0485, "sah"}, {0x0486, "qut"}, {0x048C, "gbz"},
        {0x085F, "tmz"}, {0x0850, "mn"},  {0x0843, "uz"},  {0x082C, "az"},  {0x085D, "iu"},
        {0x040D, "he"},  {0x0411, "ja"},  {0x0419, "ru"},  {0x0816, "pt"},  {0x081D, "sv"},
        {0x0000, ""},    {0x0005, ""},    {0x0400, ""},    {0x0430, ""},    {0x0455, ""},
        {0xFFFF, ""},    {0x0C05, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LanguageCodeFromLangId(c.Id), c.Code) << std::hex << c.Id;
}

// The table holds 205 identifiers of 117 codes; an entry lost or doubled shows here.
TEST(LanguageCodeFromLangId, KnowsEveryIdentifierOfTheTableOnce) {
    int ids = 0;
    QSet<QString> codes;
    for (int id = 0; id <= 0xFFFF; ++id) {
        const QString code = LanguageCodeFromLangId(static_cast<std::uint16_t>(id));
        if (code.isEmpty())
            continue;
        ++ids;
        codes.insert(code);
    }
    EXPECT_EQ(ids, 205);
    EXPECT_EQ(codes.size(), 117);
}

struct TLocaleCase {
    const char* Name;
    std::uint16_t Id;
    const char* Code;
};

void PrintTo(const TLocaleCase& c, std::ostream* os) {
    *os << c.Name;
}

class LocaleLangId : public testing::TestWithParam<TLocaleCase> {};

TEST_P(LocaleLangId, GivesTheIdentifierOfTheTerritoryOrTheLanguagesDefault) {
    const QLocale locale(GetParam().Name);
    EXPECT_EQ(LangIdFromLocale(locale), GetParam().Id) << std::hex << LangIdFromLocale(locale);
    EXPECT_EQ(LanguageCodeFromLangId(LangIdFromLocale(locale)), GetParam().Code);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleLangId,
    testing::Values(TLocaleCase{"cs_CZ", 0x0405, "cs"}, TLocaleCase{"sk_SK", 0x041B, "sk"},
                    TLocaleCase{"en_US", 0x0409, "en"}, TLocaleCase{"en_GB", 0x0809, "en"},
                    TLocaleCase{"en_IN", 0x4009, "en"}, TLocaleCase{"en_BB", 0x2409, "en"},
                    TLocaleCase{"en_DE", 0x0409, "en"}, TLocaleCase{"es_ES", 0x0C0A, "es"},
                    TLocaleCase{"es_MX", 0x080A, "es"}, TLocaleCase{"es_PR", 0x500A, "es"},
                    TLocaleCase{"es_US", 0x0C0A, "es"}, TLocaleCase{"es_419", 0x0C0A, "es"},
                    TLocaleCase{"de_DE", 0x0407, "de"}, TLocaleCase{"de_AT", 0x0C07, "de"},
                    TLocaleCase{"de_CH", 0x0807, "de"}, TLocaleCase{"de_LI", 0x1407, "de"},
                    TLocaleCase{"de_BE", 0x0407, "de"}, TLocaleCase{"fr_FR", 0x040C, "fr"},
                    TLocaleCase{"fr_CA", 0x0C0C, "fr"}, TLocaleCase{"fr_MC", 0x180C, "fr"},
                    TLocaleCase{"it_CH", 0x0810, "it"}, TLocaleCase{"nl_BE", 0x0813, "nl"},
                    TLocaleCase{"pt_BR", 0x0416, "pt"}, TLocaleCase{"pt_PT", 0x0816, "pt"},
                    TLocaleCase{"zh_TW", 0x0404, "zh"}, TLocaleCase{"zh_CN", 0x0804, "zh"},
                    TLocaleCase{"zh_HK", 0x0C04, "zh"}, TLocaleCase{"zh_SG", 0x1004, "zh"},
                    TLocaleCase{"zh_MO", 0x1404, "zh"}, TLocaleCase{"zh_Hant", 0x0404, "zh"},
                    TLocaleCase{"sr_RS", 0x0C1A, "sr"}, TLocaleCase{"sr_Latn_RS", 0x081A, "sr"},
                    TLocaleCase{"sr_Latn_ME", 0x081A, "sr"},
                    TLocaleCase{"sr_Latn_BA", 0x181A, "sr"}, TLocaleCase{"bs_BA", 0x141A, "bs"},
                    TLocaleCase{"bs_Cyrl_BA", 0x201A, "bs"}, TLocaleCase{"hr_HR", 0x041A, "hr"},
                    TLocaleCase{"hr_BA", 0x101A, "hr"}, TLocaleCase{"nb_NO", 0x0414, "no"},
                    TLocaleCase{"nn_NO", 0x0814, "no"}, TLocaleCase{"sv_FI", 0x081D, "sv"},
                    TLocaleCase{"ar_SA", 0x0401, "ar"}, TLocaleCase{"ar_EG", 0x0C01, "ar"},
                    TLocaleCase{"ar_AE", 0x3801, "ar"}, TLocaleCase{"az_AZ", 0x042C, "az"},
                    TLocaleCase{"az_Cyrl_AZ", 0x082C, "az"}, TLocaleCase{"uz_UZ", 0x0443, "uz"},
                    TLocaleCase{"uz_Cyrl_UZ", 0x0843, "uz"}, TLocaleCase{"mn_MN", 0x0450, "mn"},
                    TLocaleCase{"mn_Mong_CN", 0x0850, "mn"}, TLocaleCase{"iu_CA", 0x045D, "iu"},
                    TLocaleCase{"iu_Latn_CA", 0x085D, "iu"}, TLocaleCase{"fa_IR", 0x0429, "fa"},
                    TLocaleCase{"fa_AF", 0x048C, "gbz"}, TLocaleCase{"hsb_DE", 0x042E, "wen"},
                    TLocaleCase{"dsb_DE", 0x082E, "dsb"}, TLocaleCase{"ga_IE", 0x083C, "ga"},
                    TLocaleCase{"se_NO", 0x043B, "se"}, TLocaleCase{"se_FI", 0x0C3B, "se"},
                    TLocaleCase{"smn_FI", 0x243B, "se"}, TLocaleCase{"smj_SE", 0x143B, "se"},
                    TLocaleCase{"km_KH", 0x0453, "kh"}, TLocaleCase{"nso_ZA", 0x046C, "ns"},
                    TLocaleCase{"qu_PE", 0x0C6B, "quz"}, TLocaleCase{"qu_BO", 0x046B, "quz"},
                    TLocaleCase{"quc_GT", 0x0486, "qut"}, TLocaleCase{"tzm_MA", 0x085F, "tmz"},
                    TLocaleCase{"gsw_FR", 0x0484, "gsw"}, TLocaleCase{"he_IL", 0x040D, "he"},
                    TLocaleCase{"ms_BN", 0x083E, "ms"}, TLocaleCase{"ur_IN", 0x0820, "ur"},
                    TLocaleCase{"ja_JP", 0x0411, "ja"}, TLocaleCase{"uk_UA", 0x0422, "uk"},
                    TLocaleCase{"ii_CN", 0x0478, "ii"}, TLocaleCase{"eo", 0, ""},
                    TLocaleCase{"haw_US", 0, ""}, TLocaleCase{"C", 0, ""}));

TEST(LangIdFromLocaleParts, GivesTheNeutralIdentifiersWithoutScriptAndTerritory) {
    EXPECT_EQ(LangIdFromLocaleParts(QLocale::Serbian, QLocale::AnyScript, QLocale::AnyTerritory),
              0x7C1A);
    EXPECT_EQ(LangIdFromLocaleParts(QLocale::Bosnian, QLocale::AnyScript, QLocale::AnyTerritory),
              0x781A);
    EXPECT_EQ(LangIdFromLocaleParts(QLocale::Czech, QLocale::AnyScript, QLocale::AnyTerritory),
              0x0405);
    EXPECT_EQ(LangIdFromLocaleParts(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::Czechia), 0);
}

// Every identifier of the code table is what some locale gives, and the code a locale reaches is
// that of its own language: its ISO code, or the code the table uses for it instead.
TEST(LangIdFromLocaleParts, ReachesEveryIdentifierOfTheTableWithTheLanguagesOwnCode) {
    const QHash<QString, QString> tableCode{
        {"nb", "no"},  {"nn", "no"},   {"hsb", "wen"}, {"km", "kh"},  {"nso", "ns"}, {"tzm", "tmz"},
        {"qu", "quz"}, {"quc", "qut"}, {"smj", "se"},  {"sma", "se"}, {"sms", "se"}, {"smn", "se"},
    };
    const QLocale::Script scripts[] = {QLocale::AnyScript, QLocale::LatinScript,
                                       QLocale::CyrillicScript, QLocale::TraditionalHanScript,
                                       QLocale::MongolianScript};
    QSet<int> reached;
    QSet<int> checked; // language << 16 | identifier
    for (int l = QLocale::AnyLanguage + 1; l <= QLocale::LastLanguage; ++l) {
        const auto language = static_cast<QLocale::Language>(l);
        const QString iso = QLocale::languageToCode(language);
        for (int t = QLocale::AnyTerritory; t <= QLocale::LastTerritory; ++t) {
            const auto territory = static_cast<QLocale::Territory>(t);
            for (const QLocale::Script script : scripts) {
                const std::uint16_t id = LangIdFromLocaleParts(language, script, territory);
                if (id == 0 || checked.contains(l << 16 | id))
                    continue;
                checked.insert(l << 16 | id);
                reached.insert(id);
                const QString code = LanguageCodeFromLangId(id);
                const QString expected =
                    language == QLocale::Persian && territory == QLocale::Afghanistan
                        ? QStringLiteral("gbz")
                        : tableCode.value(iso, iso);
                EXPECT_EQ(code, expected) << iso.toStdString() << " " << std::hex << id;
            }
        }
    }
    for (int id = 0; id <= 0xFFFF; ++id) {
        if (!LanguageCodeFromLangId(static_cast<std::uint16_t>(id)).isEmpty()) {
            EXPECT_TRUE(reached.contains(id)) << std::hex << id;
        }
    }
}

// The default code follows the locale of the program's environment.
TEST(DefaultLanguageCode, FollowsTheSystemLocale) {
    const struct {
        const char* Locale;
        const char* Output;
    } cases[] = {
        {"cs_CZ.UTF-8", "0405 cs"},
        {"es_ES.UTF-8", "0C0A es"},
        {"de_AT.UTF-8", "0C07 de"},
        {"pt_BR.UTF-8", "0416 pt"},
        {"C", "0000 "},
    };
    for (const auto& c : cases) {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LANGUAGE", "LC_MESSAGES", "LC_NUMERIC", "LC_CTYPE"})
            env.remove(name);
        env.insert("LC_ALL", c.Locale);
        env.insert("LANG", c.Locale);
        probe.setProcessEnvironment(env);
        probe.start(TRABEX_LOCALE_PROBE, {});
        ASSERT_TRUE(probe.waitForFinished(30000)) << c.Locale;
        EXPECT_EQ(probe.exitCode(), 0);
        EXPECT_EQ(QString::fromLatin1(probe.readAllStandardOutput()).trimmed(),
                  QString(c.Output).trimmed())
            << c.Locale;
    }
}

} // namespace
