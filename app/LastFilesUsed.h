// The recent-files list: the eight files loaded or saved last, their File-menu items, and which
// of them were open when the program ended.
#pragma once

#include "BatchFileExecute.h"

#include <QString>

#include <array>

class QAction;
class TSettingsStore;

struct TLastFileEntry {
    QString FileName;
    QString Name;
    bool Open = false;
};

class TLastFilesUsed {
public:
    static constexpr int Capacity = 8;

    // Reads the entries from the store's section and refreshes the eight menu items that start
    // at firstItem. The store and the menu item may be null.
    TLastFilesUsed(TSettingsStore* store, const QString& section, QAction* firstItem);
    // Writes the entries to the store; the only time the list is written.
    ~TLastFilesUsed();
    TLastFilesUsed(const TLastFilesUsed&) = delete;
    TLastFilesUsed& operator=(const TLastFilesUsed&) = delete;

    // A file was loaded or saved: it becomes entry 1 and is marked open.
    void FileUsed(const QString& fileName, const QString& name);
    // The window showing fileName closed, or saves under another name.
    void FileClosed(const QString& fileName);
    void UpdateMenu();
    // Opens the entries marked open: all, least recent first, or entry 1 only.
    void ReopenFiles(bool all);
    // The click on the menu item at index 0..7.
    void MenuClick(int index);

    // Entry n, 1 to 8.
    const TLastFileEntry& Entry(int n) const { return entries[static_cast<size_t>(n - 1)]; }
    // The eight menu items, in menu order; empty without a first item.
    QList<QAction*> MenuItems() const;

    TOpenFileEvent OnOpenFile;

private:
    TLastFileEntry& At(int n) { return entries[static_cast<size_t>(n - 1)]; }
    void Compact();
    void LoadFromStore();
    void SaveToStore() const;

    std::array<TLastFileEntry, Capacity> entries;
    QAction* firstItem;
    TSettingsStore* store;
    QString section;
    bool busy = false;
};
