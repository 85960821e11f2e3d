// A temporary language folder for the tests: writes language files and reads back the manager.
#pragma once

#include "plsLangMan.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(QStringView text, std::ostream* os) {
    PrintTo(text.toString(), os);
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i ? ", " : "");
        PrintTo(list[i], os);
    }
    *os << '}';
}

class TLangFolder {
public:
    TLangFolder() { EXPECT_TRUE(dir.isValid()); }

    QString Path() const { return dir.path(); }
    // Writes bytes to the file at relative path (folders made as needed) and returns its path.
    QString Write(const QString& relative, const QByteArray& bytes) const {
        const QString path = dir.filePath(relative);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        EXPECT_EQ(file.write(bytes), bytes.size());
        return QFileInfo(path).absoluteFilePath();
    }
    QString File(const QString& relative) const {
        return QFileInfo(dir.filePath(relative)).absoluteFilePath();
    }

private:
    QTemporaryDir dir;
};

// A manager that searches only the given folder and counts its language-change events.
struct TCountingManager {
    explicit TCountingManager(const QString& folder) {
        manager.SetFolder(folder);
        manager.OnLanguageChanged = [this](TLanguageManager& sender) {
            ++events;
            EXPECT_EQ(&sender, &manager);
        };
    }
    TLanguageManager manager;
    int events = 0;
};
