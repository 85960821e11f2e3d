// The program's start-up sequence, its application object and message loop.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>

class TMainForm;

// The application object of the program. An error that escapes an event handler is reported in
// a message box and the program goes on: open documents must never be lost to a fault in a
// handler.
class TTrussApplication : public QApplication {
public:
    TTrussApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Reports an error that reached the top of an event or of a start-up step: a line on the standard
// error and a message box shown from the event loop. The same text as the last one shown is not
// shown again, so a handler that fails at every paint cannot keep the user in boxes.
void ReportUnexpectedError(const QString& what);

// Gives the language manager the language of the last run, else defaultCode, else English.
void SelectStartLanguage(const QString& defaultCode);

// The last steps before the message loop: the update check, then the documents of the previous
// run. False, with nothing reopened, when the main window was closed while the check ran.
bool CheckUpdateAndReopen(TMainForm& mainForm);

// The documents named when the program was started: every argument that Qt did not take for
// itself is a file name, whatever it starts with; the program has no options of its own.
QStringList DocumentArguments(const QStringList& arguments);

// The documents of a start, in their order: those of the command file in the current folder, the
// update check, the documents of the previous run, then the files named at the start. A step
// that fails is reported and the next one runs. False, with nothing more opened, when the main
// window was closed while the update check ran.
bool OpenStartDocuments(TMainForm& mainForm, const QStringList& namedFiles = {});

// Runs Trabex: hands the named files to the program already running for this user and ends, or
// else brings the application up in its fixed order, runs the message loop until the main window
// closes, and returns the exit code.
int RunTrabex(int& argc, char** argv);
