// Property lines of language files applied to the real windows.
#include "ComponentProperties.h"
#include "GuiFixture.h"

#include <QComboBox>
#include <QMenuBar>

namespace {

using Properties = TMainFormTest;

void Apply(QObject* form, const char* path, const char* property, const QString& text,
           bool special = true) {
    ApplyPropertyLine(form, QString::fromLatin1(path), QString::fromLatin1(property), text,
                      special);
}

TEST_F(Properties, CaptionReachesWindowsMenusActionsButtonsAndLabels) {
    TTrussForm* form = NewWindow();
    Apply(Main.get(), "SELF", "CAPTION", QStringLiteral("Main"));
    EXPECT_EQ(Main->windowTitle(), QStringLiteral("Main"));
    Apply(Main.get(), "file1", "Caption", QStringLiteral("&Soubor"));
    EXPECT_EQ(Main->File1->title(), QStringLiteral("&Soubor"));
    Apply(Main.get(), "OPEN1", "CAPTION", QStringLiteral("&Otevřít..."));
    EXPECT_EQ(Main->Open1->text(), QStringLiteral("&Otevřít..."));
    Apply(Main.get(), "chbOznaceniPrutu", "Caption", QStringLiteral("Names"));
    EXPECT_EQ(Main->chbOznaceniPrutu->text(), QStringLiteral("Names"));
    Apply(form, "PocetPrutu", "Caption", QStringLiteral("Number of bars"));
    EXPECT_EQ(form->PocetPrutu->EditLabel->text(), QStringLiteral("Number of bars"));
    Apply(form, "LabelMax", "Caption", QStringLiteral("(max)"));
    EXPECT_EQ(form->LabelMax->text(), QStringLiteral("(max)"));
    Apply(Main->FormMatrix, "self", "Caption", QStringLiteral("Matrix"));
    EXPECT_EQ(Main->FormMatrix->windowTitle(), QStringLiteral("Matrix"));
}

TEST_F(Properties, ComponentsOfAnotherWindowAreNotReached) {
    TTrussForm* form = NewWindow();
    Apply(Main.get(), "Edit1", "Caption", QStringLiteral("Frame edit"));
    EXPECT_EQ(Main->Edit1->title(), QStringLiteral("Frame edit"));
    EXPECT_EQ(form->Edit1->title(), QStringLiteral("&Edit"));
    EXPECT_FALSE(ApplyPropertyLine(Main.get(), QStringLiteral("PocetPrutu"),
                                   QStringLiteral("Caption"), QStringLiteral("x"), true))
        << "a truss window's field is not a component of the frame";
    EXPECT_EQ(FindComponent(Main.get(), QStringLiteral("Memo1")), nullptr)
        << "the matrix window's memo belongs to that window";
    EXPECT_FALSE(ApplyPropertyLine(form, QStringLiteral("NoSuchThing"), QStringLiteral("Caption"),
                                   QStringLiteral("x"), true));
}

TEST_F(Properties, HintSplitsIntoToolTipAndStatusTip) {
    Apply(Main.get(), "aZobrazMatici", "Hint", QStringLiteral("Matrix|Shows the matrix window"));
    EXPECT_EQ(Main->aZobrazMatici->toolTip(), QStringLiteral("Matrix"));
    EXPECT_EQ(Main->aZobrazMatici->statusTip(), QStringLiteral("Shows the matrix window"));
    Apply(Main.get(), "btDTPrut", "Hint", QStringLiteral("Bar"));
    EXPECT_EQ(Main->btDTPrut->toolTip(), QStringLiteral("Bar"));
}

TEST_F(Properties, ShortCutAsTextOnlyWithSpecialProperties) {
    Apply(Main.get(), "Open1", "ShortCut", QStringLiteral("Ctrl+Shift+O"));
    EXPECT_EQ(Main->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    EXPECT_THROW(Apply(Main.get(), "Open1", "ShortCut", QStringLiteral("Ctrl+O"), false),
                 EPropertyError);
    EXPECT_EQ(Main->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    Apply(Main.get(), "Open1", "ShortCut", QString::number(0x4000 | 'P'), false);
    EXPECT_EQ(Main->Open1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_THROW(Apply(Main.get(), "Open1", "ShortCut", QStringLiteral("Ctrl+Nonsense+")),
                 EPropertyError);
}

TEST_F(Properties, BooleansAndSizes) {
    Apply(Main.get(), "aShowGrid", "Checked", QStringLiteral("False"));
    EXPECT_FALSE(Main->aShowGrid->isChecked());
    Apply(Main.get(), "Internetbackup1", "Visible", QStringLiteral("false"));
    EXPECT_FALSE(Main->Internetbackup1->isVisible());
    EXPECT_THROW(Apply(Main.get(), "aShowGrid", "Checked", QStringLiteral("maybe")),
                 EPropertyError);
    Apply(Main.get(), "RxSpinEditGrid", "Width", QStringLiteral("77"));
    EXPECT_EQ(Main->RxSpinEditGrid->width(), 77);
    Apply(Main.get(), "Panel1", "Height", QStringLiteral("50"));
    EXPECT_EQ(Main->Panel1->height(), 50) << "a fixed height stays fixed at the new value";
    EXPECT_THROW(Apply(Main.get(), "Panel1", "Height", QStringLiteral("tall")), EPropertyError);
}

TEST_F(Properties, LinesTextAndItemsCommaText) {
    TTrussForm* form = NewWindow();
    Apply(form, "Memo1.Lines", "Text", QStringLiteral("first\r\nsecond"));
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(form->Memo1->document()->blockCount(), 2);
    Apply(form, "Memo1.Lines", "Foo", QStringLiteral("ignored"));
    EXPECT_EQ(form->Memo1->toPlainText(), QStringLiteral("first\nsecond"));
    QComboBox combo(form);
    combo.setObjectName(QStringLiteral("ComboBox1"));
    Apply(form, "ComboBox1.Items", "CommaText", QStringLiteral("one,\"two words\",three"));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(1), QStringLiteral("two words"));
}

TEST_F(Properties, StatusBarPanels) {
    Apply(Main.get(), "StatusBar1.Panels[3]", "Text", QStringLiteral("calc"));
    EXPECT_EQ(Main->StatusPanels[3]->text(), QStringLiteral("calc"));
    Apply(Main.get(), "StatusBar1.Panels[0]", "Width", QStringLiteral("99"));
    EXPECT_EQ(Main->StatusPanels[0]->width(), 99);
    EXPECT_THROW(Apply(Main.get(), "StatusBar1.Panels[9]", "Text", QStringLiteral("x")),
                 EPropertyError);
    EXPECT_THROW(Apply(Main.get(), "Panel1.Panels[0]", "Text", QStringLiteral("x")),
                 EPropertyError);
}

TEST_F(Properties, FontNameSizeAndColour) {
    TTrussForm* form = NewWindow();
    Apply(form, "StupStNeu.Font", "Name", QStringLiteral("DejaVu Serif"));
    Apply(form, "StupStNeu.Font", "Size", QStringLiteral("13"));
    EXPECT_EQ(form->StupStNeu->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(form->StupStNeu->font().pointSize(), 13);
    Apply(form, "StupStNeu.Font", "Color", QStringLiteral("clRed"));
    EXPECT_EQ(form->StupStNeu->palette().color(QPalette::Text), QColor(Qt::red));
    Apply(form, "StupStNeu.Font", "Color", QStringLiteral("$00FF0000"));
    EXPECT_EQ(form->StupStNeu->palette().color(QPalette::Text), QColor(Qt::blue)) << "BGR order";
    EXPECT_THROW(Apply(form, "StupStNeu.Font", "Colour", QStringLiteral("clRed")), EPropertyError);
}

TEST_F(Properties, UnknownPropertyIsAnErrorOtherNamesFallBackToQt) {
    EXPECT_THROW(Apply(Main.get(), "Open1", "Colour", QStringLiteral("x")), EPropertyError);
    Apply(Main.get(), "Open1", "iconVisibleInMenu", QStringLiteral("False"));
    EXPECT_FALSE(Main->Open1->isIconVisibleInMenu());
    Apply(Main.get(), "MdiArea", "ViewMode", QStringLiteral("TabbedView"));
    EXPECT_EQ(Main->MdiArea->viewMode(), QMdiArea::TabbedView);
    EXPECT_THROW(Apply(Main.get(), "MdiArea", "ViewMode", QStringLiteral("Nope")), EPropertyError);
}

TEST(CommaText, QuotesSeparatorsAndDoubledQuotes) {
    EXPECT_EQ(ParseCommaText(QStringLiteral("a,b c")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(ParseCommaText(QStringLiteral("\"x, y\",\"say \"\"hi\"\"\"")),
              QStringList({"x, y", "say \"hi\""}));
    EXPECT_EQ(ParseCommaText(QStringLiteral("  ,, ")), QStringList());
    EXPECT_EQ(ParseCommaText(QStringLiteral("\"open")), QStringList{"open"});
}

} // namespace
