// The language files that ship with the program, read through the language manager: each reads
// in its own language, and the information panel's texts say what its numbers are.
#include "LangFolder.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// Every text of a language: its constants and its property lines.
QStringList AllTexts(const char* code) {
    TLanguageManager manager;
    manager.SetFolder(QStringLiteral(TRABEX_LANGS_DIR));
    manager.SetLanguageCode(QString::fromLatin1(code));
    EXPECT_EQ(manager.LastError(), QString()) << code;
    QStringList texts;
    for (const TTranslationTable* table : {&manager.Constants(), &manager.Properties()})
        for (int i = 0; i < table->Count(); ++i)
            texts << table->Text(i);
    return texts;
}

QString Property(const char* code, const char* key) {
    TLanguageManager manager;
    manager.SetFolder(QStringLiteral(TRABEX_LANGS_DIR));
    manager.SetLanguageCode(QString::fromLatin1(code));
    return manager.GetConstant(QString::fromLatin1(key), QStringLiteral("(missing)"));
}

// The words of four letters or more, lower-cased.
QSet<QString> Words(const QStringList& texts) {
    static const QRegularExpression word(QStringLiteral("\\p{L}{4,}"));
    QSet<QString> words;
    for (const QString& text : texts)
        for (const auto& match : word.globalMatch(text))
            words.insert(match.captured().toLower());
    return words;
}

// A word of the English file in the Czech one is an English text left untranslated there.
TEST(ShippedLanguages, TheCzechFileUsesNoWordOfTheEnglishFile) {
    // Words both languages write alike.
    const QSet<QString> shared = {QStringLiteral("internet"), QStringLiteral("panel"),
                                  QStringLiteral("program")};
    QSet<QString> english = Words(AllTexts("en"));
    ASSERT_GT(english.size(), 100);
    const QSet<QString> left = Words(AllTexts("cs")).intersect(english) - shared;
    EXPECT_TRUE(left.isEmpty()) << QStringList(left.values()).join(u' ').toStdString();
}

TEST(ShippedLanguages, PanelTextsNameTheirNumbersInBothLanguages) {
    for (const char* code : {"cs", "en"}) {
        SCOPED_TRACE(code);
        // One line per error code of the solver, in the order of the codes.
        const QStringList lines =
            Property(code, "TTrussForm.LabeledERR.Hint").split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(lines[i].contains(QString::number(i) + u':')) << lines[i].toStdString();
        // The sums of the bar forces, by their formulas rather than by internal names.
        const QString sum = Property(code, "TTrussForm.LEMass1.Caption");
        const QString squares = Property(code, "TTrussForm.LEMass2.Caption");
        EXPECT_TRUE(sum.startsWith(QStringLiteral("Σ|N|"))) << sum.toStdString();
        EXPECT_TRUE(squares.startsWith(QStringLiteral("ΣN²"))) << squares.toStdString();
    }
    EXPECT_FALSE(Property("en", "TTrussForm.StupStNeu.Caption").contains(u'.'))
        << "no abbreviation in the English label";
}

// A constant a file does not name keeps the previous language's text after a change.
TEST(ShippedLanguages, EveryFileNamesEveryConstant) {
    for (const char* code : {"cs", "en"}) {
        TLanguageManager manager;
        manager.SetFolder(QStringLiteral(TRABEX_LANGS_DIR));
        manager.SetLanguageCode(QString::fromLatin1(code));
        for (int i = 0; i < LangConstantCount(); ++i)
            EXPECT_GE(manager.Constants().IndexOf(QString::fromLatin1(LangConstants()[i].Name)), 0)
                << code << " lacks " << LangConstants()[i].Name;
    }
}

} // namespace
