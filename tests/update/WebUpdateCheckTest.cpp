// Tests of whole update checks against a scripted server: the events in order, the version
// outcomes, redirection pages, the local file name, the question window, options and the start
// of the downloaded file.
#include "WebUpdateFixture.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

using WebUpdateCheck = WebUpdateFixture;
using WebUpdateRedirection = WebUpdateFixture;
using WebUpdateClientFile = WebUpdateFixture;
using WebUpdateShowInfo = WebUpdateFixture;
using WebUpdateRun = WebUpdateFixture;

TEST_F(WebUpdateCheck, ASuccessfulCheckRaisesEveryEventInOrder) {
    const QByteArray page = UpdatePage();
    ServeInfo(page);
    const QByteArray content = "#!/bin/sh\n" + QByteArray(2040, '#');
    ServeSetup(content);
    ASSERT_TRUE(update.RunUpdateCheck());
    const std::string file = TargetFile("TrabexSetup.sh").toStdString();
    const std::string pageRead =
        "Download " + std::to_string(page.size()) + "/" + std::to_string(page.size());
    EXPECT_EQ(log, (std::vector<std::string>{
                       "BeforeGetInfo", pageRead, "AfterGetInfo",
                       "UpdateAvailable 2.1.0.88 2.1.0.90", "BeforeShowInfo 11",
                       "GetClientFileName " + file, "BeforeDownload " + file, "Download 1025/2050",
                       "Download 2050/2050", "AfterDownload " + file, "Terminate"}));
    EXPECT_EQ(update.LocalFileName().toStdString(), file);
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), content);
    ASSERT_EQ(update.Starts.size(), 1u);
    EXPECT_EQ(update.Starts[0].first.toStdString(), file);
    EXPECT_EQ(update.WebProductName(), "Trabex");
    EXPECT_EQ(update.WebDownload(), kSetupPath);
    EXPECT_FALSE(update.Busy());
}

TEST_F(WebUpdateCheck, AnEqualOrOlderVersionIsNoUpdate) {
    for (const char* published : {"2.1.0.88", "2.0.9.99", "2.1.0.87", "2.1"}) {
        server.Serve(kInfoPath, Body(InfoPage(published, Tag("mxDownload", kSetupPath) +
                                                             Tag("mxClientSideName", "x.sh"))));
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << published;
        EXPECT_EQ(std::vector<std::string>(log.begin() + 2, log.end()),
                  (std::vector<std::string>{"AfterGetInfo", "NoUpdateFound"}))
            << published;
    }
    EXPECT_EQ(RequestsFor(kSetupPath), 0);
    EXPECT_TRUE(TargetEntries().isEmpty());
}

TEST_F(WebUpdateCheck, TheVersionFormatDecidesWhatIsNewer) {
    struct TCase {
        TmxVersionFormat format;
        const char* installed;
        const char* published;
        bool newer;
    };
    ServeSetup("#!/bin/sh\n");
    update.SetOptions(uoOverwrite);
    for (const TCase& c :
         {TCase{vfStandard, "2.9", "2.10", true}, TCase{vfString, "2.9", "2.10", false},
          TCase{vfNumber, "2.9", "2.10", false}, TCase{vfNumber, "2.9", "2.95", true},
          TCase{vfString, "2.1a", "2.1b", true}}) {
        update.ProductInfo().SetVersionFormat(c.format);
        update.ProductInfo().SetVersion(c.installed);
        server.Serve(kInfoPath, Body(InfoPage(c.published, Tag("mxDownload", kSetupPath) +
                                                               Tag("mxClientSideName", "x.sh"))));
        log.clear();
        EXPECT_EQ(update.RunUpdateCheck(), c.newer) << c.installed << " " << c.published;
        EXPECT_EQ(Count("NoUpdateFound"), c.newer ? 0 : 1) << c.installed << " " << c.published;
        EXPECT_EQ(Count("UpdateAvailable"), c.newer ? 1 : 0) << c.installed << " " << c.published;
    }
}

TEST_F(WebUpdateCheck, APageWithoutProductOrVersionIsOneError) {
    for (const QByteArray& page :
         {Tag("mxVersion", "3.0"), Tag("mxProduct", "Trabex"),
          "<html>" + Tag("mxProduct", "Trabex") + "<meta name=\"mxVersion\" content=\"3.0\">"}) {
        ServeInfo(page);
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck());
        EXPECT_EQ(std::vector<std::string>(log.begin() + 2, log.end()),
                  (std::vector<std::string>{"AfterGetInfo", "DownloadError"}));
    }
}

TEST_F(WebUpdateCheck, LowerCaseContentIsRead) {
    ServeInfo("<META NAME=\"mxProduct\" content=\"Trabex\">\n<META NAME=\"mxVersion\" "
              "Content=\"2.1.0.88\">\n");
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("NoUpdateFound"), 1);
    EXPECT_EQ(Count("DownloadError"), 0);
    EXPECT_EQ(update.WebProductName(), "Trabex");
}

TEST_F(WebUpdateCheck, DeclinedInTheUpdateEventNothingIsDownloaded) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    CanUpdate = false;
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(log.back(), "UpdateAvailable 2.1.0.88 2.1.0.90");
    EXPECT_EQ(RequestsFor(kSetupPath), 0);
}

TEST_F(WebUpdateCheck, TheHttpPrefixIsAddedToTheProductUrl) {
    ServeInfo(InfoPage("2.1.0.88"));
    update.ProductInfo().SetURL("127.0.0.1/TrabexUpdateInfo.htm");
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("NoUpdateFound"), 1);
    EXPECT_EQ(RequestsFor(kInfoPath), 1);
}

TEST_F(WebUpdateRedirection, ValuesComeFromThePageNamedOnly) {
    ServeInfo(InfoPage("9.9", Tag("mxAuthor", "First") + Tag("mxEmail", "first@example.org") +
                                  Tag("mxRedirection", "http://127.0.0.1/real.htm")));
    server.Serve("/real.htm", Body(InfoPage("2.1.0.88", Tag("mxAuthor", "Second"))));
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("NoUpdateFound"), 1);
    EXPECT_EQ(update.WebVersion(), "2.1.0.88");
    EXPECT_EQ(update.WebAuthor(), "Second");
    EXPECT_TRUE(update.WebEmail().isEmpty());
    EXPECT_TRUE(update.WebRedirection().isEmpty());
    EXPECT_EQ(RequestsFor("/real.htm"), 1);
}

TEST_F(WebUpdateRedirection, AChainIsFollowedEightPagesDeep) {
    // kInfoPath -> /r1.htm -> ... -> /r8.htm, which publishes the version.
    ServeInfo(Tag("mxRedirection", "/r1.htm"));
    for (int i = 1; i < TmxWebUpdate::kMaxRedirectionPages; ++i)
        server.Serve("/r" + QByteArray::number(i) + ".htm",
                     Body(Tag("mxRedirection", "/r" + QByteArray::number(i + 1) + ".htm")));
    const QByteArray last = "/r" + QByteArray::number(TmxWebUpdate::kMaxRedirectionPages) + ".htm";
    server.Serve(last, Body(InfoPage("2.1.0.88")));
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("NoUpdateFound"), 1);
    EXPECT_EQ(Count("DownloadError"), 0);
    EXPECT_EQ(server.Requests().size(), size_t(TmxWebUpdate::kMaxRedirectionPages) + 1);

    // One page more and the check fails as if the page could not be read.
    server.Serve(last, Body(Tag("mxRedirection", "/final.htm") + InfoPage("2.1.0.90")));
    server.Serve("/final.htm", Body(InfoPage("2.1.0.90")));
    log.clear();
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("DownloadError"), 2);
    EXPECT_EQ(Count("UpdateAvailable"), 0);
    EXPECT_EQ(RequestsFor("/final.htm"), 0);
    EXPECT_TRUE(update.WebVersion().isEmpty());
}

TEST_F(WebUpdateRedirection, APageThatLeadsBackToItselfFails) {
    for (const QByteArray& target :
         {QByteArray("/TrabexUpdateInfo.htm"), QByteArray("http://127.0.0.1/TrabexUpdateInfo.htm"),
          QByteArray("HTTP://127.0.0.1/TrabexUpdateInfo.htm")}) {
        ServeInfo(InfoPage("2.1.0.90", Tag("mxRedirection", target)));
        log.clear();
        const size_t before = server.Requests().size();
        EXPECT_FALSE(update.RunUpdateCheck()) << target.constData();
        EXPECT_EQ(std::vector<std::string>(log.begin() + 2, log.end()),
                  (std::vector<std::string>{"DownloadError", "AfterGetInfo", "DownloadError"}))
            << target.constData();
        EXPECT_EQ(server.Requests().size() - before, 1u) << target.constData();
    }

    // Two pages naming each other.
    ServeInfo(Tag("mxRedirection", "/other.htm"));
    server.Serve("/other.htm", Body(Tag("mxRedirection", "/TrabexUpdateInfo.htm")));
    const size_t before = server.Requests().size();
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(server.Requests().size() - before, 2u);
}

TEST_F(WebUpdateClientFile, AnExistingFileIsKeptWithoutOverwrite) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
    update.SetOptions(uoRunUpdate | uoTerminate);
    EXPECT_FALSE(update.RunUpdateCheck());
    const std::string file = TargetFile("TrabexSetup.sh").toStdString();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"GetClientFileName " + file,
                                        "ClientFileExists " + file + " 0", "DownloadError"}));
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "old setup");
    EXPECT_EQ(RequestsFor(kSetupPath), 0);
    EXPECT_TRUE(update.Starts.empty());

    // The handler may allow it after all.
    ForceOverwrite = true;
    log.clear();
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "#!/bin/sh\n");
}

TEST_F(WebUpdateClientFile, OverwriteIsOfferedToTheHandlerWithTheOption) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
    update.SetOptions(uoOverwrite);
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(Count("ClientFileExists " + TargetFile("TrabexSetup.sh").toStdString() + " 1"), 1);
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "#!/bin/sh\n");
}

TEST_F(WebUpdateClientFile, TheHandlerMayNameAnotherFile) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    update.SetOptions({});
    ClientFileName = TargetFile("Renamed.sh");
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(update.LocalFileName(), TargetFile("Renamed.sh"));
    EXPECT_EQ(TargetEntries(), QStringList{"Renamed.sh"});
    EXPECT_EQ(Count("AfterDownload " + TargetFile("Renamed.sh").toStdString()), 1);
}

TEST_F(WebUpdateClientFile, APageCannotWriteOutsideTheTargetFolder) {
    update.SetOptions({});
    ServeSetup("#!/bin/sh\n");
    for (const QByteArray& name : {QByteArray("../escape.sh"), QByteArray("../../escape.sh"),
                                   QByteArray("/tmp/../escape.sh"), QByteArray("..\\escape.sh"),
                                   QByteArray("sub/dir/escape.sh")}) {
        ServeInfo(UpdatePage(name));
        log.clear();
        EXPECT_TRUE(update.RunUpdateCheck()) << name.constData();
        EXPECT_EQ(update.LocalFileName(), TargetFile("escape.sh")) << name.constData();
        EXPECT_EQ(TargetEntries(), QStringList{"escape.sh"}) << name.constData();
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{"target"})
            << name.constData();
        QFile::remove(TargetFile("escape.sh"));
    }
}

TEST_F(WebUpdateClientFile, AnUnusableNameIsADownloadError) {
    update.SetOptions(uoRunUpdate | uoTerminate);
    ServeSetup("#!/bin/sh\n");
    for (const QByteArray& name :
         {QByteArray(""), QByteArray(".."), QByteArray("dir/"), QByteArray("a\tb")}) {
        ServeInfo(UpdatePage(name));
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << name.constData();
        EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
                  (std::vector<std::string>{"GetClientFileName ", "DownloadError"}))
            << name.constData();
    }
    EXPECT_EQ(RequestsFor(kSetupPath), 0);
    EXPECT_TRUE(TargetEntries().isEmpty());
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateClientFile, WithoutATargetFolderTheTemporaryFolderIsUsed) {
    ServeInfo(UpdatePage());
    update.GetInfo();
    ASSERT_TRUE(update.Success());
    EXPECT_EQ(update.GetClientFileName(), TargetFile("TrabexSetup.sh"));
    update.SetTargetFolder(Target() + "/");
    EXPECT_EQ(update.GetClientFileName(), TargetFile("TrabexSetup.sh"));
    for (const QString& missing : {folder.filePath("missing"), QString(), TargetFile("file")}) {
        if (missing.endsWith("file"))
            WriteFile(missing, "not a folder");
        update.SetTargetFolder(missing);
        EXPECT_EQ(update.GetClientFileName(), QDir::tempPath() + "/TrabexSetup.sh")
            << missing.toStdString();
    }
}

// The information window as the owner would supply it: answers as told and keeps what it got.
class TFakeInfoWindow : public TmxInfoWindow {
public:
    struct TRecord {
        int Created = 0;
        int Destroyed = 0;
        std::vector<TmxInfoWindowData> Shown;
        bool Answer = true;
        bool TickOnClose = false; // the check box state the user leaves
    };
    explicit TFakeInfoWindow(TRecord& record) : record(record) { ++record.Created; }
    ~TFakeInfoWindow() override { ++record.Destroyed; }
    bool ShowModal(TmxInfoWindowData& data) override {
        record.Shown.push_back(data);
        data.CheckForUpdate = record.TickOnClose;
        return record.Answer;
    }

private:
    TRecord& record;
};

TEST_F(WebUpdateShowInfo, TheWindowIsAskedAndItsAnswerDecides) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    update.SetOptions({});
    update.InfoCaption().OkButton = "&Ano";
    ShowInfoWindow = true;
    CheckForUpdate = false;
    TFakeInfoWindow::TRecord record;
    update.InfoWindowFactory = [&record] { return std::make_unique<TFakeInfoWindow>(record); };

    record.Answer = false;
    record.TickOnClose = true;
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"BeforeShowInfo 11", "AfterShowInfo 1"}));
    EXPECT_EQ(RequestsFor(kSetupPath), 0);

    record.Answer = true;
    record.TickOnClose = false;
    log.clear();
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(std::vector<std::string>(log.begin() + 4, log.begin() + 6),
              (std::vector<std::string>{"BeforeShowInfo 11", "AfterShowInfo 0"}));
    EXPECT_EQ(RequestsFor(kSetupPath), 1);

    EXPECT_EQ(record.Created, 1);
    ASSERT_EQ(record.Shown.size(), 2u);
    const TmxInfoWindowData& shown = record.Shown[0];
    EXPECT_EQ(shown.URL, "http://127.0.0.1/TrabexUpdateInfo.htm");
    EXPECT_EQ(shown.OkCaption, "&Ano");
    EXPECT_EQ(shown.CancelCaption, "&Cancel");
    EXPECT_EQ(shown.CheckForUpdateCaption, "C&heck for updates in the future");
    EXPECT_FALSE(shown.CheckForUpdate);
}

TEST_F(WebUpdateShowInfo, TheWindowIsMadeOnceAndGoesWithTheComponent) {
    TFakeInfoWindow::TRecord record;
    auto owner = std::make_unique<TmxWebUpdate>();
    owner->ProductInfo().SetURL("example.org/TrabexUpdateInfo.htm");
    owner->InfoWindowFactory = [&record] { return std::make_unique<TFakeInfoWindow>(record); };
    EXPECT_TRUE(owner->ShowInfo());
    EXPECT_TRUE(owner->ShowInfo());
    EXPECT_EQ(record.Created, 1);
    EXPECT_EQ(record.Destroyed, 0);
    ASSERT_EQ(record.Shown.size(), 2u);
    EXPECT_EQ(record.Shown[1].URL, "http://example.org/TrabexUpdateInfo.htm");
    EXPECT_TRUE(record.Shown[1].CheckForUpdate);
    owner.reset();
    EXPECT_EQ(record.Destroyed, 1);
}

TEST_F(WebUpdateShowInfo, WithoutAWindowTheDownloadIsDeclined) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    ShowInfoWindow = true;
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(log.back(), "BeforeShowInfo 11");
    EXPECT_EQ(RequestsFor(kSetupPath), 0);

    update.InfoWindowFactory = [] { return std::unique_ptr<TmxInfoWindow>(); };
    log.clear();
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(log.back(), "BeforeShowInfo 11");
}

TEST_F(WebUpdateRun, TheDownloadedFileIsStartedWithItsParameters) {
    QTemporaryDir markers;
    ASSERT_TRUE(markers.isValid());
    const QString marker = markers.filePath("started");
    // A page's value cannot hold a double quote, so the parameters part at every blank.
    ServeInfo(UpdatePage("TrabexSetup.sh", "--quiet  two words 'C:\\x'"));
    ServeSetup(MarkerScript(marker));
    update.RealStart = true;
    update.SetOptions(uoRunUpdate);
    EXPECT_TRUE(update.RunUpdateCheck());
    ASSERT_EQ(Count("CannotExecute"), 0);
    EXPECT_EQ(Count("Terminate"), 0);
    ASSERT_TRUE(WaitForFile(marker));
    EXPECT_EQ(ReadFile(marker), "--quiet\ntwo\nwords\n'C:\\x'\n");
    EXPECT_TRUE(QFileInfo(TargetFile("TrabexSetup.sh")).isExecutable());
}

TEST_F(WebUpdateRun, ARelativeNameStartsTheFileWrittenNotOneOnThePath) {
    QTemporaryDir markers;
    ASSERT_TRUE(markers.isValid());
    const QString marker = markers.filePath("started");
    ServeInfo(UpdatePage("ls", "one"));
    ServeSetup(MarkerScript(marker));
    update.RealStart = true;
    update.SetOptions(uoRunUpdate);
    const QString current = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Target()));
    ClientFileName = "ls";
    const bool result = update.RunUpdateCheck();
    QDir::setCurrent(current);
    EXPECT_TRUE(result);
    ASSERT_EQ(Count("CannotExecute"), 0);
    ASSERT_TRUE(WaitForFile(marker));
    EXPECT_EQ(ReadFile(marker), "one\n");
}

TEST_F(WebUpdateRun, AFileThatCannotStartIsReportedAndTheProgramStillEnds) {
    ServeInfo(UpdatePage());
    ServeSetup("no interpreter line, so no program\n");
    update.RealStart = true;
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(std::vector<std::string>(log.end() - 2, log.end()),
              (std::vector<std::string>{"CannotExecute", "Terminate"}));
}

TEST_F(WebUpdateRun, OptionsDecideStartAndEnd) {
    struct TCase {
        TmxUpdateOptions options;
        bool starts;
        bool ends;
    };
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    for (const TCase& c :
         {TCase{{}, false, false}, TCase{uoTerminate, false, false},
          TCase{uoRunUpdate, true, false}, TCase{uoRunUpdate | uoTerminate, true, true}}) {
        update.SetOptions(c.options | uoOverwrite);
        update.Starts.clear();
        log.clear();
        EXPECT_TRUE(update.RunUpdateCheck()) << int(c.options);
        EXPECT_EQ(update.Starts.size(), c.starts ? 1u : 0u) << int(c.options);
        EXPECT_EQ(Count("Terminate"), c.ends ? 1 : 0) << int(c.options);
    }
}

TEST_F(WebUpdateRun, WithoutATerminateHandlerTheEventLoopQuits) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    update.TerminateHandler = nullptr;
    // Ends the loop should quit() fail to, so that the test fails instead of hanging.
    constexpr std::chrono::seconds kLoopDeadline{120};
    constexpr int kLoopLeftByDeadline = 99;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout,
                     [] { QCoreApplication::exit(kLoopLeftByDeadline); });
    deadline.start(kLoopDeadline);
    bool result = false;
    QTimer::singleShot(0, &update, [&] { result = update.RunUpdateCheck(); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(result);
}

} // namespace
