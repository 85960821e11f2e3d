// The start-up command file: documents to open and files to delete, read once at every start.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

using TOpenFileEvent = std::function<void(const QString&)>;

// Reads the command file fileName (relative to the current working directory) in its
// constructor, opens the files of its "[Open]" section through the callback, then deletes the
// files of its "[Delete]" section for good. A missing command file does nothing. An error of the
// callback does not stop the other opens or the deletions; the first one is thrown at the end.
class TBatchFileExecute {
public:
    // A command that reads no file and runs nothing: its Lines are set directly.
    TBatchFileExecute() = default;
    TBatchFileExecute(const QString& fileName, TOpenFileEvent openFile);

    // The entries of the section whose header line equals header (whole line, any letter case):
    // the lines after it up to a line starting with "[", empty lines skipped.
    void ReadSection(const QString& header, QStringList& result) const;

    // Used only when the constructor is given no callback.
    TOpenFileEvent OnOpenFile;
    QStringList Lines;

    // The command file's name at start-up.
    static QString DefaultFileName() { return QStringLiteral("Trabex.run"); }

    // Splits a text into lines as a text list loads it: a line ends at CR LF, LF or CR.
    static QStringList SplitLines(const QString& text);

private:
    void Execute(const QString& fileName, const TOpenFileEvent& openFile);
};

// Removes a listed file for good. A symbolic link is removed itself, never what it points to.
void DeleteListedFile(const QString& fileName);
