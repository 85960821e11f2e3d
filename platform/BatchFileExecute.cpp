// The start-up command file "Trabex.run".
#include "BatchFileExecute.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>
#include <unistd.h>

TBatchFileExecute::TBatchFileExecute(const QString& fileName, TOpenFileEvent openFile) {
    Execute(fileName, openFile);
}

QStringList TBatchFileExecute::SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

void TBatchFileExecute::ReadSection(const QString& header, QStringList& result) const {
    result.clear();
    qsizetype i = 0;
    while (i < Lines.size() && Lines[i].compare(header, Qt::CaseInsensitive) != 0)
        ++i;
    for (++i; i < Lines.size(); ++i) {
        const QString& line = Lines[i];
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'['))
            break;
        result << line;
    }
}

void TBatchFileExecute::Execute(const QString& fileName, const TOpenFileEvent& openFile) {
    const QString path = QDir::current().absoluteFilePath(fileName);
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return;
    Lines = SplitLines(QString::fromUtf8(file.readAll()));
    file.close();

    QStringList entries;
    ReadSection(QStringLiteral("[Open]"), entries);
    const TOpenFileEvent& open = openFile ? openFile : OnOpenFile;
    // A document that fails to open keeps neither the other documents nor the deletions from
    // happening; its error comes out once the whole file has been carried out.
    std::exception_ptr firstError;
    if (open)
        for (const QString& entry : entries)
            if (QFileInfo::exists(entry)) {
                try {
                    open(entry);
                } catch (...) {
                    if (!firstError)
                        firstError = std::current_exception();
                }
            }

    ReadSection(QStringLiteral("[Delete]"), entries);
    for (const QString& entry : entries)
        DeleteListedFile(entry);
    if (firstError)
        std::rethrow_exception(firstError);
}

void DeleteListedFile(const QString& fileName) {
    const QFileInfo info(fileName);
    // A link, dangling or not, is removed itself; unlink never follows it.
    if (!info.isSymLink() && !info.exists())
        return;
    if (info.isDir() && !info.isSymLink())
        return;
    ::unlink(QFile::encodeName(fileName).constData());
}
