// A frame window on the offscreen platform, with dialogs answered by the test.
#pragma once

#include "FTrussForm.h"
#include "FileDialogs.h"
#include "FormPlacement.h"
#include "TrussMainWin.h"
#include "UnitMatice.h"
#include "plsDialogs.h"

#include <QApplication>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

class TMainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setApplicationName(QStringLiteral("Trabex"));
        QFile::remove(OptionsIniFile());
        MessageDlgHandler = [this](const TMessageDlgRequest& r) {
            Messages.push_back(r);
            if (Answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << r.Text.toStdString();
                return int{mrCancel};
            }
            const int answer = Answers.front();
            Answers.erase(Answers.begin());
            return answer;
        };
        FileDialogHandler = [this](const TFileDialogRequest& r) {
            Dialogs.push_back(r);
            if (FileAnswers.empty()) {
                ADD_FAILURE() << "unexpected file dialog: " << r.Caption.toStdString();
                return QString();
            }
            const QString answer = FileAnswers.front();
            FileAnswers.erase(FileAnswers.begin());
            return answer;
        };
        Main = std::make_unique<TMainForm>();
        Main->resize(1100, 760);
        Main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    }

    void TearDown() override {
        Main.reset();
        MessageDlgHandler = nullptr;
        FileDialogHandler = nullptr;
        EXPECT_TRUE(Answers.empty()) << "a message box that was expected did not appear";
        EXPECT_TRUE(FileAnswers.empty()) << "a file dialog that was expected did not appear";
    }

    TTrussForm* NewWindow() {
        TTrussForm* form = Main->aNewTrussWindowExecute();
        QTest::qWait(0);
        return form;
    }

    // A left press at one drawing point and a release at another, with moves in between.
    static void Drag(TTrussForm* form, QPoint from, QPoint to,
                     Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(form->Image, button, Qt::NoModifier, from);
        QTest::mouseMove(form->Image, (from + to) / 2);
        QTest::mouseMove(form->Image, to);
        QTest::mouseRelease(form->Image, button, Qt::NoModifier, to);
    }

    void Pick(QAbstractButton* toolButton) { QTest::mouseClick(toolButton, Qt::LeftButton); }

    QString Data(const char* name) const { return QStringLiteral(TRABEX_TEST_DATA "/") + name; }

    std::unique_ptr<TMainForm> Main;
    std::vector<TMessageDlgRequest> Messages;
    std::vector<int> Answers;
    std::vector<TFileDialogRequest> Dialogs;
    std::vector<QString> FileAnswers;
    QTemporaryDir Dir;
};
