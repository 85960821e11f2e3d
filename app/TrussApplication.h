// The program's start-up sequence and message loop.
#pragma once

#include <QString>

class TMainForm;

// Gives the language manager the language of the last run, else defaultCode, else English.
void SelectStartLanguage(const QString& defaultCode);

// The last steps before the message loop: the update check, then the documents of the previous
// run. False, with nothing reopened, when the main window was closed while the check ran.
bool CheckUpdateAndReopen(TMainForm& mainForm);

// Runs Trabex: brings the application up in its fixed order, runs the message loop until the
// main window closes, and returns the exit code.
int RunTrabex(int& argc, char** argv);
