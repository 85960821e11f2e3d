// The file and colour dialogs of the program, answerable without a dialog in automated runs.
#pragma once

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// One file dialog to be shown.
struct TFileDialogRequest {
    bool Save = false;
    QString Caption;
    QString Filter; // Qt filter text, "Data file (*.trs);;All files (*)"
    QString DefaultSuffix;
    QString InitialName;
};

// When set, dialogs are not shown: the handler returns the chosen name or an empty text.
extern std::function<QString(const TFileDialogRequest&)> FileDialogHandler;

// The name the user chose, or an empty text when the dialog was cancelled. A name typed without
// an extension gets the default suffix while the first filter is selected.
QString AskFileName(QWidget* parent, const TFileDialogRequest& request);

// When set, the colour dialog is not shown: the handler returns the chosen colour or none.
extern std::function<std::optional<QColor>(const QColor&)> ColourDialogHandler;

// The colour the user chose, starting from initial; none when the dialog was cancelled.
std::optional<QColor> AskColour(QWidget* parent, const QColor& initial);
