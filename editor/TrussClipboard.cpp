// Reading and writing truss text on the system clipboard.
#include "TrussClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

const QString TrussMimeType = QStringLiteral("application/x-trabex-truss");

void PutTrussOnClipboard(const QStringList& lines) {
    // Lines end with CR LF, as in a file.
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    auto* data = new QMimeData;
    data->setData(TrussMimeType, text.toUtf8());
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
}

QString ClipboardTrussText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    if (data->hasFormat(TrussMimeType))
        return QString::fromUtf8(data->data(TrussMimeType));
    return data->hasText() ? data->text() : QString();
}

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && (data->hasFormat(TrussMimeType) || !data->text().isEmpty());
}
