// Screenshots of a window as Windows bitmap files.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// folder/caption.bmp, with the characters a file name cannot hold ("/" and NUL) replaced by "_".
QString ScreenshotFileName(const QString& folder, const QString& caption);

// Writes the window's client area to path as a bitmap, replacing an older file only when the new
// one is complete. False with the reason in error when it cannot be written.
bool SaveScreenshot(QWidget& window, const QString& path, QString& error);

// Where a screenshot went, or why it went nowhere.
struct TScreenshotOutcome {
    // The file written; empty when none was.
    QString Path;
    bool InProgramFolder = false;
    // For each file that could not be written: its path, a line break and the reason.
    QStringList Failures;
};

// Writes "<caption>.bmp" into the program's folder or, where that cannot be written (an
// installed copy in /usr/bin), into the user's pictures folder, which is made when missing.
TScreenshotOutcome SaveScreenshotNamed(QWidget& window, const QString& caption,
                                       const QString& programFolder);
