// The exports, the print and the results' windows of the frame, answerable without dialogs.
#pragma once

#include <QSize>

#include <functional>
#include <optional>

class QPrinter;

// When set, the picture size dialog is not shown: the handler returns the size chosen from the
// given default, or none for Cancel.
extern std::function<std::optional<QSize>(QSize)> PictureSizeHandler;
// When set, the print dialog is not shown: the handler sets up the printer (an automated run
// prints to a PDF file) and returns false for Cancel.
extern std::function<bool(QPrinter&)> PrintDialogHandler;

// The size of an exported picture, starting from def; none when cancelled.
std::optional<QSize> AskPictureSize(QWidget* parent, QSize def);
