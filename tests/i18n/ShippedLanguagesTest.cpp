// The language files that ship with the program, read through the language manager: each reads
// in its own language, names every constant, and the panel's texts say what its numbers are.
#include "LangFolder.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

// A manager holding the shipped language of code.
struct TShipped {
    explicit TShipped(const char* code) {
        manager.SetFolder(QStringLiteral(TRABEX_LANGS_DIR));
        manager.SetLanguageCode(QString::fromLatin1(code));
        EXPECT_EQ(manager.LastError(), QString()) << code;
    }
    QString Text(const char* key) const {
        return manager.GetConstant(QString::fromLatin1(key), QStringLiteral("(missing)"));
    }
    // The words of four letters or more in its constants and property lines, lower-cased.
    QSet<QString> Words() const {
        static const QRegularExpression word(QStringLiteral("\\p{L}{4,}"));
        QSet<QString> words;
        for (const TTranslationTable* table : {&manager.Constants(), &manager.Properties()})
            for (int i = 0; i < table->Count(); ++i)
                for (const auto& match : word.globalMatch(table->Text(i)))
                    words.insert(match.captured().toLower());
        return words;
    }
    TLanguageManager manager;
};

// A word of the English file in the Czech one is an English text left untranslated there.
TEST(ShippedLanguages, TheCzechFileUsesNoWordOfTheEnglishFile) {
    // Words both languages write alike.
    const QSet<QString> shared = {QStringLiteral("internet"), QStringLiteral("panel"),
                                  QStringLiteral("program"), QStringLiteral("html")};
    const QSet<QString> english = TShipped("en").Words();
    ASSERT_GT(english.size(), 100);
    const QSet<QString> left = TShipped("cs").Words().intersect(english) - shared;
    EXPECT_TRUE(left.isEmpty()) << QStringList(left.values()).join(u' ').toStdString();
}

TEST(ShippedLanguages, EachNamesEveryConstantAndThePanelsNumbers) {
    for (const char* code : {"cs", "en"}) {
        SCOPED_TRACE(code);
        const TShipped shipped(code);
        // A constant a file does not name would keep the previous language's text.
        for (int i = 0; i < LangConstantCount(); ++i)
            EXPECT_GE(
                shipped.manager.Constants().IndexOf(QString::fromLatin1(LangConstants()[i].Name)),
                0)
                << LangConstants()[i].Name;
        // One line per error code of the solver, in the order of the codes.
        const QStringList lines =
            shipped.Text("TTrussForm.LabeledERR.Hint").split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 3) << lines.join(u'|').toStdString();
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(lines[i].contains(QString::number(i) + u':')) << lines[i].toStdString();
        // The sums of the bar forces by their formulas, not by internal names.
        EXPECT_TRUE(shipped.Text("TTrussForm.LEMass1.Caption").startsWith(QStringLiteral("Σ|N|")));
        EXPECT_TRUE(shipped.Text("TTrussForm.LEMass2.Caption").startsWith(QStringLiteral("ΣN²")));
    }
    EXPECT_FALSE(TShipped("en").Text("TTrussForm.StupStNeu.Caption").contains(u'.'))
        << "no abbreviation in the English label";
}

} // namespace
