// File dialogs (Qt's own, so that every platform and the automated runs see the same one) and the
// colour dialog.
#include "FileDialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::function<QString(const TFileDialogRequest&)> FileDialogHandler;
std::function<std::optional<QColor>(const QColor&)> ColourDialogHandler;

QString AskFileName(QWidget* parent, const TFileDialogRequest& request) {
    if (FileDialogHandler)
        return FileDialogHandler(request);
    QFileDialog dialog(parent, request.Caption);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(request.Filter);
    dialog.setDefaultSuffix(request.DefaultSuffix);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A dialog without a folder of its own starts in the current working directory.
    if (request.InitialName.isEmpty()) {
        dialog.setDirectory(QDir::currentPath());
    } else {
        const QFileInfo initial(request.InitialName);
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> AskColour(QWidget* parent, const QColor& initial) {
    if (ColourDialogHandler)
        return ColourDialogHandler(initial);
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}
