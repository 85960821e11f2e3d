// Languages in the running windows: the shipped files, switching, the menu and start-up.
#include "ComponentProperties.h"
#include "FUpdateProgress.h"
#include "FUpdateUnit.h"
#include "GuiFixture.h"
#include "LabeledEdit.h"
#include "QtTranslations.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "TrussApplication.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"
#include "plsTranslateForm.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <map>
#include <set>

namespace {

const QString ShippedLanguages = QStringLiteral(TRABEX_LANGS_DIR);

// Leaves the manager without a language, as before any was loaded: a code that no folder has.
void ForgetLanguage() {
    QTemporaryDir empty;
    LanguageManager.SetFolder(empty.path());
    LanguageManager.SetLanguageCode(QStringLiteral("none"));
    LanguageManager.SetFolder(QString());
}

// Every text a user reads in a window: captions and hints by component name.
std::map<QString, QString> VisibleTexts(QObject* form) {
    std::map<QString, QString> texts;
    auto add = [&](QObject* o, const QString& name) {
        QString caption;
        if (auto* edit = qobject_cast<TLabeledEdit*>(o))
            caption = edit->Caption();
        else if (auto* a = qobject_cast<QAction*>(o))
            caption = a->text();
        else if (auto* m = qobject_cast<QMenu*>(o))
            caption = m->title();
        else if (auto* b = qobject_cast<QAbstractButton*>(o))
            caption = b->text();
        if (!caption.isEmpty())
            texts[name + QStringLiteral(".Caption")] = caption;
        QString tip = o->property("toolTip").toString();
        // An action without a tip of its own shows its text as the tip.
        if (auto* a = qobject_cast<QAction*>(o); a && tip == QString(a->text()).remove(u'&'))
            tip.clear();
        if (!tip.isEmpty())
            texts[name + QStringLiteral(".Hint")] = tip;
    };
    for (QObject* o : form->findChildren<QObject*>()) {
        const QString name = o->objectName();
        // The label of a labelled field is addressed through the field.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
            name.endsWith(QLatin1String("_EditLabel")) || FindComponent(form, name) != o)
            continue;
        add(o, name);
    }
    return texts;
}

// Components whose texts the program writes while it runs, not a language file.
bool WrittenAtRunTime(const QString& key) {
    static const QStringList prefixes = {"mFile",  "LabelMax.", "StatusBar1_Panel", "PenButton.",
                                         "Memo1.", "Image.",    "ScrollBox."};
    for (const QString& p : prefixes)
        if (key.startsWith(p))
            return true;
    return false;
}

class Languages : public TMainFormTest {
protected:
    void SetUp() override {
        LanguageManager.SetFolder(ShippedLanguages);
        ResetConstantsToCzech();
        TMainFormTest::SetUp();
    }
    void TearDown() override {
        TMainFormTest::TearDown();
        ForgetLanguage();
        ApplyQtTranslation(QString());
        ResetConstantsToCzech();
        for (int b = 0; b < MsgDlgBtnCount; ++b)
            ButtonCaptions[b].Caption = StandardButtonCaption(static_cast<TMsgDlgBtn>(b));
    }
    QAction* LanguageItem(const QString& code) {
        for (QAction* a : Main->miLanguage->actions())
            if (a->toolTip() == code)
                return a;
        return nullptr;
    }
    void Choose(const QString& code) {
        QAction* item = LanguageItem(code);
        ASSERT_NE(item, nullptr) << code.toStdString();
        item->trigger();
    }
};

TEST_F(Languages, MenuListsTheShippedLanguagesByName) {
    const QList<QAction*> items = Main->miLanguage->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("English"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Čeština")) << "ordinal order: Č after E";
    EXPECT_EQ(items[0]->toolTip(), QStringLiteral("en"));
}

TEST_F(Languages, EachShippedFileTranslatesEveryWindowCompletelyAndWithoutErrors) {
    TTrussForm* form = NewWindow();
    TFormUpdate question(Main.get());
    const std::map<QString, QObject*> windows = {
        {QStringLiteral("TMAINFORM"), Main.get()},
        {QStringLiteral("TTRUSSFORM"), form},
        {QStringLiteral("TFORMMATRIX"), Main->FormMatrix},
        {QStringLiteral("TFORMUPDATE"), &question},
        {QStringLiteral("TFORMUPDATEPROGRESS"), Main->ProgressWindow()}};
    for (const char* code : {"cs", "en"}) {
        SCOPED_TRACE(code);
        Choose(QString::fromLatin1(code));
        ASSERT_EQ(LanguageManager.LastError(), QString());
        ASSERT_EQ(LanguageManager.LanguageCode(), QString::fromLatin1(code));
        const TTranslationTable& lines = LanguageManager.Properties();
        ASSERT_GT(lines.Count(), 80);
        std::set<QString> named;
        for (int i = 0; i < lines.Count(); ++i) {
            const QString section = lines.Key(i).section(u'.', 0, 0);
            const QString component = lines.Key(i).section(u'.', 1, 1);
            const auto window = windows.find(section);
            ASSERT_NE(window, windows.end()) << "section of no window: " << section.toStdString();
            EXPECT_NE(FindComponent(window->second, component), nullptr)
                << "no component " << lines.Key(i).toStdString();
            named.insert(lines.Key(i).section(u'.', 1).toUpper());
        }
        for (const auto& [section, window] : windows) {
            EXPECT_TRUE(TranslateForm(LanguageManager, window))
                << LanguageManager.LastError().toStdString();
            for (const auto& [key, text] : VisibleTexts(window)) {
                if (WrittenAtRunTime(key))
                    continue;
                EXPECT_TRUE(named.count(key.toUpper()))
                    << section.toStdString() << " leaves out " << key.toStdString() << " = "
                    << text.toStdString();
            }
        }
    }
}

TEST_F(Languages, SwitchingToEnglishAndBackRestoresEveryCzechText) {
    TTrussForm* form = NewWindow();
    Choose(QStringLiteral("cs"));
    const auto czechMain = VisibleTexts(Main.get());
    const auto czechTruss = VisibleTexts(form);
    Choose(QStringLiteral("en"));
    EXPECT_EQ(Main->File1->title(), QStringLiteral("&File"));
    EXPECT_EQ(form->PocetPrutu->Caption(), QStringLiteral("Number of bars"));
    EXPECT_EQ(Main->FormMatrix->windowTitle(), QStringLiteral("Equation matrix"));
    EXPECT_NE(VisibleTexts(Main.get()), czechMain);
    Choose(QStringLiteral("cs"));
    EXPECT_EQ(VisibleTexts(Main.get()), czechMain);
    EXPECT_EQ(VisibleTexts(form), czechTruss);
    EXPECT_EQ(Main->File1->title(), QStringLiteral("&Soubor"));
}

// The labels stand left of their fields; a text too long for the panel would be cut at its edge.
TEST_F(Languages, PanelLabelsFitBesideTheirFieldsInEveryLanguage) {
    if (!Main->aShowSidePannel->isChecked())
        Main->aShowSidePannel->trigger();
    TTrussForm* form = NewWindow();
    for (const char* code : {"cs", "en"}) {
        SCOPED_TRACE(code);
        Choose(QString::fromLatin1(code));
        for (TLabeledEdit* field : form->findChildren<TLabeledEdit*>())
            EXPECT_GE(field->EditLabel->x(), 0) << field->Caption().toStdString();
    }
}

QStringList SystemMenuTexts(TTrussForm* form) {
    QStringList texts;
    for (QAction* item :
         qobject_cast<QMdiSubWindow*>(form->parentWidget())->systemMenu()->actions())
        texts << item->text();
    return texts;
}

// Qt's own texts follow the language, also in the menu of a window opened before the change, and
// go back to Qt's English with English.
TEST_F(Languages, QtsOwnTextsFollowTheLanguage) {
    ASSERT_TRUE(QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                  QStringLiteral("/qtbase_cs.qm")))
        << "Qt's translations (qt6-translations-l10n) are missing";
    TTrussForm* before = NewWindow();
    Choose(QStringLiteral("cs"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Zrušit"));
    EXPECT_TRUE(SystemMenuTexts(before).contains(QStringLiteral("&Zavřít")))
        << SystemMenuTexts(before).join(u'|').toStdString();
    TTrussForm* after = NewWindow();
    EXPECT_EQ(SystemMenuTexts(after), SystemMenuTexts(before));
    Choose(QStringLiteral("en"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_TRUE(SystemMenuTexts(after).contains(QStringLiteral("&Close")))
        << SystemMenuTexts(after).join(u'|').toStdString();
}

TEST_F(Languages, WindowsStatusBarAndReportFollowAtOnce) {
    if (!Main->aShowSidePannel->isChecked())
        Main->aShowSidePannel->trigger();
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    EXPECT_TRUE(form->Memo1->toPlainText().contains(QStringLiteral("Počet prutů")));
    Choose(QStringLiteral("en"));
    EXPECT_EQ(Main->windowTitle(),
              QStringLiteral("Trabex v.") + FileVersion() + QStringLiteral(" (en)"));
    EXPECT_TRUE(Main->StatusPanels[3]->text().startsWith(QStringLiteral("Calculation time: ")));
    EXPECT_TRUE(Main->StatusPanels[2]->text().startsWith(QStringLiteral("Drawing time: ")));
    EXPECT_TRUE(form->Memo1->toPlainText().contains(QStringLiteral("Number of bars")))
        << form->Memo1->toPlainText().toStdString();
    EXPECT_EQ(msg_Chyba, QStringLiteral("Error!"));
    EXPECT_EQ(ButtonCaptions[mbCancel].Caption, QStringLiteral("Cancel"));
    EXPECT_TRUE(LanguageManager.Constants().Count() == 0) << "constants live in the variables only";
    TSettingsStore store;
    EXPECT_EQ(store.ReadString(QStringLiteral("Last"), QStringLiteral("Language"), {}),
              QStringLiteral("en"));
    EXPECT_TRUE(LanguageItem(QStringLiteral("en"))->isChecked());
}

TEST_F(Languages, ChoiceIsStoredEvenWhenLoadingReportsAnError) {
    QTemporaryDir folder;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("Trabex.xx.lng",
          "[precision language file]\nlanguagename=Broken\n[TMainForm]\nOpen1.Colour=x\n");
    write("A.xx.lngz", "");
    write("B.xx.lngz", "");
    LanguageManager.SetFolder(folder.path());
    Main->BuildLanguageMenu();
    Answers = {mrOk};
    Choose(QStringLiteral("xx"));
    ASSERT_EQ(Messages.size(), 1u) << "the two .lngz files leave a line break in LastError";
    TSettingsStore store;
    EXPECT_EQ(store.ReadString(QStringLiteral("Last"), QStringLiteral("Language"), {}),
              QStringLiteral("xx"));
}

TEST_F(Languages, AFailedWindowTranslationIsReported) {
    QTemporaryDir folder;
    QFile f(folder.filePath(QStringLiteral("Trabex.yy.lng")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[precision language file]\nlanguagename=Why\n[TTrussForm]\nPocetPrutu.Colour=x\n"
            "LEMass1.Caption=M1\nNoSuchField.Caption=skipped\n");
    f.close();
    TTrussForm* form = NewWindow();
    LanguageManager.SetFolder(folder.path());
    Main->BuildLanguageMenu();
    Answers = {mrOk};
    Choose(QStringLiteral("yy"));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Text.startsWith(QStringLiteral("Why (yy): [TrussForm (TTrussForm)] ")))
        << Messages[0].Text.toStdString();
    EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("TTRUSSFORM.POCETPRUTU.COLOUR")));
    EXPECT_FALSE(Messages[0].Text.contains(QStringLiteral("NOSUCHFIELD")));
    EXPECT_EQ(form->LEMass1->Caption(), QStringLiteral("M1")) << "later lines are still applied";
}

TEST_F(Languages, ConstantsKeepTheirTextAndButtonsReturnToStandard) {
    QTemporaryDir folder;
    auto language = [&](const char* code, const QByteArray& constants) {
        QFile f(folder.filePath(QStringLiteral("Trabex.%1.lng").arg(QLatin1String(code))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[precision language file]\nlanguagename=" + QByteArray(code) + "\n[constants]\n" +
                constants);
    };
    language("aa", "msg_Chyba=Fehler!\nlng_MsgBtnOK=Gut\n");
    language("bb", "str_Sila=Kraft\n");
    LanguageManager.SetFolder(folder.path());
    Main->BuildLanguageMenu();
    EXPECT_EQ(msg_NoNewUpdate.count(QStringLiteral("\\n")), 1)
        << "two characters before any change";
    Choose(QStringLiteral("aa"));
    EXPECT_EQ(msg_Chyba, QStringLiteral("Fehler!"));
    EXPECT_EQ(ButtonCaptions[mbOK].Caption, QStringLiteral("Gut"));
    EXPECT_TRUE(msg_NoNewUpdate.contains(QStringLiteral("\r\n")))
        << "every refresh expands escapes";
    Choose(QStringLiteral("bb"));
    EXPECT_EQ(msg_Chyba, QStringLiteral("Fehler!"))
        << "a constant bb does not name keeps aa's text";
    EXPECT_EQ(str_Sila, QStringLiteral("Kraft"));
    EXPECT_EQ(ButtonCaptions[mbOK].Caption, QStringLiteral("OK")) << "buttons go back to standard";
}

TEST_F(Languages, EqualNamesKeepTheirListOrderAmongTheOthers) {
    QTemporaryDir folder;
    auto language = [&](const char* code, const char* name) {
        QFile f(folder.filePath(QStringLiteral("T.%1.lng").arg(QLatin1String(code))));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("[precision language file]\nlanguagename=") + name + "\n");
    };
    // Listed in file order a1, b1, c1, d1.
    language("a1", "Gamma");
    language("b1", "Beta");
    language("c1", "Alpha");
    language("d1", "Beta");
    LanguageManager.SetFolder(folder.path());
    QStringList listed;
    ASSERT_TRUE(LanguageManager.GetAvailableLanguages(listed));
    ASSERT_EQ(listed, QStringList({"a1=Gamma", "b1=Beta", "c1=Alpha", "d1=Beta"}));
    Main->BuildLanguageMenu();
    QStringList order;
    for (QAction* a : Main->miLanguage->actions())
        order << a->text() + u'/' + a->toolTip();
    EXPECT_EQ(order, QStringList({"Alpha/c1", "Beta/b1", "Beta/d1", "Gamma/a1"}));
}

class StartLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        QFile::remove(TSettingsStore().FileName());
        LanguageManager.SetFolder(ShippedLanguages);
    }
    void TearDown() override { ForgetLanguage(); }
};

TEST_F(StartLanguage, StoredThenDefaultThenEnglish) {
    {
        TSettingsStore store;
        store.WriteString(QStringLiteral("Last"), QStringLiteral("Language"), QStringLiteral("cs"));
    }
    SelectStartLanguage(QStringLiteral("en"));
    EXPECT_EQ(LanguageManager.LanguageCode(), QStringLiteral("cs"));
    QFile::remove(TSettingsStore().FileName());
    SelectStartLanguage(QStringLiteral("cs"));
    EXPECT_EQ(LanguageManager.LanguageCode(), QStringLiteral("cs")) << "the user's default";
    SelectStartLanguage(QStringLiteral("zz"));
    EXPECT_EQ(LanguageManager.LanguageCode(), QStringLiteral("en")) << "no such language: English";
    {
        TSettingsStore store;
        store.WriteString(QStringLiteral("Last"), QStringLiteral("Language"), QStringLiteral("qq"));
    }
    SelectStartLanguage(QString());
    EXPECT_EQ(LanguageManager.LanguageCode(), QStringLiteral("en"));
}

} // namespace

namespace {

// A language file's property lines applied through TranslateForm to the real windows.
class TranslateFormLines : public TMainFormTest {
protected:
    void SetUp() override {
        TMainFormTest::SetUp();
        QFile f(folder.filePath(QStringLiteral("Trabex.tt.lng")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[precision language file]\nlanguagename=Test\n"
                "[TTrussForm]\nMemo1.Lines.Text=one\\ntwo\nSELF.Caption=Okno\nStupStNeu.Font.Name="
                "DejaVu Serif\n"
                "[TMainForm]\nStatusBar1.Panels[0].Text=zero\nOpen1.ShortCut=Ctrl+Shift+K\n"
                "Open1.Foo=bar\nGhost1.Caption=nobody\nExit1.Caption=Pryč\n");
        f.close();
    }
    // Loads the language without the frame's handler, so that only TranslateForm applies it.
    void Load() {
        auto handler = std::move(LanguageManager.OnLanguageChanged);
        LanguageManager.OnLanguageChanged = nullptr;
        LanguageManager.SetFolder(folder.path());
        LanguageManager.SetLanguageCode(QStringLiteral("tt"));
        LanguageManager.OnLanguageChanged = std::move(handler);
        ASSERT_EQ(LanguageManager.LastError(), QString());
    }
    void TearDown() override {
        LanguageManager.SetAllowSpecialProps(true);
        TMainFormTest::TearDown();
        ForgetLanguage();
    }
    QTemporaryDir folder;
};

TEST_F(TranslateFormLines, PathsListsPanelsFontsAndShortcuts) {
    TTrussForm* form = NewWindow();
    Load();
    EXPECT_TRUE(TranslateForm(LanguageManager, form)) << LanguageManager.LastError().toStdString();
    EXPECT_EQ(form->Memo1->document()->blockCount(), 2);
    EXPECT_EQ(form->StupStNeu->font().family(), QStringLiteral("DejaVu Serif"));

    EXPECT_FALSE(TranslateForm(LanguageManager, Main.get()));
    EXPECT_EQ(Main->StatusPanels[0]->text(), QStringLiteral("zero"));
    EXPECT_EQ(Main->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K));
    EXPECT_EQ(Main->Exit1->text(), QStringLiteral("Pryč")) << "lines after an error still apply";
    const QString error = LanguageManager.LastError();
    EXPECT_TRUE(error.startsWith(
        QStringLiteral("\r\n\r\nTLanguageManager (TMAINFORM.OPEN1.FOO):\r\n      ")))
        << error.toStdString();
    EXPECT_FALSE(error.contains(QStringLiteral("GHOST1"))) << "unknown components are skipped";
    EXPECT_EQ(error.count(QStringLiteral("TLanguageManager")), 1);
}

TEST_F(TranslateFormLines, ShortcutTextNeedsSpecialProperties) {
    Load();
    LanguageManager.SetAllowSpecialProps(false);
    EXPECT_FALSE(TranslateForm(LanguageManager, Main.get()));
    EXPECT_TRUE(LanguageManager.LastError().contains(QStringLiteral("TMAINFORM.OPEN1.SHORTCUT")));
    EXPECT_EQ(Main->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

TEST_F(TranslateFormLines, TargetAndSectionOptions) {
    TTrussForm* form = NewWindow();
    Load();
    EXPECT_TRUE(TranslateForm(LanguageManager, form, QString(), form->StupStNeu));
    EXPECT_EQ(form->StupStNeu->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_NE(form->Memo1->document()->blockCount(), 2) << "only the target is touched";
    EXPECT_NE(form->windowTitle(), QStringLiteral("Okno"));
    QWidget other;
    other.setObjectName(QStringLiteral("Other"));
    EXPECT_TRUE(TranslateForm(LanguageManager, &other, QStringLiteral("tTrussForm")));
    EXPECT_EQ(other.windowTitle(), QStringLiteral("Okno")) << "the section names the class";
}

} // namespace
