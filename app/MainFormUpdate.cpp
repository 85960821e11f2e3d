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

#ifndef TRABEX_UPDATE_HOST
#define TRABEX_UPDATE_HOST ""
#endif
#ifndef TRABEX_UPDATE_PORT
#define TRABEX_UPDATE_PORT 80
#endif

namespace {
const QString UpdateSection = QStringLiteral("Update");
const QString UpdatePage = QStringLiteral("/TrabexUpdateInfo.htm");
} // namespace

void TMainForm::CreateUpdateCheck() {
    mxWebUpdate = new TmxWebUpdate(this);
    mxWebUpdate->setObjectName(QStringLiteral("mxWebUpdate"));
    mxWebUpdate->InfoCaption().CheckForUpdate =
        QStringLiteral("C&heck for updates in the future co říkáš?");
    mxWebUpdate->SetOptions(uoRunUpdate | uoTerminate | uoOverwrite);
    mxWebUpdate->ProductInfo().SetVersionFormat(vfStandard);
    UpdateFolder = GetExeDir();

    mxWebUpdate->OnUpdateAvailable = [this](TmxWebUpdate& update, const QString&,
                                            const QString& newVersion, bool& canUpdate) {
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
    mxWebUpdate->OnDownloadError = [](TmxWebUpdate&) {
        PlainMessageBox(mtError, msg_CannotDownloadUpdate);
    };
    mxWebUpdate->OnCannotExecute = [](TmxWebUpdate&) {
        PlainMessageBox(mtError, msg_CannotExecUpdate);
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
    mxWebUpdate->SetTargetFolder(UpdateFolder);
    mxWebUpdate->ProductInfo().SetVersion(FileVersion());
    mxWebUpdate->RunUpdateCheck();
}

void TMainForm::Checkforupdates1Click() {
    mxWebUpdate->OnNoUpdateFound = [this](TmxWebUpdate&) { ShowNoNewUpdate(); };
    StartUpdateCheck();
}

void TMainForm::ShowNoNewUpdate() {
    PlainMessageBox(mtInformation, msg_NoNewUpdate);
}
