// Tests of the update component's transfers against a scripted server: the request sent, reads
// of 1025 bytes, lengths, status codes, size limits, Abort, Busy and handlers that misbehave.
#include "WebUpdateFixture.h"
#include "mxWebUpdateHttp.h"

#include <QTimer>

namespace {

// Delay of an abort that should come while the transfer waits for a stalled server; should the
// machine be so slow that it comes at the read before, the outcome is the same.
constexpr std::chrono::milliseconds kAbortDelay{100};

using WebUpdateRequest = WebUpdateFixture;
using WebUpdateTransfer = WebUpdateFixture;
using WebUpdateAbort = WebUpdateFixture;

TEST_F(WebUpdateRequest, IsAnHttp10GetWithTheAgentAndNoCaching) {
    ServeInfo(InfoPage("2.1.0.88"));
    update.GetInfo();
    ASSERT_TRUE(update.Success());
    const std::vector<TRecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const TRecordedRequest& request = requests[0];
    EXPECT_EQ(request.RequestLine, "GET /TrabexUpdateInfo.htm HTTP/1.0");
    EXPECT_EQ(request.Header("User-Agent"), QByteArray("TmxWebUpdate"));
    EXPECT_EQ(request.Header("Pragma"), QByteArray("no-cache"));
    EXPECT_EQ(request.Header("Cache-Control"), QByteArray("no-cache"));
    EXPECT_EQ(request.Header("Accept"), QByteArray("*/*"));
    EXPECT_FALSE(request.Header("Authorization").has_value());
    EXPECT_FALSE(request.Header("Accept-Encoding").has_value());
}

TEST_F(WebUpdateRequest, CarriesBasicCredentialsWhenAUserNameIsSet) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    update.SetUserName("update");
    update.SetPassword(QString::fromUtf8("tajné:heslo"));
    update.SetOptions({});
    ASSERT_TRUE(update.RunUpdateCheck());
    const QByteArray expected =
        "Basic " +
        QByteArray("update:").append(QString::fromUtf8("tajné:heslo").toUtf8()).toBase64();
    const std::vector<TRecordedRequest> requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const TRecordedRequest& request : requests)
        EXPECT_EQ(request.Header("Authorization"), expected) << request.RequestLine.constData();
}

TEST_F(WebUpdateRequest, GoesToHttpPortWhateverTheUrlSays) {
    ServeInfo(InfoPage("2.1.0.90"));
    update.ProductInfo().SetURL("127.0.0.1:1/TrabexUpdateInfo.htm");
    EXPECT_EQ(update.ProductInfo().URL(), "http://127.0.0.1:1/TrabexUpdateInfo.htm");
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(update.WebVersion(), "2.1.0.90");
    EXPECT_EQ(RequestsFor(kInfoPath), 1);
}

TEST_F(WebUpdateRequest, APortAbove65535FailsWithoutATransferEvent) {
    ServeInfo(InfoPage("2.1.0.90"));
    update.SetHTTPPort(65536);
    EXPECT_FALSE(update.RunUpdateCheck());
    // The only error is the one for the missing product and version.
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "AfterGetInfo", "DownloadError"}));
    EXPECT_TRUE(server.Requests().empty());
}

TEST_F(WebUpdateRequest, ARedirectionPageWithoutHostUsesTheProductHost) {
    ServeInfo(InfoPage("1.0", Tag("mxRedirection", "/second/info.htm?lang=cs")));
    server.Serve("/second/info.htm?lang=cs", Body(InfoPage("2.1.0.90")));
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(update.WebVersion(), "2.1.0.90");
    EXPECT_EQ(RequestsFor("/second/info.htm?lang=cs"), 1);
}

TEST_F(WebUpdateTransfer, ReadsArriveIn1025ByteChunks) {
    server.Serve(kInfoPath, Body(PageOfSize(3000)));
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(DownloadEvents(),
              (std::vector<std::string>{"Download 1025/3000", "Download 2050/3000",
                                        "Download 3000/3000"}));
    EXPECT_EQ(update.ChunkBytes(), 950);
    EXPECT_EQ(update.TotalBytes(), 3000);
    EXPECT_EQ(update.WebVersion(), "2.1.0.90");

    // A body of exactly two reads gives no empty third one.
    log.clear();
    server.Serve(kInfoPath, Body(PageOfSize(2050)));
    update.GetInfo();
    EXPECT_EQ(DownloadEvents(),
              (std::vector<std::string>{"Download 1025/2050", "Download 2050/2050"}));
}

TEST_F(WebUpdateTransfer, LargeBodiesAreReadInFullChunksToo) {
    const qsizetype size = 64 * 1025 + 7;
    ServeInfo(UpdatePage());
    QByteArray content = "#!/bin/sh\n" + QByteArray(size - 10, '#');
    ServeSetup(content);
    update.SetOptions({});
    ASSERT_TRUE(update.RunUpdateCheck());
    const std::vector<std::string> events = DownloadEvents();
    ASSERT_EQ(events.size(), 1u + 65u);
    for (int i = 1; i <= 64; ++i)
        EXPECT_EQ(events[size_t(i)],
                  "Download " + std::to_string(i * 1025) + "/" + std::to_string(size));
    EXPECT_EQ(events.back(), "Download " + std::to_string(size) + "/" + std::to_string(size));
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), content);
}

TEST_F(WebUpdateTransfer, APageNeedsNoContentLengthAndKeepsTheLastTotal) {
    server.Serve(kInfoPath, Body(PageOfSize(3000)));
    update.GetInfo();
    TScriptedResponse page = Body(InfoPage("2.2"));
    page.SendContentLength = false;
    server.Serve(kInfoPath, page);
    log.clear();
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(update.WebVersion(), "2.2");
    EXPECT_EQ(
        DownloadEvents(),
        (std::vector<std::string>{"Download " + std::to_string(InfoPage("2.2").size()) + "/3000"}));
}

TEST_F(WebUpdateTransfer, AnEmptyPageIsAFailedTransfer) {
    ServeInfo("");
    update.GetInfo();
    EXPECT_FALSE(update.Success());
    EXPECT_EQ(log, (std::vector<std::string>{"DownloadError"}));
}

TEST_F(WebUpdateTransfer, AnErrorStatusIsNeverReadAsThePage) {
    for (const int status : {404, 500, 300, 403}) {
        TScriptedResponse error = Body(InfoPage("9.9"));
        error.Status = status;
        error.Reason = "Scripted";
        server.Serve(kInfoPath, error);
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << status;
        EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "DownloadError", "AfterGetInfo",
                                                 "DownloadError"}))
            << status;
        EXPECT_TRUE(update.WebVersion().isEmpty()) << status;
        EXPECT_TRUE(update.InfoLines().isEmpty()) << status;
    }
}

TEST_F(WebUpdateTransfer, AnUnreachableServerIsAFailedTransfer) {
    std::uint16_t closedPort = 0;
    {
        const TScriptedHttpServer gone;
        closedPort = gone.Port();
    }
    update.SetHTTPPort(closedPort);
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "DownloadError", "AfterGetInfo",
                                             "DownloadError"}));
}

TEST_F(WebUpdateTransfer, HttpRedirectionsAreFollowedButNotForever) {
    TScriptedResponse moved;
    moved.Status = 302;
    moved.Reason = "Found";
    moved.Body = InfoPage("9.9");
    moved.ExtraHeaders = {"Location: /moved.htm"};
    server.Serve(kInfoPath, moved);
    server.Serve("/moved.htm", Body(InfoPage("2.1.0.90")));
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(update.WebVersion(), "2.1.0.90");
    EXPECT_EQ(DownloadEvents().size(), 1u);

    // A redirection without a target, and one to itself, fail.
    moved.ExtraHeaders.clear();
    server.Serve(kInfoPath, moved);
    log.clear();
    update.GetInfo();
    EXPECT_FALSE(update.Success());
    EXPECT_EQ(log, (std::vector<std::string>{"DownloadError"}));

    moved.ExtraHeaders = {"Location: /TrabexUpdateInfo.htm"};
    server.Serve(kInfoPath, moved);
    log.clear();
    const int before = RequestsFor(kInfoPath);
    update.GetInfo();
    EXPECT_FALSE(update.Success());
    EXPECT_EQ(log, (std::vector<std::string>{"DownloadError"}));
    EXPECT_EQ(RequestsFor(kInfoPath) - before, int(kMaxHttpRedirects) + 1);
}

TEST_F(WebUpdateTransfer, AFileWithoutContentLengthFails) {
    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body("#!/bin/sh\necho update\n");
    setup.SendContentLength = false;
    server.Serve(kSetupPath, setup);
    update.SetOptions(uoRunUpdate | uoTerminate);
    EXPECT_FALSE(update.RunUpdateCheck());
    const std::string file = TargetFile("TrabexSetup.sh").toStdString();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"BeforeDownload " + file, "DownloadError",
                                        "AfterDownload " + file}));
    EXPECT_EQ(RequestsFor(kSetupPath), 1);
    EXPECT_TRUE(TargetEntries().isEmpty());
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateTransfer, AFileOfTheWrongLengthFailsAndLeavesTheOldFile) {
    ServeInfo(UpdatePage());
    WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
    update.SetOptions(uoRunUpdate | uoOverwrite);
    const QByteArray content(3000, 's');
    for (const QByteArray& announced : {QByteArray("5000"), QByteArray("2999"), QByteArray("0")}) {
        TScriptedResponse setup = Body(content);
        setup.ContentLength = announced;
        server.Serve(kSetupPath, setup);
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << announced.constData();
        EXPECT_EQ(Count("DownloadError"), 1) << announced.constData();
        EXPECT_EQ(Count("AfterDownload"), 1) << announced.constData();
        // Every byte that came was read, more or fewer than announced.
        EXPECT_EQ(update.DownloadedBytes(), 3000) << announced.constData();
        EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "old setup") << announced.constData();
        EXPECT_EQ(TargetEntries(), QStringList{"TrabexSetup.sh"}) << announced.constData();
    }
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateTransfer, AServerThatStopsEarlyLeavesNoFile) {
    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body(QByteArray(3000, 's'));
    setup.StallAfter = 1500;
    setup.CloseOnRelease = true;
    server.Serve(kSetupPath, setup);
    update.SetOptions(uoRunUpdate);
    bool released = false;
    update.OnDownload = [&](TmxWebUpdate& sender, std::int32_t, std::int32_t) {
        // The first read of the file: the server sends nothing more and closes.
        if (sender.TotalBytes() == 3000 && !released) {
            released = true;
            server.ReleaseStall();
        }
    };
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_TRUE(released);
    EXPECT_EQ(update.DownloadedBytes(), 1500);
    EXPECT_EQ(Count("DownloadError"), 1);
    EXPECT_TRUE(TargetEntries().isEmpty());
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateTransfer, AnErrorStatusIsNeverSavedNorStarted) {
    ServeInfo(UpdatePage());
    TScriptedResponse missing = Body("#!/bin/sh\necho not the setup\n");
    missing.Status = 404;
    missing.Reason = "Not Found";
    server.Serve(kSetupPath, missing);
    update.SetOptions(uoRunUpdate | uoTerminate);
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("DownloadError"), 1);
    EXPECT_EQ(Count("AfterDownload"), 1);
    EXPECT_EQ(Count("Terminate"), 0);
    EXPECT_EQ(DownloadEvents().size(), 1u); // the page's read only
    EXPECT_TRUE(TargetEntries().isEmpty());
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateTransfer, AContentLengthThatIsNoNumberFailsWithoutAnEvent) {
    for (const QByteArray& length :
         {QByteArray("12abc"), QByteArray("-5"), QByteArray("5000000000"), QByteArray("0x10"),
          QByteArray("")}) {
        TScriptedResponse page = Body(InfoPage("2.1.0.90"));
        page.ContentLength = length;
        server.Serve(kInfoPath, page);
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << length.constData();
        EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "AfterGetInfo", "DownloadError"}))
            << length.constData();
    }

    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body("#!/bin/sh\n");
    setup.ContentLength = "ten";
    server.Serve(kSetupPath, setup);
    log.clear();
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("DownloadError"), 0);
    EXPECT_EQ(Count("AfterDownload"), 1);
    EXPECT_TRUE(TargetEntries().isEmpty());
}

TEST_F(WebUpdateTransfer, APageLongerThanTheLimitFails) {
    TScriptedResponse page = Body(PageOfSize(TmxWebUpdate::kMaxInfoPageBytes));
    page.SendContentLength = false;
    server.Serve(kInfoPath, page);
    update.GetInfo();
    EXPECT_TRUE(update.Success());
    EXPECT_EQ(update.WebVersion(), "2.1.0.90");

    page.Body += 'x';
    server.Serve(kInfoPath, page);
    log.clear();
    update.GetInfo();
    EXPECT_FALSE(update.Success());
    EXPECT_EQ(Count("DownloadError"), 1);
    EXPECT_TRUE(update.WebVersion().isEmpty());

    // An announced length above the limit is refused before anything is read.
    page.ContentLength = QByteArray::number(TmxWebUpdate::kMaxInfoPageBytes + 1);
    page.SendContentLength = true;
    server.Serve(kInfoPath, page);
    log.clear();
    update.GetInfo();
    EXPECT_FALSE(update.Success());
    EXPECT_EQ(log, (std::vector<std::string>{"DownloadError"}));
}

TEST_F(WebUpdateTransfer, AFileAnnouncedAboveTheLimitIsRefusedUnread) {
    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body("#!/bin/sh\n");
    setup.ContentLength = QByteArray::number(TmxWebUpdate::kMaxDownloadBytes + 1);
    server.Serve(kSetupPath, setup);
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(DownloadEvents().size(), 1u); // the page's read only
    EXPECT_EQ(Count("DownloadError"), 1);
    EXPECT_TRUE(TargetEntries().isEmpty());
}

TEST_F(WebUpdateTransfer, AnExistingFileIsReplacedOnlyWhenTheDownloadIsComplete) {
    ServeInfo(UpdatePage());
    const QByteArray content = "#!/bin/sh\n" + QByteArray(4000, '#');
    ServeSetup(content);
    WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
    update.SetOptions(uoOverwrite);
    std::vector<QByteArray> seenDuringDownload;
    update.OnDownload = [&](TmxWebUpdate& sender, std::int32_t total, std::int32_t) {
        if (total == content.size())
            seenDuringDownload.push_back(ReadFile(sender.TargetFolder() + "/TrabexSetup.sh"));
    };
    ASSERT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(seenDuringDownload, std::vector<QByteArray>(4, "old setup"));
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), content);
    EXPECT_EQ(TargetEntries(), QStringList{"TrabexSetup.sh"});
}

TEST_F(WebUpdateTransfer, AFileThatCannotBeWrittenFailsWithoutAnError) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    ClientFileName = Target() + "/no/such/folder/TrabexSetup.sh";
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(Count("DownloadError"), 0);
    EXPECT_EQ(Count("AfterDownload"), 1);
    EXPECT_EQ(RequestsFor(kSetupPath), 1);
    EXPECT_TRUE(TargetEntries().isEmpty());
}

TEST_F(WebUpdateTransfer, AFileThatCannotBeWrittenIsReportedOnceWithItsName) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    std::vector<QString> reported;
    update.OnLocalFileError = [&](TmxWebUpdate&, const QString& name) { reported.push_back(name); };
    // A folder that is missing, and one that takes no file even from a privileged user.
    for (const QString& name :
         {Target() + "/no/such/folder/TrabexSetup.sh", QString("/proc/TrabexSetup.sh")}) {
        ClientFileName = name;
        reported.clear();
        log.clear();
        EXPECT_FALSE(update.RunUpdateCheck()) << name.toStdString();
        EXPECT_EQ(reported, std::vector<QString>{name});
        EXPECT_EQ(Count("DownloadError"), 0) << name.toStdString();
        EXPECT_EQ(Count("Terminate"), 0) << name.toStdString();
    }
    EXPECT_TRUE(update.Starts.empty());
}

TEST_F(WebUpdateTransfer, AHandlerThatThrowsEndsTheTransferWithoutAnError) {
    ServeInfo(PageOfSize(3000));
    update.OnDownload = [this](TmxWebUpdate&, std::int32_t, std::int32_t) {
        Log("Download");
        throw std::runtime_error("handler failed");
    };
    EXPECT_FALSE(update.RunUpdateCheck());
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "Download", "AfterGetInfo",
                                             "DownloadError"}));
    EXPECT_FALSE(update.Busy());
}

TEST_F(WebUpdateTransfer, ATransferStartedFromAHandlerIsRefused) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n" + QByteArray(3000, '#'));
    update.SetOptions({});
    int innerRequests = -1;
    update.OnDownload = [&](TmxWebUpdate& sender, std::int32_t, std::int32_t) {
        if (innerRequests >= 0)
            return;
        const size_t before = server.Requests().size();
        sender.HttpGet("http://127.0.0.1/TrabexUpdateInfo.htm", {}, {}, false, false);
        innerRequests = int(server.Requests().size() - before);
    };
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(innerRequests, 0);
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(WebUpdateAbort, StopsThePageAtTheNextReadWithoutAnError) {
    ServeInfo(PageOfSize(3000));
    update.OnDownload = [this](TmxWebUpdate& sender, std::int32_t, std::int32_t downloaded) {
        Log("Download " + std::to_string(downloaded));
        sender.Abort();
    };
    EXPECT_FALSE(update.RunUpdateCheck());
    // The error is the one for the missing product and version.
    EXPECT_EQ(log, (std::vector<std::string>{"BeforeGetInfo", "Download 1025", "AfterGetInfo",
                                             "DownloadError"}));
    EXPECT_TRUE(update.Aborted());
}

TEST_F(WebUpdateAbort, StopsADownloadWaitingForTheServer) {
    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body(QByteArray(3000, 's'));
    setup.StallAfter = 1500;
    server.Serve(kSetupPath, setup);
    WriteFile(TargetFile("TrabexSetup.sh"), "old setup");
    update.SetOptions(uoRunUpdate | uoTerminate | uoOverwrite);
    update.OnDownload = [this](TmxWebUpdate& sender, std::int32_t total, std::int32_t downloaded) {
        Log("Download " + std::to_string(downloaded) + "/" + std::to_string(total));
        // On the first read of the file: abort from the event processing while the rest of the
        // file stays out.
        if (total == 3000)
            QTimer::singleShot(kAbortDelay, &sender, [&sender] { sender.Abort(); });
    };
    EXPECT_FALSE(update.RunUpdateCheck());
    const std::string file = TargetFile("TrabexSetup.sh").toStdString();
    EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
              (std::vector<std::string>{"BeforeDownload " + file, "Download 1025/3000",
                                        "AfterDownload " + file}));
    EXPECT_EQ(Count("DownloadError"), 0);
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")), "old setup");
    EXPECT_EQ(TargetEntries(), QStringList{"TrabexSetup.sh"});
    EXPECT_TRUE(update.Starts.empty());
    EXPECT_EQ(Count("Terminate"), 0);
}

TEST_F(WebUpdateAbort, BeforeACheckHasNoEffect) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n");
    update.SetOptions({});
    update.Abort();
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_FALSE(update.Aborted());
}

TEST_F(WebUpdateAbort, ByTheDestructorOfAnIdleComponentIsHarmless) {
    auto owned = std::make_unique<TmxWebUpdate>();
    owned->Abort();
    EXPECT_TRUE(owned->Aborted());
    owned.reset();
}

TEST_F(WebUpdateTransfer, ASecondCheckFromADownloadEventIsRefused) {
    ServeInfo(UpdatePage());
    ServeSetup("#!/bin/sh\n" + QByteArray(3000, '#'));
    update.SetOptions({});
    std::vector<bool> inner;
    update.OnDownload = [&](TmxWebUpdate& sender, std::int32_t, std::int32_t) {
        EXPECT_TRUE(sender.Busy());
        const size_t events = log.size();
        inner.push_back(sender.RunUpdateCheck());
        EXPECT_EQ(log.size(), events);
    };
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(inner, std::vector<bool>(1 + 3, false));
    EXPECT_FALSE(update.Busy());
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(WebUpdateTransfer, ASecondCheckFromTheEventProcessingIsRefused) {
    ServeInfo(UpdatePage());
    TScriptedResponse setup = Body("#!/bin/sh\n" + QByteArray(3000, '#'));
    setup.StallAfter = 1500;
    server.Serve(kSetupPath, setup);
    update.SetOptions({});
    std::optional<bool> second;
    bool armed = false;
    update.OnDownload = [&](TmxWebUpdate& sender, std::int32_t total, std::int32_t) {
        if (total != 3010 || armed)
            return;
        armed = true;
        // What a menu command does while the file comes: runs from the event processing.
        QTimer::singleShot(0, &sender, [&] {
            second = sender.RunUpdateCheck();
            server.ReleaseStall();
        });
    };
    EXPECT_TRUE(update.RunUpdateCheck());
    EXPECT_EQ(second, false);
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_EQ(ReadFile(TargetFile("TrabexSetup.sh")).size(), 3010);
}

} // namespace
