// Painting a window into a bitmap file.
#include "Screenshot.h"

#include <QDir>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QStandardPaths>
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

TScreenshotOutcome SaveScreenshotNamed(QWidget& window, const QString& caption,
                                       const QString& programFolder) {
    TScreenshotOutcome outcome;
    QString error;
    const QString inProgram = ScreenshotFileName(programFolder, caption);
    if (SaveScreenshot(window, inProgram, error)) {
        outcome.Path = inProgram;
        outcome.InProgramFolder = true;
        return outcome;
    }
    outcome.Failures << inProgram + u'\n' + error;

    // Qt names a pictures folder even for a user without one; a failure to make it shows as the
    // file's own error below.
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (pictures.isEmpty())
        return outcome;
    QDir().mkpath(pictures);
    const QString inPictures = ScreenshotFileName(pictures, caption);
    error.clear();
    if (SaveScreenshot(window, inPictures, error))
        outcome.Path = inPictures;
    else
        outcome.Failures << inPictures + u'\n' + error;
    return outcome;
}
