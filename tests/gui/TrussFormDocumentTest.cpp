// The truss window as a document: information panel, caption, saving, closing and the picture.
#include "GuiFixture.h"
#include "TrussSystem.h"

#include <QDir>
#include <QFileInfo>

namespace {

using Document = TMainFormTest;

void ShowSidePanel(TMainForm& main) {
    if (!main.aShowSidePannel->isChecked())
        main.aShowSidePannel->trigger();
}

TEST_F(Document, EmptyTrussPanelShowsErrorOneAndNoMasses) {
    ShowSidePanel(*Main);
    TTrussForm* form = NewWindow();
    EXPECT_TRUE(form->Panel4->isVisible());
    EXPECT_EQ(form->PocetPrutu->text(), QStringLiteral("0"));
    EXPECT_EQ(form->StupStNeu->text(), QStringLiteral("0"));
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("1"));
    EXPECT_EQ(form->LEMass1->text(), QStringLiteral("---"));
    EXPECT_EQ(form->LEMass2->text(), QStringLiteral("---"));
    EXPECT_EQ(form->LabelMax->text(), QStringLiteral("(max.100)"));
}

TEST_F(Document, DeterminateTrussPanelShowsCountsAndMasses) {
    ShowSidePanel(*Main);
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->PocetPrutu->text(), QStringLiteral("3"));
    EXPECT_EQ(form->PocetStycniku->text(), QStringLiteral("3"));
    EXPECT_EQ(form->PocetVazeb->text(), QStringLiteral("3"));
    EXPECT_EQ(form->PocetPusobicichSil->text(), QStringLiteral("1"));
    EXPECT_EQ(form->StupStNeu->text(), QStringLiteral("0"));
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("0"));
    // Apex load 10 on a 200 wide, 100 high triangle: each rafter -5*sqrt(2), the tie +5.
    EXPECT_EQ(form->LEMass1->text(), QStringLiteral("19.1"));
    EXPECT_EQ(form->LEMass2->text(), QStringLiteral("125.0"));
    EXPECT_EQ(form->Memo1->toPlainText(),
              form->Soustava().Describe().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

TEST_F(Document, SingularTrussPanelShowsErrorTwo) {
    ShowSidePanel(*Main);
    ASSERT_TRUE(Main->OpenTrussFile(Data("mechanism.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
    EXPECT_EQ(form->LEMass1->text(), QStringLiteral("---"));
    EXPECT_EQ(form->LEMass2->text(), QStringLiteral("---"));
}

TEST_F(Document, HiddenSidePanelKeepsItsLastValues) {
    ShowSidePanel(*Main);
    TTrussForm* form = NewWindow();
    Main->aShowSidePannel->trigger();
    EXPECT_FALSE(form->Panel4->isVisible());
    Drag(form, {40, 40}, {100, 40});
    EXPECT_EQ(form->PocetPrutu->text(), QStringLiteral("0"));
    Main->aShowSidePannel->trigger();
    EXPECT_EQ(form->PocetPrutu->text(), QStringLiteral("1"));
}

TEST_F(Document, CaptionIsTheFileNameWithoutFolderAndExtension) {
    const QString folder = Dir.path() + QStringLiteral("/some.folder");
    QDir().mkpath(folder);
    for (const char* name : {"bridge.old.trs", "model"})
        QFile::copy(Data("triangle.trs"), folder + u'/' + QString::fromLatin1(name));
    TTrussForm* fresh = NewWindow();
    EXPECT_EQ(fresh->windowTitle(), QString());
    ASSERT_TRUE(Main->OpenTrussFile(folder + QStringLiteral("/bridge.old.trs")));
    EXPECT_EQ(Main->ActiveTrussForm()->windowTitle(), QStringLiteral("bridge.old"));
    ASSERT_TRUE(Main->OpenTrussFile(folder + QStringLiteral("/model")));
    EXPECT_EQ(Main->ActiveTrussForm()->windowTitle(), QStringLiteral("model"));
    EXPECT_EQ(Main->MdiArea->activeSubWindow()->windowTitle(), QStringLiteral("model"));
}

TEST_F(Document, SaveWithoutNameAsksForOneAndSaveAsKeepsTheOwnName) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    const QString path = Dir.filePath(QStringLiteral("first.trs"));
    FileAnswers = {path};
    Main->File1Click();
    ASSERT_TRUE(Main->Save1->isEnabled());
    Main->Save1->trigger();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_TRUE(Dialogs[0].Save);
    EXPECT_EQ(Dialogs[0].DefaultSuffix, QStringLiteral("trs"));
    EXPECT_EQ(form->Soustava().FileName, path);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("first"));
    TPrutovaSoustava loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.PrutCount(), 1);

    Drag(form, {100, 40}, {100, 100});
    Main->Save1->trigger();
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.PrutCount(), 2) << "Save with a name writes without a dialog";
    EXPECT_EQ(Dialogs.size(), 1u);

    Drag(form, {100, 100}, {40, 40});
    FileAnswers = {path};
    Main->Saveas1->trigger();
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.PrutCount(), 3);
    EXPECT_EQ(form->Soustava().FileName, path);
    EXPECT_FALSE(form->Soustava().IsModified());
}

TEST_F(Document, SaveAsCancelledSavesNothing) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    FileAnswers = {QString()};
    EXPECT_FALSE(form->aFileSaveAsExecute());
    EXPECT_TRUE(form->Soustava().FileName.isEmpty());
    EXPECT_TRUE(QDir(Dir.path()).isEmpty());
}

TEST_F(Document, SaveOfAFileThatVanishedOffersSaveAs) {
    const QString path = Dir.filePath(QStringLiteral("gone.trs"));
    QFile::copy(Data("triangle.trs"), path);
    ASSERT_TRUE(Main->OpenTrussFile(path));
    TTrussForm* form = Main->ActiveTrussForm();
    QFile::remove(path);
    Answers = {mrNo};
    EXPECT_FALSE(form->aFileSaveExecute());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(Messages[0].Text.contains(path));
    EXPECT_FALSE(QFileInfo::exists(path));

    const QString other = Dir.filePath(QStringLiteral("elsewhere.trs"));
    Answers = {mrYes};
    FileAnswers = {other};
    EXPECT_TRUE(form->aFileSaveExecute());
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_EQ(form->Soustava().FileName, other);
}

TEST_F(Document, SaveThatCannotWriteShowsTheErrorAndKeepsTheChanges) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    Answers = {mrOk};
    FileAnswers = {Dir.filePath(QStringLiteral("no/such/folder/x.trs"))};
    EXPECT_FALSE(form->aFileSaveAsExecute());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Kind, mtError);
    EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("x.trs")));
    EXPECT_TRUE(form->Soustava().IsModified());
}

TEST_F(Document, ClosingAChangedWindowAsks) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    QMdiSubWindow* window = Main->MdiArea->activeSubWindow();

    Answers = {mrCancel};
    window->close();
    QTest::qWait(0);
    ASSERT_EQ(Main->TrussForms().size(), 1) << "Cancel keeps the window";
    EXPECT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Buttons, Btn(mbYes) | Btn(mbNo) | Btn(mbCancel));

    const QString path = Dir.filePath(QStringLiteral("kept.trs"));
    Answers = {mrYes};
    FileAnswers = {path};
    window->close();
    QTest::qWait(0);
    EXPECT_TRUE(Main->TrussForms().isEmpty());
    TPrutovaSoustava loaded;
    ASSERT_TRUE(loaded.LoadFromFile(path));
    EXPECT_EQ(loaded.PrutCount(), 1);
}

TEST_F(Document, ClosingAfterYesAndACancelledSaveAsStaysOpen) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    Answers = {mrYes};
    FileAnswers = {QString()};
    Main->MdiArea->activeSubWindow()->close();
    QTest::qWait(0);
    EXPECT_EQ(Main->TrussForms().size(), 1);
}

TEST_F(Document, UnchangedWindowsCloseWithoutAQuestion) {

    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    form->aUndo->trigger();
    EXPECT_FALSE(form->Soustava().IsModified()) << "undone back to the empty state";
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    Main->MdiArea->closeAllSubWindows();
    QTest::qWait(0);
    EXPECT_TRUE(Main->TrussForms().isEmpty());
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Main->LastFiles->Entry(1).FileName, Data("triangle.trs"));
    EXPECT_FALSE(Main->LastFiles->Entry(1).Open) << "the closed window cleared its flag";
}

TEST_F(Document, NoQuestionWhenDiscarded) {
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    Answers = {mrNo};
    Main->MdiArea->activeSubWindow()->close();
    QTest::qWait(0);
    EXPECT_TRUE(Main->TrussForms().isEmpty());
}

TEST_F(Document, GridIsDrawnAsDotsOrLinesAtTheStep) {
    TTrussForm* form = NewWindow();
    const QImage& p = form->Image->Picture();
    const QRgb silver = qRgb(192, 192, 192);
    EXPECT_EQ(form->Image->size(), form->ScrollBox->size() - QSize(5, 5));
    EXPECT_EQ(form->size(), TTrussForm::DesignSize());
    EXPECT_EQ(p.pixel(20, 40), silver);
    EXPECT_EQ(p.pixel(10, 40), qRgb(255, 255, 255)) << "dots while grid-as-line is checked";
    Main->aGridAsLine->trigger();
    EXPECT_EQ(form->Image->Picture().pixel(10, 40), silver) << "lines when unchecked";
    Main->aShowGrid->trigger();
    EXPECT_EQ(form->Image->Picture().pixel(20, 40), qRgb(255, 255, 255));
}

TEST_F(Document, GridStepChangeRefreshesEveryWindowWhenTheFieldIsLeft) {
    TTrussForm* first = NewWindow();
    TTrussForm* second = NewWindow();
    const QRgb silver = qRgb(192, 192, 192);
    Main->RxSpinEditGrid->setFocus();
    Main->RxSpinEditGrid->setValue(25);
    EXPECT_EQ(first->Image->Picture().pixel(25, 25), qRgb(255, 255, 255));
    emit Main->RxSpinEditGrid->editingFinished();
    for (TTrussForm* f : {first, second}) {
        EXPECT_EQ(f->Image->Picture().pixel(25, 25), silver);
        EXPECT_EQ(f->Image->Picture().pixel(20, 20), qRgb(255, 255, 255));
    }
}

TEST_F(Document, FailedSolveDrawsGreyBars) {
    ASSERT_TRUE(Main->OpenTrussFile(Data("mechanism.trs")));
    TTrussForm* form = Main->ActiveTrussForm();
    const TPrut& bar = form->Soustava().Prut(0);
    const QPoint mid((bar.Sa_X + bar.Sb_X) / 2, (bar.Sa_Y + bar.Sb_Y) / 2);
    const QColor c = form->Image->Picture().pixelColor(mid);
    EXPECT_EQ(c.red(), c.green());
    EXPECT_EQ(c.green(), c.blue());
}

TEST_F(Document, WindowOwnsItsTrussAndResizeRedraws) {
    TTrussForm* form = NewWindow();
    QMdiSubWindow* window = Main->MdiArea->activeSubWindow();
    window->resize(window->size() + QSize(60, 40));
    QTest::qWait(0);
    EXPECT_EQ(form->Image->size(), form->ScrollBox->size() - QSize(5, 5));
}

} // namespace
