// The web update component TmxWebUpdate: asks a web server whether a newer version of the program
// exists, downloads its setup file and starts it, reporting every step through events.
#pragma once

#include "mxWebUpdateInfo.h"
#include "mxWebUpdatePage.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

class TmxWebUpdate;

// Address of the update-information page, the installed version and how versions compare.
class TmxProductInfo {
public:
    const QString& URL() const { return url; }
    // Stores value, with "http://" put in front unless its first seven characters are "http://"
    // in any letter case.
    void SetURL(const QString& value);
    const QString& Version() const { return version; }
    void SetVersion(const QString& value) { version = value; }
    TmxVersionFormat VersionFormat() const { return versionFormat; }
    void SetVersionFormat(TmxVersionFormat value) { versionFormat = value; }

private:
    QString url = QStringLiteral("http://");
    QString version = QStringLiteral("1.0");
    TmxVersionFormat versionFormat = vfStandard;
};

// Captions of the information window.
struct TmxInfoCaption {
    QString OkButton = QStringLiteral("&OK");
    QString CancelButton = QStringLiteral("&Cancel");
    QString CheckForUpdate = QStringLiteral("C&heck for updates in the future");
};

enum TmxUpdateOption {
    uoRunUpdate = 0x1, // start the downloaded file
    uoTerminate = 0x2, // then end the application (only together with uoRunUpdate)
    uoOverwrite = 0x4, // replace an existing local file of the same name
    // keep (and start) a downloaded file only when the page's signature of it verifies against
    // PublicKey; otherwise it is deleted and OnSignatureError raised
    uoVerifySignature = 0x8
};
Q_DECLARE_FLAGS(TmxUpdateOptions, TmxUpdateOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TmxUpdateOptions)

// The events; the first argument is always the component that raises it. Arguments taken by
// non-const reference are in/out: the handler may change them.
using TmxNotifyEvent = std::function<void(TmxWebUpdate& sender)>;
using TmxDownloadEvent =
    std::function<void(TmxWebUpdate& sender, std::int32_t total, std::int32_t downloaded)>;
using TmxUpdateAvailableEvent =
    std::function<void(TmxWebUpdate& sender, const QString& actualVersion,
                       const QString& newVersion, bool& canUpdate)>;
using TmxBeforeShowInfoEvent =
    std::function<void(TmxWebUpdate& sender, bool& showInfo, bool& checkForUpdate)>;
using TmxAfterShowInfoEvent = std::function<void(TmxWebUpdate& sender, bool checkForUpdate)>;
using TmxGetClientFileNameEvent = std::function<void(TmxWebUpdate& sender, QString& fileName)>;
using TmxClientFileExistsEvent =
    std::function<void(TmxWebUpdate& sender, QString& fileName, bool& overwrite)>;
using TmxFileNameEvent = std::function<void(TmxWebUpdate& sender, const QString& fileName)>;

// The component. Everything runs on the calling (user-interface) thread: a transfer is
// synchronous and lets the application process its pending events after every read, so windows
// repaint and the user can act; a second RunUpdateCheck meanwhile is refused through Busy.
// Destroy the component only while no check runs (Abort first, delete after RunUpdateCheck
// has returned, for example through deleteLater).
class TmxWebUpdate : public QObject {
    Q_OBJECT

public:
    // Version of the component: high byte "." low byte.
    static constexpr int ComponentVersion = 0x0115;
    // Largest update-information page read; a longer page fails like an unreachable one.
    static constexpr std::int32_t kMaxInfoPageBytes = 1 << 20;
    // Largest file downloaded (a setup file is far smaller; the byte counters are 32-bit).
    static constexpr std::int32_t kMaxDownloadBytes = 1 << 30;
    // Pages named by "mxRedirection" that one GetInfo follows after the first page; a page
    // further down the chain that still redirects, or a page naming one already read, fails.
    static constexpr int kMaxRedirectionPages = 8;
    // Highest port number; a larger HTTPPort makes every transfer fail without an event.
    static constexpr unsigned kMaxPort = 65535;

    explicit TmxWebUpdate(QObject* parent = nullptr);
    // Calls Abort, then frees the information window.
    ~TmxWebUpdate() override;

    // Published properties, in their published order.
    TmxTagInfo& TagInfo() { return tagInfo; }
    const TmxTagInfo& TagInfo() const { return tagInfo; }
    TmxProductInfo& ProductInfo() { return productInfo; }
    const TmxProductInfo& ProductInfo() const { return productInfo; }
    TmxInfoCaption& InfoCaption() { return infoCaption; }
    const TmxInfoCaption& InfoCaption() const { return infoCaption; }
    const QString& UserName() const { return userName; }
    void SetUserName(const QString& value) { userName = value; }
    const QString& Password() const { return password; }
    void SetPassword(const QString& value) { password = value; }
    TmxUpdateOptions Options() const { return options; }
    void SetOptions(TmxUpdateOptions value) { options = value; }
    // ComponentVersion as "%d.%d": "1.21". Read-only.
    QString Version() const;
    const QString& TargetFolder() const { return targetFolder; }
    void SetTargetFolder(const QString& value) { targetFolder = value; }
    unsigned HTTPPort() const { return httpPort; }
    void SetHTTPPort(unsigned value) { httpPort = value; }
    // The publisher's Ed25519 public key that signatures are checked against with
    // uoVerifySignature: base64 of its 32 raw bytes. Empty by default, which trusts no file.
    const QString& PublicKey() const { return publicKey; }
    void SetPublicKey(const QString& value) { publicKey = value; }

    // The events, raised only when assigned, in their published order.
    TmxFileNameEvent OnBeforeDownload;
    TmxFileNameEvent OnAfterDownload;
    TmxUpdateAvailableEvent OnUpdateAvailable;
    TmxGetClientFileNameEvent OnGetClientFileName;
    TmxClientFileExistsEvent OnClientFileExists;
    TmxBeforeShowInfoEvent OnBeforeShowInfo;
    TmxAfterShowInfoEvent OnAfterShowInfo;
    TmxNotifyEvent OnBeforeGetInfo;
    TmxNotifyEvent OnCannotExecute;
    TmxNotifyEvent OnAfterGetInfo;
    TmxNotifyEvent OnNoUpdateFound;
    TmxDownloadEvent OnDownload;
    TmxNotifyEvent OnDownloadError;
    // Beside those: the downloaded file could not be created or written as fileName (no
    // OnDownloadError then), and, with uoVerifySignature, a complete download that did not
    // verify and was deleted unkept.
    TmxFileNameEvent OnLocalFileError;
    TmxFileNameEvent OnSignatureError;

    // What the owner supplies in place of windows; these are hooks, not events.
    // Creates the information window Tfrm_ShowInfoUpdate on first use; without a factory (or
    // when it gives none) ShowInfo cannot ask the user and declines the download.
    std::function<std::unique_ptr<TmxInfoWindow>()> InfoWindowFactory;
    // Ends the application after the setup file was started with [uoRunUpdate, uoTerminate];
    // without a handler QCoreApplication::quit() is called (which ends a running event loop only).
    std::function<void(TmxWebUpdate& sender)> TerminateHandler;

    // The whole check: page, comparison, question, download, start. True when an update file was
    // downloaded completely, whether or not it could be started; false at once while Busy.
    bool RunUpdateCheck();
    // Reads the page (ProductInfo.URL, or WebRedirection when set) and the pages it redirects to
    // into the page values; sets Success.
    void GetInfo();
    // Fills the page values from InfoLines (mxParseInfo with TagInfo).
    void ParseInfo();
    // Whether WebVersion is newer than ProductInfo.Version; raises OnNoUpdateFound once when not.
    bool IsNewerVersion();
    // Downloads WebDownload to GetClientFileName (as OnGetClientFileName leaves it); sets
    // LocalFileName and Success.
    void DownloadFile();
    // One GET of url (a URL without a host takes that of ProductInfo.URL) on HTTPPort. With
    // toFile the body goes to fileName, which only a complete body replaces; otherwise it fills
    // InfoLines. With lengthRequired a response without Content-Length fails. With toFile and
    // uoVerifySignature the complete body must verify against WebSignature and PublicKey before it
    // replaces fileName. Sets Success and raises OnDownload per read and OnDownloadError when the
    // transfer fails (an abort, a Content-Length that is no number, an event handler that throws
    // and a HTTPPort above kMaxPort fail without an event; a local file that cannot be written
    // raises OnLocalFileError only, a file that does not verify OnSignatureError only).
    void HttpGet(const QString& url, const QString& user, const QString& pass, bool lengthRequired,
                 bool toFile, const QString& fileName = QString());
    // Asks a running transfer to stop at its next read (or while it waits for the server).
    void Abort() { aborted = true; }

    // The page values of the last page read (kept until the next GetInfo or ParseInfo).
    const TmxPageValues& PageValues() const { return page; }
    const QString& WebAuthor() const { return page.Author; }
    const QString& WebEmail() const { return page.Email; }
    const QString& WebClientFileName() const { return page.ClientFileName; }
    const QString& WebDownload() const { return page.Download; }
    const QString& WebProductName() const { return page.ProductName; }
    const QString& WebRedirection() const { return page.Redirection; }
    const QString& WebRunParameters() const { return page.RunParameters; }
    const QString& WebVersion() const { return page.Version; }
    const QString& WebSignature() const { return page.Signature; }
    // State of the last check and transfer.
    const QStringList& InfoLines() const { return infoLines; }
    const QString& LocalFileName() const { return localFileName; }
    bool Success() const { return success; }
    std::int32_t TotalBytes() const { return totalBytes; }
    std::int32_t ChunkBytes() const { return chunkBytes; }
    std::int32_t DownloadedBytes() const { return downloadedBytes; }
    bool Busy() const { return busy; }
    bool Aborted() const { return aborted; }

    // The virtual operations, in this order. Each Do... raises the event of its name when it is
    // assigned, with the component's current values: DoDownload passes TotalBytes and
    // DownloadedBytes, DoBeforeDownload and DoAfterDownload the file name.
protected:
    virtual void DoDownload();
    virtual void DoDownloadError();
    virtual void DoBeforeDownload(const QString& fileName);
    virtual void DoAfterDownload(const QString& fileName);
    virtual void DoNoUpdateFound();
    virtual void DoAfterGetInfo();
    virtual void DoBeforeGetInfo();
    virtual void DoCannotExecute();
    virtual void DoLocalFileError(const QString& fileName);
    virtual void DoSignatureError(const QString& fileName);

public:
    // Raises OnBeforeShowInfo; unless that clears showInfo, shows the information window (see
    // InfoWindowFactory) and raises OnAfterShowInfo with its check box. True: go on and download.
    virtual bool ShowInfo();
    // TargetFolder (when it is an existing folder) or else the temporary folder, followed by the
    // plain file name of WebClientFileName (mxPlainFileName); empty when that name is unusable.
    virtual QString GetClientFileName() const;
    // mxSplitURL.
    virtual TmxURLParts SplitURL(const QString& url) const;

protected:
    // Starts the downloaded file fileName with parameters (split by QProcess::splitCommand),
    // detached, after giving it the execute bit. False when it cannot be started.
    virtual bool StartFile(const QString& fileName, const QString& parameters);
    // Ends the application: TerminateHandler, or QCoreApplication::quit() without one.
    virtual void TerminateApplication();

private:
    class TTransfer;
    friend class TTransfer;

    // Host and path of a page after the host of ProductInfo.URL filled in an empty one, to tell
    // pages of a redirection chain apart.
    QString PageKey(const QString& url) const;

    TmxTagInfo tagInfo;
    TmxProductInfo productInfo;
    TmxInfoCaption infoCaption;
    QString userName;
    QString password;
    TmxUpdateOptions options = TmxUpdateOptions(uoRunUpdate | uoTerminate);
    QString targetFolder;
    unsigned httpPort = 80;
    QString publicKey;

    TmxPageValues page;
    QStringList infoLines;
    QString localFileName;
    bool success = false;
    std::int32_t totalBytes = 0;
    std::int32_t chunkBytes = 0;
    std::int32_t downloadedBytes = 0;
    bool busy = false;
    bool aborted = false;
    bool transferring = false; // a HttpGet is running; a nested one is refused
    std::unique_ptr<TmxInfoWindow> infoWindow;
};
