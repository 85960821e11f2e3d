// The translated message box: captions, names, width and placement.
#include "plsDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(MessageBox, NarrowBoxIsWidenedAndItsButtonsStayCentred) {
    const auto box =
        CreateTranslatedMessageBox(QStringLiteral("T"), QStringLiteral("x"), mtWarning, Btn(mbOK));
    EXPECT_EQ(box->width(), 300);
    box->show();
    QApplication::processEvents();
    auto* ok = box->findChild<QPushButton*>(QStringLiteral("OK"));
    ASSERT_NE(ok, nullptr);
    const int centre = ok->mapTo(box.get(), ok->rect().center()).x();
    EXPECT_NEAR(centre, 150, 2);
}

TEST(MessageBox, WideBoxKeepsItsWidth) {
    const auto box = CreateTranslatedMessageBox(QString(), QString(200, u'W'), mtError, Btn(mbOK));
    EXPECT_GT(box->width(), 300);
}

TEST(MessageBox, ButtonsCarryNamesCaptionsAndResults) {
    ButtonCaptions[mbYes].Caption = QStringLiteral("&Ano");
    const auto box =
        CreateTranslatedMessageBox(QStringLiteral("Q"), QStringLiteral("?"), mtConfirmation,
                                   Btn(mbYes) | Btn(mbNo) | Btn(mbCancel));
    ButtonCaptions[mbYes].Caption = StandardButtonCaption(mbYes);
    auto* yes = box->findChild<QPushButton*>(QStringLiteral("Yes"));
    ASSERT_NE(yes, nullptr);
    EXPECT_EQ(yes->text(), QStringLiteral("&Ano"));
    EXPECT_EQ(box->findChild<QPushButton*>(QStringLiteral("No"))->text(), QStringLiteral("&No"));
    EXPECT_EQ(box->findChild<QPushButton*>(QStringLiteral("OK")), nullptr);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Q"));
    QTimer::singleShot(0, box.get(), [&] { yes->click(); });
    box->exec();
    EXPECT_EQ(box->clickedButton()->property("modalResult").toInt(), int{mrYes});
}

TEST(MessageBox, AmpersandsAreShownLiterally) {
    const QString text = QStringLiteral("A && B &x <b>bold</b>");
    const auto box = CreateTranslatedMessageBox(QString(), text, mtInformation, Btn(mbOK));
    auto* label = box->findChild<QLabel*>(QStringLiteral("message"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_EQ(label->buddy(), nullptr) << "no buddy, so no accelerator is taken from the text";
}

TEST(MessageBox, EmptyCaptionGivesTheApplicationTitle) {
    const QString saved = QApplication::applicationName();
    QApplication::setApplicationName(QStringLiteral("Trabex"));
    const auto box =
        CreateTranslatedMessageBox(QString(), QStringLiteral("t"), mtWarning, Btn(mbOK));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Trabex"));
    QApplication::setApplicationName(saved);
}

TEST(MessageBox, PlacedAtGivenCoordinatesOrCentred) {
    const auto placed =
        CreateTranslatedMessageBox(QString(), QStringLiteral("t"), mtWarning, Btn(mbOK), 40, 60);
    EXPECT_EQ(placed->pos(), QPoint(40, 60));
    const auto centred =
        CreateTranslatedMessageBox(QString(), QStringLiteral("t"), mtWarning, Btn(mbOK));
    const QRect screen = centred->screen()->availableGeometry();
    EXPECT_NEAR(centred->geometry().center().x(), screen.center().x(), 2);
}

} // namespace
