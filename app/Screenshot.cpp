// Painting a window into a bitmap file.
#include "Screenshot.h"

#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

QString ScreenshotFileName(const QString& folder, const QString& caption) {
    QString name = caption;
    name.replace(u'/', u'_').replace(QChar(u'\0'), u'_');
    return folder + u'/' + name + QStringLiteral(".bmp");
}

bool SaveScreenshot(QWidget& window, const QString& path, QString& error) {
    const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "bmp");
    if (!writer.write(image)) {
        error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
