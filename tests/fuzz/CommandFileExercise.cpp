// The start-up command file exercise: the bytes as its lines, its two sections read.
#include "ReaderExercises.h"

#include "BatchFileExecute.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString OpenHeader = QStringLiteral("[Open]");
const QString DeleteHeader = QStringLiteral("[Delete]");

// The section as the file format defines it, read another way: the non-empty lines after the
// first line equal to header (in any letter case) up to the next line beginning with "[".
QStringList expectedSection(const QStringList& lines, const QString& header) {
    const auto begin = std::find_if(lines.begin(), lines.end(), [&](const QString& line) {
        return line.compare(header, Qt::CaseInsensitive) == 0;
    });
    if (begin == lines.end())
        return {};
    const auto end = std::find_if(begin + 1, lines.end(),
                                  [](const QString& line) { return line.startsWith(u'['); });
    QStringList section(begin + 1, end);
    section.removeAll(QString());
    return section;
}

std::string checkSection(const TBatchFileExecute& command, const QString& header) {
    QStringList entries{QStringLiteral("left over from before")};
    command.ReadSection(header, entries);
    if (entries != expectedSection(command.Lines, header))
        return "section " + header.toStdString() + " is read wrongly";
    QStringList upper;
    command.ReadSection(header.toUpper(), upper);
    if (upper != entries)
        return "section " + header.toStdString() + " depends on the letter case of its header";
    return {};
}

} // namespace

std::string ExerciseCommandFile(QByteArrayView bytes) {
    const QString text = QString::fromUtf8(bytes);
    TBatchFileExecute command;
    command.Lines = TBatchFileExecute::SplitLines(text);

    // The lines are the text with its line ends taken out, and nothing else.
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QString joined = command.Lines.join(u'\n');
    if (normalized.endsWith(u'\n'))
        joined += u'\n';
    if (joined != normalized)
        return "the lines are not those of the text";

    for (const QString& header : {OpenHeader, DeleteHeader})
        if (std::string failure = checkSection(command, header); !failure.empty())
            return failure;
    return {};
}
