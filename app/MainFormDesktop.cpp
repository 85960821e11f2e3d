// The frame window and the desktop: truss files dropped on it, files a later start hands over.
#include "TrussMainWin.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// How often files handed over while a dialog waits for the user are tried again.
constexpr int ModalRetryMs = 250;

// The local truss files among the dropped items.
QStringList DroppedTrussFiles(const QMimeData* data) {
    QStringList names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QStringLiteral(".trs"), Qt::CaseInsensitive))
            names << url.toLocalFile();
    return names;
}

// Takes a drop of truss files as a copy: accepting a move would let the source delete them.
bool AcceptTrussDrop(QDropEvent* event) {
    if (DroppedTrussFiles(event->mimeData()).isEmpty() ||
        !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

// Opens the files once no dialog waits for the user: the dialog keeps its say.
void OpenWhenNoDialogWaits(TMainForm& form, const QStringList& fileNames) {
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(ModalRetryMs, &form,
                           [&form, fileNames] { OpenWhenNoDialogWaits(form, fileNames); });
        return;
    }
    for (const QString& name : fileNames)
        form.OpenTrussFile(name);
}

} // namespace

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    AcceptTrussDrop(event);
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
    AcceptTrussDrop(event);
}

void TMainForm::dropEvent(QDropEvent* event) {
    if (!AcceptTrussDrop(event))
        return;
    for (const QString& name : DroppedTrussFiles(event->mimeData()))
        OpenTrussFile(name);
}

void TMainForm::OpenHandedOverFiles(const QStringList& fileNames) {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    OpenWhenNoDialogWaits(*this, fileNames);
}
