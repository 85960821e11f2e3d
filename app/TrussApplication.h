// The program's start-up sequence and message loop.
#pragma once

#include <QString>

// Gives the language manager the language of the last run, else defaultCode, else English.
void SelectStartLanguage(const QString& defaultCode);

// Runs Trabex: brings the application up in its fixed order, runs the message loop until the
// main window closes, and returns the exit code.
int RunTrabex(int& argc, char** argv);
