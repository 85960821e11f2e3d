// The frame window's use of the web update: configuration, the check and its event handlers.
#include "FUpdateProgress.h"
#include "FUpdateUnit.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "ShowInfoUpdate.h"
#include "TrussMainWin.h"
#include "mxWebUpdate.h"
#include "plsDialogs.h"
#include "plsLangConsts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifndef TRABEX_UPDATE_HOST
#define TRABEX_UPDATE_HOST ""
#endif
#ifndef TRABEX_UPDATE_PORT
#define TRABEX_UPDATE_PORT 80
#endif
#ifndef TRABEX_UPDATE_PUBLIC_KEY
#define TRABEX_UPDATE_PUBLIC_KEY ""
#endif

namespace {
const QString UpdateSection = QStringLiteral("Update");
const QString UpdatePage = QStringLiteral("/TrabexUpdateInfo.htm");

// Whether a file can be made in folder. Tried rather than read from the permission bits, which
// say yes to a privileged user on a read-only or special file system.
bool CanCreateFileIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.trabex-XXXXXX"));
    return probe.open();
}
} // namespace

void TMainForm::CreateUpdateCheck() {
    mxWebUpdate = new TmxWebUpdate(this);
    mxWebUpdate->setObjectName(QStringLiteral("mxWebUpdate"));
    mxWebUpdate->InfoCaption().CheckForUpdate =
        QStringLiteral("C&heck for updates in the future co říkáš?");
    // Nothing downloaded is started unless its publisher signed it.
    mxWebUpdate->SetOptions(uoRunUpdate | uoTerminate | uoOverwrite | uoVerifySignature);
    mxWebUpdate->ProductInfo().SetVersionFormat(vfStandard);
    UpdateFolder = GetExeDir();
    UpdateDownloadFolder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);

    mxWebUpdate->OnUpdateAvailable = [this](TmxWebUpdate& update, const QString&,
                                            const QString& newVersion, bool& canUpdate) {
        if (updateCheckStopped) {
            canUpdate = false;
            return;
        }
        TFormUpdate dialog(this);
        dialog.lbl_YourVersion->setText(update.ProductInfo().Version());
        dialog.lbl_WebVersion->setText(newVersion);
        dialog.lbl_YourVersion->adjustSize();
        dialog.lbl_WebVersion->adjustSize();
        canUpdate = dialog.exec() == mrYes;
        if (canUpdate)
            ProgressWindow()->show();
    };
    // The information page is never shown: the download follows the answer "Ano" at once.
    mxWebUpdate->OnBeforeShowInfo = [](TmxWebUpdate&, bool& showInfo, bool&) { showInfo = false; };
    mxWebUpdate->OnDownload = [this](TmxWebUpdate&, std::int32_t total, std::int32_t downloaded) {
        QProgressBar* bar = ProgressWindow()->ProgressBar;
        bar->setVisible(true);
        bar->setMaximum(total);
        bar->setValue(downloaded);
    };
    mxWebUpdate->OnDownloadError = [this](TmxWebUpdate&) {
        UpdateMessage(mtError, msg_CannotDownloadUpdate);
    };
    mxWebUpdate->OnCannotExecute = [this](TmxWebUpdate&) {
        UpdateMessage(mtError, msg_CannotExecUpdate);
    };
    // Both end the update for good: the progress window goes, and the user learns why.
    mxWebUpdate->OnLocalFileError = [this](TmxWebUpdate&, const QString& fileName) {
        ProgressWindow()->hide();
        const QString folder = QDir::toNativeSeparators(QFileInfo(fileName).absolutePath());
        UpdateMessage(mtError, FormatConst(msg_CannotSaveUpdate, folder));
    };
    mxWebUpdate->OnSignatureError = [this](TmxWebUpdate&, const QString&) {
        ProgressWindow()->hide();
        UpdateMessage(mtError, msg_CannotVerifyUpdate);
    };
    mxWebUpdate->InfoWindowFactory = [] { return std::make_unique<Tfrm_ShowInfoUpdate>(); };
    mxWebUpdate->OnGetClientFileName = [](TmxWebUpdate&, QString&) {};
    mxWebUpdate->OnAfterGetInfo = [](TmxWebUpdate&) {};
    mxWebUpdate->OnAfterDownload = [](TmxWebUpdate&, const QString&) {};
    // The setup program runs; the program ends, still asking about unsaved documents.
    mxWebUpdate->TerminateHandler = [this](TmxWebUpdate&) {
        if (close())
            QCoreApplication::quit();
    };
}

TFormUpdateProgress* TMainForm::ProgressWindow() {
    if (!FormUpdateProgress)
        FormUpdateProgress = new TFormUpdateProgress(this);
    return FormUpdateProgress;
}

QString TMainForm::UpdateServerHost() const {
    return SettingsStore->ReadString(UpdateSection, QStringLiteral("Host"),
                                     QStringLiteral(TRABEX_UPDATE_HOST));
}

QString TMainForm::UpdatePublicKey() const {
    return SettingsStore->ReadString(UpdateSection, QStringLiteral("PublicKey"),
                                     QStringLiteral(TRABEX_UPDATE_PUBLIC_KEY));
}

QString TMainForm::UpdateTargetFolder() const {
    if (CanCreateFileIn(UpdateFolder))
        return UpdateFolder;
    // An installed program's folder belongs to the system; the user's downloads do not.
    if (!UpdateDownloadFolder.isEmpty() && QDir().mkpath(UpdateDownloadFolder) &&
        CanCreateFileIn(UpdateDownloadFolder))
        return UpdateDownloadFolder;
    // Nowhere to write: the program's folder, where the failed write is then reported.
    return UpdateFolder;
}

unsigned TMainForm::UpdateServerPort() const {
    const int port =
        SettingsStore->ReadInteger(UpdateSection, QStringLiteral("Port"), TRABEX_UPDATE_PORT);
    return port > 0 ? static_cast<unsigned>(port) : TRABEX_UPDATE_PORT;
}

void TMainForm::StartUpdateCheck() {
    // A build without an update server makes no check and shows nothing.
    const QString host = UpdateServerHost();
    if (host.isEmpty())
        return;
    mxWebUpdate->ProductInfo().SetURL(QStringLiteral("http://") + host + UpdatePage);
    mxWebUpdate->SetHTTPPort(UpdateServerPort());
    mxWebUpdate->SetPublicKey(UpdatePublicKey());
    mxWebUpdate->SetTargetFolder(UpdateTargetFolder());
    mxWebUpdate->ProductInfo().SetVersion(FileVersion());
    mxWebUpdate->RunUpdateCheck();
}

void TMainForm::Checkforupdates1Click() {
    mxWebUpdate->OnNoUpdateFound = [this](TmxWebUpdate&) { ShowNoNewUpdate(); };
    StartUpdateCheck();
}

void TMainForm::ShowNoNewUpdate() {
    UpdateMessage(mtInformation, msg_NoNewUpdate);
}

void TMainForm::StopUpdateCheck() {
    updateCheckStopped = true;
    mxWebUpdate->Abort();
}

void TMainForm::UpdateMessage(TMsgDlgType kind, const QString& text) {
    // A check stopped by the closing of this window says nothing more.
    if (!updateCheckStopped)
        PlainMessageBox(kind, text);
}
