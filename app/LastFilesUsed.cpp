// The recent-files list and its File-menu items.
#include "LastFilesUsed.h"

#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "plsLangConsts.h"

#include <QAction>
#include <QFileInfo>
#include <QWidget>

TLastFilesUsed::TLastFilesUsed(TSettingsStore* store, const QString& section, QAction* firstItem)
    : firstItem(firstItem), store(store), section(section) {
    LoadFromStore();
    UpdateMenu();
}

TLastFilesUsed::~TLastFilesUsed() {
    SaveToStore();
}

void TLastFilesUsed::FileUsed(const QString& fileName, const QString& name) {
    if (busy)
        return;
    if (At(1).FileName == fileName) {
        At(1).Open = true;
        return;
    }
    for (int n = 2; n <= Capacity; ++n)
        if (At(n).FileName == fileName) {
            At(n).FileName.clear();
            At(n).Name.clear();
            break;
        }
    Compact();
    for (int n = Capacity; n > 1; --n)
        At(n) = At(n - 1);
    At(1) = {fileName, name, true};
    UpdateMenu();
}

void TLastFilesUsed::Compact() {
    for (int i = Capacity - 1; i >= 1; --i) {
        if (!At(i).FileName.isEmpty())
            continue;
        for (int k = i; k < Capacity; ++k)
            At(k) = At(k + 1);
        At(Capacity).FileName.clear();
        At(Capacity).Name.clear();
    }
}

void TLastFilesUsed::FileClosed(const QString& fileName) {
    for (TLastFileEntry& e : entries)
        if (e.FileName == fileName)
            e.Open = false;
}

QList<QAction*> TLastFilesUsed::MenuItems() const {
    if (!firstItem)
        return {};
    // The items are the first one and the seven that follow it in its menu.
    QWidget* menu = nullptr;
    for (QObject* o : firstItem->associatedObjects())
        if ((menu = qobject_cast<QWidget*>(o)))
            break;
    if (!menu)
        return {firstItem};
    const QList<QAction*> all = menu->actions();
    const qsizetype first = all.indexOf(firstItem);
    return all.mid(first, Capacity);
}

void TLastFilesUsed::UpdateMenu() {
    const QList<QAction*> items = MenuItems();
    for (int n = 1; n <= static_cast<int>(items.size()); ++n) {
        const TLastFileEntry& e = Entry(n);
        QString text = e.Name.isEmpty() ? FileNameWithoutExt(e.FileName) : e.Name;
        if (e.Open)
            text += QStringLiteral(" [") + str_Opened + u']';
        QAction* item = items[n - 1];
        item->setText(QString::number(n) + u' ' + text);
        item->setVisible(!e.FileName.isEmpty());
        item->setEnabled(!e.FileName.isEmpty() && QFileInfo::exists(e.FileName));
    }
}

void TLastFilesUsed::MenuClick(int index) {
    if (!OnOpenFile || index < 0 || index >= Capacity)
        return;
    // The open reports back through FileUsed, which reorders the list.
    const QString name = Entry(index + 1).FileName;
    OnOpenFile(name);
}

void TLastFilesUsed::ReopenFiles(bool all) {
    if (!OnOpenFile)
        return;
    busy = true;
    for (int n = all ? Capacity : 1; n >= 1; --n) {
        const TLastFileEntry e = Entry(n);
        if (e.Open && QFileInfo::exists(e.FileName))
            OnOpenFile(e.FileName);
    }
    busy = false;
}

void TLastFilesUsed::LoadFromStore() {
    if (!store)
        return;
    for (int n = 1; n <= Capacity; ++n) {
        const QString k = QString::number(n);
        At(n) = {store->ReadString(section, QStringLiteral("File") + k, QString()),
                 store->ReadString(section, QStringLiteral("Name") + k, QString()),
                 store->ReadBool(section, QStringLiteral("Open") + k, false)};
    }
}

void TLastFilesUsed::SaveToStore() const {
    if (!store)
        return;
    for (int n = 1; n <= Capacity; ++n) {
        const QString k = QString::number(n);
        const TLastFileEntry& e = Entry(n);
        store->WriteString(section, QStringLiteral("File") + k, e.FileName);
        store->WriteString(section, QStringLiteral("Name") + k, e.Name);
        store->WriteBool(section, QStringLiteral("Open") + k, e.Open);
    }
}
