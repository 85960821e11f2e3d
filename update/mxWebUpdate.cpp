// The web update component TmxWebUpdate: asks a web server whether a newer version of the program
// exists, downloads its setup file and starts it, reporting every step through events.
#include "mxWebUpdate.h"

#include "mxWebUpdateHttp.h"
#include "mxWebUpdateSignature.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <cstdio>
#include <limits>
#include <optional>

namespace {

// Lets the application handle what is pending (repaints, the user's clicks); nothing to do in a
// program without an application object.
void ProcessPendingEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// The value of a Content-Length header: decimal digits that fit a 32-bit signed counter.
std::optional<std::int32_t> ContentLengthValue(const QByteArray& text) {
    // Digits of the largest value, 2147483647.
    constexpr qsizetype kMaxDigits = 10;
    if (text.isEmpty() || text.size() > kMaxDigits)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

// Clears a flag when the scope ends, however it ends.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag) : flag(flag) { flag = true; }
    ~TFlagGuard() { flag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& flag;
};

} // namespace

void TmxProductInfo::SetURL(const QString& value) {
    if (value.left(7).compare(QLatin1String("http://"), Qt::CaseInsensitive) == 0)
        url = value;
    else
        url = QStringLiteral("http://") + value;
}

// The receiving side of one HttpGet: the steps of a transfer that decide its outcome.
class TmxWebUpdate::TTransfer final : public TmxHttpReceiver {
public:
    enum class TEnd {
        Open,      // nothing has gone wrong yet
        Failed,    // the transfer failed: OnDownloadError
        Silently,  // stopped without an event (abort, unusable header, handler)
        LocalFile, // the local file could not be created or written: OnLocalFileError
        Unsigned   // the complete file did not verify: OnSignatureError
    };

    TTransfer(TmxWebUpdate& owner, bool lengthRequired, bool toFile, bool verify,
              const QString& fileName)
        : owner(owner), lengthRequired(lengthRequired), toFile(toFile), verify(verify),
          fileName(fileName), limit(toFile ? kMaxDownloadBytes : kMaxInfoPageBytes) {}

    bool BeginBody(long status, const std::optional<QByteArray>& contentLength) override {
        // An error page (or a redirection left unfollowed) is never the document asked for.
        if (status < 200 || status > 299)
            return Stop(TEnd::Failed);
        if (owner.aborted)
            return Stop(TEnd::Silently);
        std::optional<std::int32_t> length;
        if (contentLength) {
            length = ContentLengthValue(*contentLength);
            if (!length)
                return Stop(TEnd::Silently);
        }
        owner.success = length.has_value();
        if (!length && lengthRequired)
            return Stop(TEnd::Failed);
        if (length) {
            owner.totalBytes = *length;
            if (*length > limit)
                return Stop(TEnd::Failed);
        }
        owner.downloadedBytes = 0;
        if (toFile) {
            // Written under a temporary name beside fileName; only PutInPlace puts it there.
            const QFileInfo target(fileName);
            file = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") +
                                                    target.fileName() + QStringLiteral(".XXXXXX"));
            if (!file->open())
                return Stop(TEnd::LocalFile);
        }
        return true;
    }

    bool Chunk(QByteArrayView data) override {
        if (owner.aborted)
            return Stop(TEnd::Silently);
        if (owner.downloadedBytes > limit - data.size())
            return Stop(TEnd::Failed);
        if (toFile) {
            if (file->write(data.data(), data.size()) != data.size())
                return Stop(TEnd::LocalFile);
        } else {
            text.append(data);
        }
        owner.chunkBytes = std::int32_t(data.size());
        owner.downloadedBytes += std::int32_t(data.size());
        try {
            owner.DoDownload();
            ProcessPendingEvents();
        } catch (...) {
            return Stop(TEnd::Silently);
        }
        return !owner.aborted || Stop(TEnd::Silently);
    }

    bool Idle() override {
        if (owner.aborted)
            return Stop(TEnd::Silently);
        try {
            ProcessPendingEvents();
        } catch (...) {
            return Stop(TEnd::Silently);
        }
        return !owner.aborted || Stop(TEnd::Silently);
    }

    // Settles the outcome once the network part is over.
    void Finish(TmxHttpOutcome outcome) {
        bool complete = false;
        if (end == TEnd::Open) {
            if (outcome == TmxHttpOutcome::Failed)
                end = TEnd::Failed;
            else if (outcome == TmxHttpOutcome::Stopped || owner.aborted)
                end = TEnd::Silently;
            else if (toFile)
                complete = owner.totalBytes == owner.downloadedBytes;
            else
                complete = owner.downloadedBytes != 0;
        }
        if (complete && toFile) {
            if (!file->flush())
                end = TEnd::LocalFile;
            else if (verify && !Verified())
                end = TEnd::Unsigned;
            else if (!PutInPlace())
                end = TEnd::LocalFile;
            complete = end == TEnd::Open;
        }
        file.reset(); // a temporary file not put in place is removed here
        owner.success = complete;
        if (complete) {
            if (!toFile)
                owner.infoLines = mxSplitLines(mxDecodePage(text));
            return;
        }
        switch (end) {
        case TEnd::Open:
        case TEnd::Failed:
            owner.DoDownloadError();
            break;
        case TEnd::LocalFile:
            owner.DoLocalFileError(fileName);
            break;
        case TEnd::Unsigned:
            owner.DoSignatureError(fileName);
            break;
        case TEnd::Silently:
            break;
        }
    }

private:
    bool Stop(TEnd how) {
        end = how;
        return false;
    }

    // Whether the complete file is what the publisher signed, read from the disk it went to.
    bool Verified() {
        const qint64 size = file->size();
        if (size == 0)
            return mxVerifySignature({}, owner.page.Signature, owner.publicKey);
        uchar* bytes = file->map(0, size);
        if (!bytes)
            return false;
        const bool verified =
            mxVerifySignature(QByteArrayView(bytes, size), owner.page.Signature, owner.publicKey);
        file->unmap(bytes);
        return verified;
    }

    // Replaces fileName by the complete temporary file in one step; an old file's permissions
    // carry over to the new one.
    bool PutInPlace() {
        const QFile::Permissions permissions =
            QFileInfo::exists(fileName) ? QFile::permissions(fileName)
                                        : (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                           QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
        file->setPermissions(permissions);
        file->close();
        const QByteArray from = QFile::encodeName(file->fileName());
        const QByteArray to = QFile::encodeName(fileName);
        if (std::rename(from.constData(), to.constData()) != 0)
            return false;
        file->setAutoRemove(false);
        return true;
    }

    TmxWebUpdate& owner;
    const bool lengthRequired;
    const bool toFile;
    const bool verify;
    const QString fileName;
    const std::int32_t limit;
    TEnd end = TEnd::Open;
    std::unique_ptr<QTemporaryFile> file;
    QByteArray text;
};

TmxWebUpdate::TmxWebUpdate(QObject* parent) : QObject(parent) {}

TmxWebUpdate::~TmxWebUpdate() {
    Abort();
}

QString TmxWebUpdate::Version() const {
    return QString::asprintf("%d.%d", ComponentVersion >> 8, ComponentVersion & 0xFF);
}

bool TmxWebUpdate::RunUpdateCheck() {
    if (busy)
        return false;
    const TFlagGuard running(busy);
    page.Redirection.clear();
    DoBeforeGetInfo();
    GetInfo();
    DoAfterGetInfo();
    if (page.ProductName.isEmpty() || page.Version.isEmpty()) {
        DoDownloadError();
        success = false;
    }
    if (!success)
        return false;
    if (!IsNewerVersion())
        return false;
    bool canUpdate = true;
    if (OnUpdateAvailable) {
        const QString actual = productInfo.Version();
        const QString published = page.Version;
        OnUpdateAvailable(*this, actual, published, canUpdate);
    }
    if (!canUpdate)
        return false;
    if (!ShowInfo())
        return false;
    DownloadFile();
    if (!success)
        return false;
    if (options.testFlag(uoRunUpdate)) {
        if (!StartFile(localFileName, page.RunParameters))
            DoCannotExecute();
        if (options.testFlag(uoTerminate))
            TerminateApplication();
    }
    return true;
}

void TmxWebUpdate::GetInfo() {
    QStringList pagesRead;
    for (int followed = 0;; ++followed) {
        page.Version.clear();
        page.Download.clear();
        page.Author.clear();
        page.Email.clear();
        page.ProductName.clear();
        page.RunParameters.clear();
        page.Signature.clear();
        const QString url = page.Redirection.isEmpty() ? productInfo.URL() : page.Redirection;
        pagesRead.append(PageKey(url));
        HttpGet(url, userName, password, false, false);
        if (!success)
            return;
        ParseInfo();
        if (page.Redirection.isEmpty())
            return;
        if (followed == kMaxRedirectionPages || pagesRead.contains(PageKey(page.Redirection))) {
            // The chain does not end (or ends in a loop): no page was read after all.
            page = TmxPageValues();
            success = false;
            DoDownloadError();
            return;
        }
    }
}

void TmxWebUpdate::ParseInfo() {
    page = mxParseInfo(infoLines, tagInfo);
}

bool TmxWebUpdate::IsNewerVersion() {
    const bool newer =
        mxIsNewerVersion(productInfo.VersionFormat(), productInfo.Version(), page.Version);
    if (!newer)
        DoNoUpdateFound();
    return newer;
}

void TmxWebUpdate::DownloadFile() {
    localFileName = GetClientFileName();
    if (OnGetClientFileName)
        OnGetClientFileName(*this, localFileName);
    success = false;
    // The page named no usable file name, and no handler gave one: nothing can be saved.
    if (localFileName.isEmpty()) {
        DoDownloadError();
        return;
    }
    if (QFileInfo::exists(localFileName)) {
        bool overwrite = options.testFlag(uoOverwrite);
        if (OnClientFileExists)
            OnClientFileExists(*this, localFileName, overwrite);
        if (!overwrite) {
            DoDownloadError();
            return;
        }
    }
    DoBeforeDownload(localFileName);
    HttpGet(page.Download, userName, password, true, true, localFileName);
    DoAfterDownload(localFileName);
}

void TmxWebUpdate::HttpGet(const QString& url, const QString& user, const QString& pass,
                           bool lengthRequired, bool toFile, const QString& fileName) {
    // libcurl must not be entered again from one of its own callbacks (an event handler, or the
    // event processing of a transfer): the inner request is refused and changes nothing.
    if (transferring)
        return;
    const TFlagGuard running(transferring);
    aborted = false;
    success = false;
    TmxURLParts parts = SplitURL(url);
    if (parts.Host.isEmpty())
        parts.Host = SplitURL(productInfo.URL()).Host;
    if (httpPort > kMaxPort)
        return;
    TTransfer transfer(*this, lengthRequired, toFile, toFile && options.testFlag(uoVerifySignature),
                       fileName);
    const TmxHttpOutcome outcome =
        mxHttpGet({parts.Host, parts.Path, httpPort, user, pass}, transfer);
    transfer.Finish(outcome);
}

void TmxWebUpdate::DoDownload() {
    if (OnDownload)
        OnDownload(*this, totalBytes, downloadedBytes);
}

void TmxWebUpdate::DoDownloadError() {
    if (OnDownloadError)
        OnDownloadError(*this);
}

void TmxWebUpdate::DoBeforeDownload(const QString& fileName) {
    if (OnBeforeDownload)
        OnBeforeDownload(*this, fileName);
}

void TmxWebUpdate::DoAfterDownload(const QString& fileName) {
    if (OnAfterDownload)
        OnAfterDownload(*this, fileName);
}

void TmxWebUpdate::DoNoUpdateFound() {
    if (OnNoUpdateFound)
        OnNoUpdateFound(*this);
}

void TmxWebUpdate::DoAfterGetInfo() {
    if (OnAfterGetInfo)
        OnAfterGetInfo(*this);
}

void TmxWebUpdate::DoBeforeGetInfo() {
    if (OnBeforeGetInfo)
        OnBeforeGetInfo(*this);
}

void TmxWebUpdate::DoCannotExecute() {
    if (OnCannotExecute)
        OnCannotExecute(*this);
}

void TmxWebUpdate::DoLocalFileError(const QString& fileName) {
    if (OnLocalFileError)
        OnLocalFileError(*this, fileName);
}

void TmxWebUpdate::DoSignatureError(const QString& fileName) {
    if (OnSignatureError)
        OnSignatureError(*this, fileName);
}

bool TmxWebUpdate::ShowInfo() {
    bool showInfo = true;
    bool checkForUpdate = true;
    if (OnBeforeShowInfo)
        OnBeforeShowInfo(*this, showInfo, checkForUpdate);
    if (!showInfo)
        return true;
    if (!infoWindow && InfoWindowFactory)
        infoWindow = InfoWindowFactory();
    if (!infoWindow)
        return false;
    TmxInfoWindowData data;
    data.URL = page.Redirection.isEmpty() ? productInfo.URL() : page.Redirection;
    data.OkCaption = infoCaption.OkButton;
    data.CancelCaption = infoCaption.CancelButton;
    data.CheckForUpdateCaption = infoCaption.CheckForUpdate;
    data.CheckForUpdate = checkForUpdate;
    const bool ok = infoWindow->ShowModal(data);
    if (OnAfterShowInfo)
        OnAfterShowInfo(*this, data.CheckForUpdate);
    return ok;
}

QString TmxWebUpdate::GetClientFileName() const {
    const QString name = mxPlainFileName(page.ClientFileName);
    if (name.isEmpty())
        return QString();
    QString folder;
    if (!targetFolder.isEmpty() && QFileInfo(targetFolder).isDir())
        folder = targetFolder;
    else
        folder = QDir::tempPath();
    if (folder.isEmpty())
        return QString();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + name;
}

TmxURLParts TmxWebUpdate::SplitURL(const QString& url) const {
    return mxSplitURL(url);
}

bool TmxWebUpdate::StartFile(const QString& fileName, const QString& parameters) {
    // A relative name would be looked up on PATH; the file meant is the one just written.
    const QString program = QFileInfo(fileName).absoluteFilePath();
    QFile file(program);
    if (!file.setPermissions(file.permissions() | QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadUser | QFileDevice::ExeUser))
        return false;
    return QProcess::startDetached(program, QProcess::splitCommand(parameters));
}

void TmxWebUpdate::TerminateApplication() {
    if (TerminateHandler)
        TerminateHandler(*this);
    else
        QCoreApplication::quit();
}

QString TmxWebUpdate::PageKey(const QString& url) const {
    TmxURLParts parts = SplitURL(url);
    if (parts.Host.isEmpty())
        parts.Host = SplitURL(productInfo.URL()).Host;
    return parts.Host.toLower() + parts.Path;
}
