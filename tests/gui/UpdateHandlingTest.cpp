// The frame window's update check against a scripted server: what the user sees and does.
#include "FUpdateProgress.h"
#include "FUpdateUnit.h"
#include "GuiFixture.h"
#include "RutinyUnit.h"
#include "ScriptedHttpServer.h"
#include "SettingsStore.h"
#include "ShowInfoUpdate.h"
#include "TestSigner.h"
#include "TrussApplication.h"
#include "mxWebUpdate.h"
#include "plsLangConsts.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

namespace {

// How long a started setup script may take to leave its marker on a loaded machine.
constexpr int StartDeadlineMs = 60000;

QByteArray Tag(const QByteArray& name, const QByteArray& value) {
    return "<META NAME=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
}

TScriptedResponse Body(const QByteArray& body) {
    TScriptedResponse r;
    r.Body = body;
    return r;
}

class UpdateCheck : public TMainFormTest {
protected:
    void SetUp() override {
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        {
            TSettingsStore store;
            store.WriteString(QStringLiteral("Update"), QStringLiteral("Host"),
                              QStringLiteral("127.0.0.1"));
            store.WriteInteger(QStringLiteral("Update"), QStringLiteral("Port"), server.Port());
            store.WriteString(QStringLiteral("Update"), QStringLiteral("PublicKey"),
                              signer.PublicKey());
        }
        TMainFormTest::SetUp();
        Main->UpdateFolder = Dir.path();
    }
    void TearDown() override {
        TMainFormTest::TearDown();
        TSettingsStore store;
        store.WriteString(QStringLiteral("Update"), QStringLiteral("Host"), QString());
        store.WriteString(QStringLiteral("Update"), QStringLiteral("PublicKey"), QString());
    }
    // A setup script that leaves a marker file beside itself when it runs, and padding bytes.
    static QByteArray SetupScript(qsizetype padding = 0) {
        return "#!/bin/sh\necho ran > \"$(dirname \"$0\")/marker\"\n" + QByteArray(padding, '#');
    }
    // Publishes version with the setup script, signed by the publisher.
    void Publish(const QByteArray& version, std::optional<QByteArray> contentLength = {}) {
        TScriptedResponse setup = Body(SetupScript());
        setup.ContentLength = contentLength;
        PublishSetup(version, setup, signer.SignatureTag(setup.Body));
    }
    // Publishes version with setup and the page's signature line signatureTag.
    void PublishSetup(const QByteArray& version, const TScriptedResponse& setup,
                      const QByteArray& signatureTag) {
        server.Serve("/TrabexUpdateInfo.htm",
                     Body("<html><head>\r\n" + Tag("mxProduct", "Trabex") +
                          Tag("mxVersion", version) + Tag("mxDownload", "/setup.sh") +
                          Tag("mxClientSideName", "TrabexSetup.sh") + signatureTag +
                          "</head></html>\r\n"));
        server.Serve("/setup.sh", setup);
    }
    // Waits up to StartDeadlineMs for a started setup script's marker in folder.
    static bool SetupRanIn(const QString& folder) {
        const QString marker = folder + QStringLiteral("/marker");
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(marker) && waited.elapsed() < StartDeadlineMs)
            QTest::qWait(20);
        return QFileInfo::exists(marker);
    }
    QString Marker() const { return Dir.filePath(QStringLiteral("marker")); }
    // Answers the update question when it comes up: Yes, No, or closing the window.
    enum TAnswer { Yes, No, Close };
    void AnswerQuestion(TAnswer answer) {
        auto* timer = new QTimer(Main.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, timer, [this, timer, answer] {
            auto* dialog = qobject_cast<TFormUpdate*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer->stop();
            Versions = {dialog->lbl_YourVersion->text(), dialog->lbl_WebVersion->text()};
            QuestionTitle = dialog->windowTitle();
            if (answer == Yes)
                dialog->Button1->click();
            else if (answer == No)
                dialog->Button2->click();
            else
                dialog->close();
            timer->deleteLater();
        });
        timer->start();
    }
    int Downloads() const {
        int n = 0;
        for (const TRecordedRequest& r : server.Requests())
            n += r.RequestLine.startsWith("GET /setup.sh");
        return n;
    }

    TTestSigner signer;
    TScriptedHttpServer server;
    QStringList Versions;
    QString QuestionTitle;
};

TEST_F(UpdateCheck, NoServerAtStartUpGivesTwoErrorBoxesThenNormalWork) {
    {
        TSettingsStore store;
        TScriptedHttpServer closed;
        store.WriteInteger(QStringLiteral("Update"), QStringLiteral("Port"), closed.Port());
    }
    Answers = {mrOk, mrOk};
    Main->StartUpdateCheck();
    ASSERT_EQ(Messages.size(), 2u);
    for (const auto& m : Messages) {
        EXPECT_EQ(m.Text, msg_CannotDownloadUpdate);
        EXPECT_EQ(m.Kind, mtError);
    }
    EXPECT_TRUE(Main->isVisible());
    EXPECT_NE(NewWindow(), nullptr);
}

TEST_F(UpdateCheck, EqualVersionIsSilentAtStartUpAndReportedAfterTheMenuCommand) {
    Publish(FileVersion().toUtf8());
    Main->StartUpdateCheck();
    EXPECT_TRUE(Messages.empty());
    const auto request = server.Requests().front();
    EXPECT_EQ(request.RequestLine, QByteArray("GET /TrabexUpdateInfo.htm HTTP/1.0"));
    Answers = {mrOk};
    Main->Checkforupdates1->trigger();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, msg_NoNewUpdate);
    EXPECT_EQ(Messages[0].Kind, mtInformation);
    Answers = {mrOk};
    Main->StartUpdateCheck();
    EXPECT_EQ(Messages.size(), 2u) << "from then on every check reports it";
}

TEST_F(UpdateCheck, NoAndClosingTheQuestionDownloadNothing) {
    Publish("9.0.0.1");
    for (TAnswer answer : {No, Close}) {
        AnswerQuestion(answer);
        Main->StartUpdateCheck();
        EXPECT_EQ(Versions, QStringList({FileVersion(), QStringLiteral("9.0.0.1")}))
            << "both version texts unchanged";
        EXPECT_EQ(Downloads(), 0);
        EXPECT_FALSE(Main->ProgressWindow()->isVisible());
        EXPECT_TRUE(Main->isVisible());
    }
    EXPECT_EQ(QuestionTitle, QStringLiteral("New_version_available"));
    EXPECT_TRUE(Messages.empty());
}

TEST_F(UpdateCheck, IncompleteDownloadKeepsTheProgressWindowAndTheProgram) {
    Publish("9.0.0.1", QByteArray("5000"));
    AnswerQuestion(Yes);
    Answers = {mrOk};
    Main->StartUpdateCheck();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, msg_CannotDownloadUpdate);
    EXPECT_TRUE(Main->ProgressWindow()->isVisible());
    EXPECT_TRUE(Main->ProgressWindow()->ProgressBar->isVisible());
    EXPECT_TRUE(Main->isVisible());
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath(QStringLiteral("TrabexSetup.sh"))));
    QTest::qWait(200);
    EXPECT_FALSE(QFileInfo::exists(Marker())) << "nothing was started";
}

TEST_F(UpdateCheck, YesDownloadsStartsTheSetupAndEndsTheProgram) {
    Publish("9.0.0.1");
    AnswerQuestion(Yes);
    Main->StartUpdateCheck();
    EXPECT_EQ(Downloads(), 1);
    EXPECT_TRUE(Messages.empty());
    const QString setup = Dir.filePath(QStringLiteral("TrabexSetup.sh"));
    EXPECT_TRUE(QFileInfo(setup).isExecutable());
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(Marker()) && waited.elapsed() < StartDeadlineMs)
        QTest::qWait(20);
    EXPECT_TRUE(QFileInfo::exists(Marker())) << "the setup script ran";
    EXPECT_FALSE(Main->isVisible()) << "the program ends after starting the setup";
    EXPECT_EQ(Main->ProgressWindow()->ProgressBar->value(),
              Main->ProgressWindow()->ProgressBar->maximum());
}

TEST_F(UpdateCheck, UnsavedDocumentsAreOfferedBeforeTheProgramEnds) {
    Publish("9.0.0.1");
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {100, 40});
    AnswerQuestion(Yes);
    Answers = {mrCancel};
    Main->StartUpdateCheck();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Buttons, Btn(mbYes) | Btn(mbNo) | Btn(mbCancel));
    EXPECT_TRUE(Main->isVisible()) << "Cancel keeps the document and the program";
}

TEST_F(UpdateCheck, BuildWithoutUpdateServerChecksNothing) {
    Publish("9.0.0.1");
    {
        TSettingsStore store;
        store.WriteString(QStringLiteral("Update"), QStringLiteral("Host"), QString());
    }
    Main->Checkforupdates1->trigger();
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(Messages.empty());
}

TEST_F(UpdateCheck, AnUnverifiedSetupAfterYesIsOneErrorAndRunsNothing) {
    const QByteArray script = SetupScript();
    struct TCase {
        const char* what;
        QByteArray signatureTag;
        QString trustedKey;
    };
    TTestSigner stranger;
    const TCase cases[] = {
        {"another publisher's signature", stranger.SignatureTag(script), signer.PublicKey()},
        {"no signature", {}, signer.PublicKey()},
        {"no trusted key", signer.SignatureTag(script), QString()},
    };
    for (const TCase& c : cases) {
        PublishSetup("9.0.0.1", Body(script), c.signatureTag);
        Main->SettingsStore->WriteString(QStringLiteral("Update"), QStringLiteral("PublicKey"),
                                         c.trustedKey);
        Messages.clear();
        AnswerQuestion(Yes);
        Answers = {mrOk};
        Main->StartUpdateCheck();
        ASSERT_EQ(Messages.size(), 1u) << c.what;
        EXPECT_EQ(Messages[0].Text, msg_CannotVerifyUpdate) << c.what;
        EXPECT_EQ(Messages[0].Kind, mtError) << c.what;
        EXPECT_FALSE(Main->ProgressWindow()->isVisible()) << c.what;
        EXPECT_TRUE(Main->isVisible()) << c.what;
        EXPECT_FALSE(QFileInfo::exists(Dir.filePath(QStringLiteral("TrabexSetup.sh")))) << c.what;
    }
    EXPECT_EQ(Downloads(), 3);
    QTest::qWait(200);
    EXPECT_FALSE(QFileInfo::exists(Marker())) << "nothing was started";
}

TEST_F(UpdateCheck, AProgramFolderThatTakesNoFileSendsTheSetupToTheDownloadFolder) {
    // /proc takes no new file, not even from a privileged user; the download folder is missing.
    Main->UpdateFolder = QStringLiteral("/proc");
    const QString downloads = Dir.filePath(QStringLiteral("home/Stažené soubory"));
    Main->UpdateDownloadFolder = downloads;
    Publish("9.0.0.1");
    AnswerQuestion(Yes);
    Main->StartUpdateCheck();
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(QFileInfo(downloads + QStringLiteral("/TrabexSetup.sh")).isExecutable());
    EXPECT_TRUE(SetupRanIn(downloads));
    EXPECT_FALSE(Main->isVisible()) << "the program ends after starting the setup";
}

TEST_F(UpdateCheck, ASetupThatCannotBeSavedAnywhereClosesTheProgressWindowAndSaysWhere) {
    Main->UpdateFolder = QStringLiteral("/proc");
    Main->UpdateDownloadFolder = QStringLiteral("/proc/Downloads");
    Publish("9.0.0.1");
    AnswerQuestion(Yes);
    Answers = {mrOk};
    Main->StartUpdateCheck();
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, FormatConst(msg_CannotSaveUpdate, QStringLiteral("/proc")));
    EXPECT_EQ(Messages[0].Kind, mtError);
    EXPECT_FALSE(Main->ProgressWindow()->isVisible());
    EXPECT_TRUE(Main->isVisible());
}

// The user closes the program while the start-up check waits for a server that has stalled.
// Should the check not stop, the server goes on after StallReleaseMs and the question that
// then follows is answered "Ne", so that the test fails instead of hanging.
constexpr int StallReleaseMs = 3000;

TEST_F(UpdateCheck, ClosingTheProgramDuringTheStartUpCheckStopsItAndReopensNothing) {
    ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
    std::vector<QString> reopened;
    Main->LastFiles->OnOpenFile = [&](const QString& name) { reopened.push_back(name); };
    TScriptedResponse page = Body("<html><head>\r\n" + Tag("mxProduct", "Trabex") +
                                  Tag("mxVersion", "9.0.0.1") + QByteArray(3000, ' '));
    page.StallAfter = 100;
    server.Serve("/TrabexUpdateInfo.htm", page);
    AnswerQuestion(No);
    QTimer::singleShot(200, Main.get(), [this] { Main->close(); });
    QTimer::singleShot(StallReleaseMs, [this] { server.ReleaseStall(); });
    EXPECT_FALSE(CheckUpdateAndReopen(*Main));
    EXPECT_FALSE(Main->isVisible());
    EXPECT_TRUE(Messages.empty());
    EXPECT_TRUE(Versions.isEmpty()) << "no question after the window closed";
    EXPECT_TRUE(reopened.empty()) << "no document reopened into a closed window";
}

TEST_F(UpdateCheck, ClosingTheProgramDuringTheDownloadStartsNothing) {
    TScriptedResponse setup = Body(SetupScript(3000));
    setup.StallAfter = 1500;
    PublishSetup("9.0.0.1", setup, signer.SignatureTag(setup.Body));
    AnswerQuestion(Yes);
    // Closes the program once the first part of the file is in.
    auto* closer = new QTimer(Main.get());
    closer->setInterval(5);
    QObject::connect(closer, &QTimer::timeout, closer, [this, closer, &setup] {
        const QProgressBar* bar = Main->ProgressWindow()->ProgressBar;
        if (bar->maximum() != setup.Body.size() || bar->value() == 0)
            return;
        closer->stop();
        Main->close();
    });
    closer->start();
    QTimer::singleShot(StallReleaseMs, [this] { server.ReleaseStall(); });
    Main->StartUpdateCheck();
    EXPECT_FALSE(Main->isVisible());
    EXPECT_TRUE(Messages.empty());
    EXPECT_FALSE(QFileInfo::exists(Dir.filePath(QStringLiteral("TrabexSetup.sh"))));
    QTest::qWait(200);
    EXPECT_FALSE(QFileInfo::exists(Marker())) << "nothing was started";
}

TEST(UpdateWindows, DesignOfTheQuestionAndTheProgressWindow) {
    TFormUpdate question(nullptr);
    EXPECT_EQ(question.size(), QSize(281, 164));
    EXPECT_EQ(question.Button1->geometry(), QRect(40, 128, 75, 25));
    EXPECT_EQ(question.Button2->geometry(), QRect(160, 128, 75, 25));
    EXPECT_TRUE(question.Label4->font().bold());
    EXPECT_TRUE(question.windowFlags() & Qt::WindowStaysOnTopHint);
    QTimer::singleShot(0, &question, [&] { question.Button2->click(); });
    EXPECT_EQ(question.exec(), int{mrCancel}) << "\"Ne\" gives Cancel, not No";
    QTimer::singleShot(0, &question, [&] { question.Button1->click(); });
    EXPECT_EQ(question.exec(), int{mrYes});

    TFormUpdateProgress progress(nullptr);
    EXPECT_EQ(progress.windowTitle(), QStringLiteral("Update_progress"));
    EXPECT_EQ(progress.size(), QSize(340, 80));
    EXPECT_EQ(progress.ProgressBar->geometry(), QRect(16, 17, 297, 16));
    EXPECT_FALSE(progress.ProgressBar->isVisibleTo(&progress));
}

} // namespace

namespace {

TEST(UpdateWindows, InformationWindowShowsThePageAndGivesBackItsAnswer) {
    Tfrm_ShowInfoUpdate window;
    EXPECT_EQ(window.size(), QSize(530, 453));
    TmxInfoWindowData data;
    data.URL = QStringLiteral("http://example.org/TrabexUpdateInfo.htm?a=1&b=<2>");
    data.OkCaption = QStringLiteral("&OK");
    data.CancelCaption = QStringLiteral("&Cancel");
    data.CheckForUpdateCaption = QStringLiteral("C&heck later");
    data.CheckForUpdate = true;
    QTimer::singleShot(0, &window, [&] {
        EXPECT_TRUE(window.WebBrowser->toPlainText().contains(QStringLiteral("?a=1&b=<2>")));
        EXPECT_EQ(window.btn_Cancel->text(), QStringLiteral("&Cancel"));
        window.chk_FutureUpdate->setChecked(false);
        window.btn_OK->click();
    });
    EXPECT_TRUE(window.ShowModal(data));
    EXPECT_FALSE(data.CheckForUpdate);
    QTimer::singleShot(0, &window, [&] { window.btn_Cancel->click(); });
    EXPECT_FALSE(window.ShowModal(data));
}

} // namespace
