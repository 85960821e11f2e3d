// The setting of the update tests that talk to a server: a scripted server, a target folder, a
// component whose every event is written to a log, and helpers to build pages.
#pragma once

#include "ScriptedHttpServer.h"
#include "mxWebUpdate.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The component with its start of the downloaded file recorded; RealStart decides whether the
// file is really started.
class TTestWebUpdate : public TmxWebUpdate {
public:
    bool RealStart = true;
    std::vector<std::pair<QString, QString>> Starts; // file name and parameters of every start

    using TmxWebUpdate::StartFile;

protected:
    bool StartFile(const QString& fileName, const QString& parameters) override {
        Starts.emplace_back(fileName, parameters);
        return RealStart ? TmxWebUpdate::StartFile(fileName, parameters) : true;
    }
};

class WebUpdateFixture : public testing::Test {
protected:
    // How long a started program may take to leave its marker file on a loaded machine.
    static constexpr std::chrono::seconds kStartDeadline{60};
    // Pause between two looks for the marker file.
    static constexpr std::chrono::milliseconds kPollInterval{20};

    static constexpr const char* kInfoPath = "/TrabexUpdateInfo.htm";
    static constexpr const char* kSetupPath = "/files/TrabexSetup.sh";

    void SetUp() override {
        // Requests to 127.0.0.1 must not go to a proxy that the environment may name.
        for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"})
            unsetenv(name);
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(QDir().mkpath(Target()));
        update.ProductInfo().SetURL("http://127.0.0.1/TrabexUpdateInfo.htm");
        update.ProductInfo().SetVersion("2.1.0.88");
        update.SetHTTPPort(server.Port());
        update.SetTargetFolder(Target());
        update.RealStart = false;
        RecordEvents();
    }

    // The target folder, inside a folder of its own so that writes beside it can be seen.
    QString Target() const { return folder.filePath("target"); }
    QString TargetFile(const QString& name) const { return Target() + "/" + name; }
    QStringList TargetEntries() const {
        return QDir(Target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                        QDir::NoDotAndDotDot);
    }

    static QByteArray Tag(const QByteArray& name, const QByteArray& value) {
        return "<META NAME=\"" + name + "\" CONTENT=\"" + value + "\">\r\n";
    }
    // An information page with the product and version tags and whatever more is given.
    static QByteArray InfoPage(const QByteArray& version, const QByteArray& more = {}) {
        return "<html><head><title>Trabex</title>\r\n" + Tag("mxProduct", "Trabex") +
               Tag("mxVersion", version) + more + "</head><body>New version</body></html>\r\n";
    }
    // A page announcing 2.1.0.90 with the setup file at kSetupPath.
    static QByteArray UpdatePage(const QByteArray& clientName = "TrabexSetup.sh",
                                 const QByteArray& parameters = {}) {
        return InfoPage("2.1.0.90", Tag("mxDownload", kSetupPath) +
                                        Tag("mxClientSideName", clientName) +
                                        Tag("mxRunParameters", parameters));
    }
    static TScriptedResponse Body(const QByteArray& body) {
        TScriptedResponse response;
        response.Body = body;
        return response;
    }
    void ServeInfo(const QByteArray& page) { server.Serve(kInfoPath, Body(page)); }
    void ServeSetup(const QByteArray& content) { server.Serve(kSetupPath, Body(content)); }
    // A body of exactly size bytes holding the information page's tags.
    static QByteArray PageOfSize(qsizetype size) {
        QByteArray page = InfoPage("2.1.0.90");
        page += QByteArray(size - page.size(), 'x');
        return page;
    }

    // Every event as one line of the log; OnBeforeShowInfo answers with ShowInfoWindow and
    // CheckForUpdate.
    void RecordEvents() {
        update.OnBeforeGetInfo = [this](TmxWebUpdate&) { Log("BeforeGetInfo"); };
        update.OnAfterGetInfo = [this](TmxWebUpdate&) { Log("AfterGetInfo"); };
        update.OnNoUpdateFound = [this](TmxWebUpdate&) { Log("NoUpdateFound"); };
        update.OnDownloadError = [this](TmxWebUpdate&) { Log("DownloadError"); };
        update.OnCannotExecute = [this](TmxWebUpdate&) { Log("CannotExecute"); };
        update.OnDownload = [this](TmxWebUpdate&, std::int32_t total, std::int32_t downloaded) {
            Log("Download " + std::to_string(downloaded) + "/" + std::to_string(total));
        };
        update.OnUpdateAvailable = [this](TmxWebUpdate&, const QString& actual,
                                          const QString& published, bool& canUpdate) {
            Log("UpdateAvailable " + actual.toStdString() + " " + published.toStdString());
            canUpdate = CanUpdate;
        };
        update.OnBeforeShowInfo = [this](TmxWebUpdate&, bool& showInfo, bool& checkForUpdate) {
            Log("BeforeShowInfo " + std::to_string(showInfo) + std::to_string(checkForUpdate));
            showInfo = ShowInfoWindow;
            checkForUpdate = CheckForUpdate;
        };
        update.OnAfterShowInfo = [this](TmxWebUpdate&, bool checkForUpdate) {
            Log("AfterShowInfo " + std::to_string(checkForUpdate));
        };
        update.OnGetClientFileName = [this](TmxWebUpdate&, QString& fileName) {
            Log("GetClientFileName " + fileName.toStdString());
            if (!ClientFileName.isEmpty())
                fileName = ClientFileName;
        };
        update.OnClientFileExists = [this](TmxWebUpdate&, QString& fileName, bool& overwrite) {
            Log("ClientFileExists " + fileName.toStdString() + " " + std::to_string(overwrite));
            if (ForceOverwrite)
                overwrite = true;
        };
        update.OnBeforeDownload = [this](TmxWebUpdate&, const QString& fileName) {
            Log("BeforeDownload " + fileName.toStdString());
        };
        update.OnAfterDownload = [this](TmxWebUpdate&, const QString& fileName) {
            Log("AfterDownload " + fileName.toStdString());
        };
        update.TerminateHandler = [this](TmxWebUpdate&) { Log("Terminate"); };
    }
    void Log(const std::string& line) { log.push_back(line); }
    int Count(const std::string& prefix) const {
        int count = 0;
        for (const std::string& line : log)
            count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return count;
    }
    std::vector<std::string> DownloadEvents() const {
        std::vector<std::string> events;
        for (const std::string& line : log)
            if (line.rfind("Download ", 0) == 0)
                events.push_back(line);
        return events;
    }
    int RequestsFor(const QByteArray& path) const {
        int count = 0;
        for (const TRecordedRequest& request : server.Requests())
            count += request.RequestLine == "GET " + path + " HTTP/1.0" ? 1 : 0;
        return count;
    }

    static QByteArray ReadFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void WriteFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }
    // Waits, at most kStartDeadline, for a file that a started program writes.
    static bool WaitForFile(const QString& path) {
        const auto deadline = std::chrono::steady_clock::now() + kStartDeadline;
        while (!QFile::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(kPollInterval);
        }
        return true;
    }
    // A shell script that writes its arguments, one a line, to marker (complete or not at all).
    static QByteArray MarkerScript(const QString& marker) {
        const QByteArray path = marker.toUtf8();
        return "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + path + ".part' && mv '" + path +
               ".part' '" + path + "'\n";
    }

    TScriptedHttpServer server;
    QTemporaryDir folder;
    TTestWebUpdate update;
    std::vector<std::string> log;
    // Answers of the recording handlers.
    bool CanUpdate = true;
    bool ShowInfoWindow = false; // as the main window answers: download without the window
    bool CheckForUpdate = true;
    bool ForceOverwrite = false;
    QString ClientFileName; // replaces the name in OnGetClientFileName when set
};
