// Screenshots, the pen bar and the bitmap-size dialog.
#include "BMPDlg.h"
#include "GuiFixture.h"
#include "Screenshot.h"

#include "../services/ReadOnlyPath.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {

using Shell = TMainFormTest;

TEST_F(Shell, ScreenshotWritesTheActiveWindowAsABitmapNamedAfterItsCaption) {
    Main->ScreenshotFolder = Dir.path();
    const QString path = Dir.filePath(QStringLiteral("bridge.trs"));
    QFile::copy(Data("triangle.trs"), path);
    ASSERT_TRUE(Main->OpenTrussFile(path));
    Answers = {mrOk, mrOk};
    Main->Screenshot1->trigger();
    const QString bmp = Dir.filePath(QStringLiteral("bridge.bmp"));
    ASSERT_TRUE(QFileInfo::exists(bmp));
    QImageReader reader(bmp);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    EXPECT_EQ(image.size(), Main->ActiveTrussForm()->size()) << "the client area only";
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text,
              QStringLiteral(
                  "Snímek aktivního okna uložen do souboru \"bridge.bmp\" v adresáři programu."));

    Main->ActiveTrussForm()->parentWidget()->resize(500, 300);
    QTest::qWait(0);
    Main->Screenshot1->trigger();
    EXPECT_EQ(QImageReader(bmp).size(), Main->ActiveTrussForm()->size()) << "overwritten";
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST_F(Shell, ScreenshotOfANewWindowIsNamedDotBmp) {
    Main->ScreenshotFolder = Dir.path();
    NewWindow();
    Answers = {mrOk};
    Main->Screenshot1->trigger();
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath(QStringLiteral(".bmp"))));
}

TEST_F(Shell, ScreenshotWithoutTrussWindowTakesTheMainWindow) {
    Main->ScreenshotFolder = Dir.path();
    Answers = {mrOk};
    Main->Screenshot1->trigger();
    const QString bmp = ScreenshotFileName(Dir.path(), Main->windowTitle());
    ASSERT_TRUE(QFileInfo::exists(bmp));
    EXPECT_EQ(QImageReader(bmp).size(), Main->size());
}

// The user's pictures folder as the platform names it, emptied for the test.
QString FreshPicturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    QDir(pictures).removeRecursively();
    return pictures;
}

TEST_F(Shell, ScreenshotOfAnInstalledCopyGoesToThePicturesFolder) {
    Main->ScreenshotFolder = Dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(Main->ScreenshotFolder);
    const QString pictures = FreshPicturesFolder();
    const QString path = Dir.filePath(QStringLiteral("bridge.trs"));
    QFile::copy(Data("triangle.trs"), path);
    ASSERT_TRUE(Main->OpenTrussFile(path));
    const TReadOnlyPath installed(Main->ScreenshotFolder);
    if (installed.Writable())
        GTEST_SKIP() << "this user can write to any folder and cannot set the immutable flag";
    Answers = {mrOk};
    Main->Screenshot1->trigger();
    const QString bmp = pictures + QStringLiteral("/bridge.bmp");
    ASSERT_TRUE(QFileInfo::exists(bmp)) << "the pictures folder is made when missing";
    EXPECT_EQ(QImageReader(bmp).size(), Main->ActiveTrussForm()->size());
    EXPECT_TRUE(QDir(Main->ScreenshotFolder).isEmpty());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Kind, mtInformation);
    EXPECT_EQ(Messages[0].Text, QStringLiteral("Snímek aktivního okna uložen do souboru \"") + bmp +
                                    QStringLiteral("\"."));
}

TEST_F(Shell, ScreenshotThatNoFolderTakesShowsTheErrorOnly) {
    Main->ScreenshotFolder = Dir.filePath(QStringLiteral("missing/folder"));
    const QString pictures = FreshPicturesFolder();
    QDir().mkpath(pictures);
    const TReadOnlyPath locked(pictures);
    if (locked.Writable())
        GTEST_SKIP() << "this user can write to any folder and cannot set the immutable flag";
    Answers = {mrOk};
    Main->Screenshot1->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Kind, mtError);
    const QString name = Main->windowTitle() + QStringLiteral(".bmp");
    EXPECT_TRUE(Messages[0].Text.startsWith(QStringLiteral("Snímek aktivního okna nelze uložit.")));
    EXPECT_TRUE(Messages[0].Text.contains(Main->ScreenshotFolder + u'/' + name));
    EXPECT_TRUE(Messages[0].Text.contains(pictures + u'/' + name));
    EXPECT_FALSE(QDir(Main->ScreenshotFolder).exists());
    EXPECT_TRUE(QDir(pictures).isEmpty());
}

TEST(ScreenshotName, CharactersAFileNameCannotHoldBecomeUnderscores) {
    EXPECT_EQ(ScreenshotFileName(QStringLiteral("/d"), QStringLiteral("a/b")),
              QStringLiteral("/d/a_b.bmp"));
    EXPECT_EQ(ScreenshotFileName(QStringLiteral("/d"), QString(QStringLiteral("x")) + QChar(u'\0')),
              QStringLiteral("/d/x_.bmp"));
    EXPECT_EQ(ScreenshotFileName(QStringLiteral("/d"), QString()), QStringLiteral("/d/.bmp"));
    EXPECT_EQ(ScreenshotFileName(QStringLiteral("/d"), QStringLiteral("Trabex v.2.1 (cs)")),
              QStringLiteral("/d/Trabex v.2.1 (cs).bmp"));
}

TEST_F(Shell, PenBarSetsStylesAndShapeTools) {
    EXPECT_FALSE(Main->PenBar->isVisible());
    EXPECT_FALSE(Main->PenButton->isVisible());
    Main->PenButton->setChecked(true);
    Main->PenButtonClick();
    EXPECT_TRUE(Main->PenBar->isVisible());
    EXPECT_EQ(Main->PenBar->height(), 72);
    QTest::mouseClick(Main->DashDotPen, Qt::LeftButton);
    EXPECT_EQ(Main->Style.PenStyle, 3);
    QTest::mouseClick(Main->DiagCrossBrush, Qt::LeftButton);
    EXPECT_EQ(Main->Style.BrushStyle, 7);
    QTest::mouseClick(Main->btDtEllipse, Qt::LeftButton);
    EXPECT_EQ(Main->DrawingTool, dtEllipse);
    EXPECT_FALSE(Main->DiagCrossBrush->isChecked()) << "shapes and brushes share one group";
    EXPECT_EQ(Main->Style.BrushStyle, 7);
    Main->SetPenStyle(Main->btDtLine);
    EXPECT_EQ(Main->Style.PenStyle, 3) << "another sender changes nothing";
    QTest::mouseClick(Main->btDtRoundRect, Qt::LeftButton);
    EXPECT_EQ(Main->DrawingTool, dtRoundRect);

    EXPECT_EQ(Main->Style.PenWidth, 0);
    Main->PenWidth->setValue(4);
    EXPECT_EQ(Main->Style.PenWidth, 4);
    Main->PenButton->setChecked(false);
    Main->PenButtonClick();
    EXPECT_FALSE(Main->PenBar->isVisible());
}

TEST_F(Shell, ShapeToolsCreateNothing) {
    TTrussForm* form = NewWindow();
    for (QToolButton* b : {Main->btDtLine, Main->btDtRectangle, Main->btDtEllipse}) {
        Main->SetDrawingTool(b);
        Drag(form, {40, 40}, {100, 100});
    }
    EXPECT_EQ(form->Soustava().PrutCount(), 0);
    EXPECT_EQ(form->Soustava().SnapshotCount(), 0);
}

TEST_F(Shell, ColourDialogKeepsTheOldColourOnCancel) {
    std::vector<QColor> offered;
    std::optional<QColor> answer = QColor(Qt::red);
    ColourDialogHandler = [&](const QColor& initial) {
        offered.push_back(initial);
        return answer;
    };
    Main->PenColorClick();
    EXPECT_EQ(Main->Style.PenColor, QColor(Qt::red));
    answer.reset();
    Main->PenColorClick();
    EXPECT_EQ(Main->Style.PenColor, QColor(Qt::red));
    ASSERT_EQ(offered.size(), 2u);
    EXPECT_EQ(offered[0], QColor(Qt::black));
    EXPECT_EQ(offered[1], QColor(Qt::red));
    answer = QColor(Qt::blue);
    Main->BrushColorClick();
    EXPECT_EQ(Main->Style.BrushColor, QColor(Qt::blue));
    EXPECT_EQ(Main->Style.PenColor, QColor(Qt::red));
    ColourDialogHandler = nullptr;
}

TEST(BitmapDialog, CaptionFieldsAndButtons) {
    TNewBMPForm dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Bitmap Dimensions"));
    EXPECT_EQ(dialog.size(), QSize(233, 120));
    EXPECT_TRUE(dialog.WidthEdit->text().isEmpty());
    EXPECT_TRUE(dialog.HeightEdit->text().isEmpty());
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("OKBtn"));
    ASSERT_NE(ok, nullptr);
    EXPECT_TRUE(ok->isDefault());
    QTimer::singleShot(
        0, &dialog, [&] { dialog.findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    QTimer::singleShot(0, &dialog, [&] { ok->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

} // namespace
