// Start-up: application object, title, main window and dialogs, command file, reopening of the
// previous run's documents, then the message loop.
#include "TrussApplication.h"

#include "BMPDlg.h"
#include "BatchFileExecute.h"
#include "SettingsStore.h"
#include "ToolIcons.h"
#include "TrussMainWin.h"
#include "TrussSystem.h"
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

private:
    static constexpr int HintPause = 100;
    static constexpr int HintHidePause = 5000;
};

} // namespace

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
    mainForm.StartUpdateCheck();
    // The user may have closed the program while the update check ran: its documents stay
    // listed as open for the next start instead of going into a closed window.
    if (!mainForm.isVisible())
        return false;
    mainForm.LastFiles->ReopenFiles(true);
    return true;
}

int RunTrabex(int& argc, char** argv) {
    QApplication app(argc, argv);
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

    // Documents named in the command file open before the update check and before those of the
    // previous run.
    TBatchFileExecute(TBatchFileExecute::DefaultFileName(),
                      [&mainForm](const QString& name) { mainForm.OpenTrussFile(name); });
    if (!CheckUpdateAndReopen(mainForm))
        return 0;
    return app.exec();
}
