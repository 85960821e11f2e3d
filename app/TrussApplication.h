// The program's start-up sequence and message loop.
#pragma once

// Runs Trabex: brings the application up in its fixed order, runs the message loop until the
// main window closes, and returns the exit code.
int RunTrabex(int& argc, char** argv);
