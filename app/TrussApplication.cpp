// Start-up: application object that reports errors escaping a handler, title, main window and
// dialogs, command file, reopening of the previous run's documents, then the message loop.
#include "TrussApplication.h"

#include "BMPDlg.h"
#include "BatchFileExecute.h"
#include "DocumentHandOver.h"
#include "HintTiming.h"
#include "PostedMessageDlg.h"
#include "SettingsStore.h"
#include "ToolIcons.h"
#include "TrussMainWin.h"
#include "TrussSystem.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"

#include <QApplication>
#include <QProxyStyle>

namespace {

// Hints come up quickly and stay a while.
class TAppEvents : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return HintPause;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return HintHidePause;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

// The text of the last error shown in a box.
QString LastReported;

// Runs work; an error it throws is reported instead of ending the program.
template <typename Work> void RunReportingErrors(Work&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        ReportUnexpectedError(QString::fromUtf8(e.what()));
    } catch (...) {
        ReportUnexpectedError(QStringLiteral("an exception of an unknown type"));
    }
}

} // namespace

TTrussApplication::TTrussApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TTrussApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    RunReportingErrors([&] { handled = QApplication::notify(receiver, event); });
    return handled;
}

void ReportUnexpectedError(const QString& what) {
    qCritical("Trabex: %s", qUtf8Printable(what));
    if (what == LastReported)
        return;
    LastReported = what;
    PostMessageDlg(msg_Chyba, msg_NeocekavanaChyba + QStringLiteral("\n\n") + what, mtError);
}

void SelectStartLanguage(const QString& defaultCode) {
    {
        TSettingsStore store;
        LanguageManager.SetLanguageCode(
            store.ReadString(QStringLiteral("Last"), QStringLiteral("Language"), defaultCode));
    }
    if (LanguageManager.LanguageCode().isEmpty())
        LanguageManager.SetLanguageCode(QStringLiteral("en"));
}

bool CheckUpdateAndReopen(TMainForm& mainForm) {
    RunReportingErrors([&mainForm] { mainForm.StartUpdateCheck(); });
    // The user may have closed the program while the update check ran: its documents stay
    // listed as open for the next start instead of going into a closed window.
    if (!mainForm.isVisible())
        return false;
    RunReportingErrors([&mainForm] { mainForm.LastFiles->ReopenFiles(true); });
    return true;
}

QStringList DocumentArguments(const QStringList& arguments) {
    QStringList names;
    // The first is the program itself; an empty argument names no file.
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].isEmpty())
            names << arguments[i];
    return names;
}

bool OpenStartDocuments(TMainForm& mainForm, const QStringList& namedFiles) {
    // Documents named in the command file open before the update check and before those of the
    // previous run.
    RunReportingErrors([&mainForm] {
        TBatchFileExecute(TBatchFileExecute::DefaultFileName(),
                          [&mainForm](const QString& name) { mainForm.OpenTrussFile(name); });
    });
    if (!CheckUpdateAndReopen(mainForm))
        return false;
    // The files the user named come last, so the last of them ends in front.
    for (const QString& name : namedFiles)
        RunReportingErrors([&mainForm, &name] { mainForm.OpenTrussFile(name); });
    return true;
}

int RunTrabex(int& argc, char** argv) {
    TTrussApplication app(argc, argv);
    const QStringList namedFiles = DocumentArguments(QCoreApplication::arguments());
    // A later start hands its files to the running program before it counts as a start or
    // shows a window.
    TDocumentHandOver handOver(TDocumentHandOver::UserServerName());
    if (handOver.HandOverOrListen(namedFiles))
        return 0;
    app.setStyle(new TAppEvents);
    app.setWindowIcon(ApplicationIcon());
    OnBeep = [] { QApplication::beep(); };

    LanguageManager.SetFolder(QString());
    SelectStartLanguage(DefaultLanguageCode());
    app.setApplicationName(QStringLiteral("Trabex"));

    // The main window comes first and is the application's main window; it is shown at once so
    // that its stored options hold for the documents opened below.
    TMainForm mainForm;
    mainForm.show();
    TNewBMPForm newBmpForm(&mainForm);
    mainForm.ProgressWindow();

    const bool running = OpenStartDocuments(mainForm, namedFiles);
    // Files of later starts that came during the start-up open now, the others as they come.
    handOver.SetReceiver(
        [&mainForm](const QStringList& names) { mainForm.OpenHandedOverFiles(names); });
    // The user may have closed the program while the update check ran.
    if (!running)
        return 0;
    return app.exec();
}
