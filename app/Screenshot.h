// Screenshots of a window as Windows bitmap files.
#pragma once

#include <QString>

class QWidget;

// folder/caption.bmp, with the characters a file name cannot hold ("/" and NUL) replaced by "_".
QString ScreenshotFileName(const QString& folder, const QString& caption);

// Writes the window's client area to path as a bitmap, replacing an older file only when the new
// one is complete. False with the reason in error when it cannot be written.
bool SaveScreenshot(QWidget& window, const QString& path, QString& error);
