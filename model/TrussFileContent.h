// A truss text read into sections and entries, looked up without regard to letter case.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

struct TTrussFileContent {
    // Reads INI-style lines; the first occurrence of a section or key counts.
    static TTrussFileContent Parse(const QStringList& lines);

    // The raw value text of an entry; none when the section or the key is missing.
    std::optional<QString> Value(const QString& section, const QString& key) const;
    // Missing or unreadable values read as 0, 0.0 and false.
    int Integer(const QString& section, const QString& key) const;
    std::optional<int> IntegerOrNone(const QString& section, const QString& key) const;
    double Real(const QString& section, const QString& key) const;
    bool Boolean(const QString& section, const QString& key) const;
    // The section's Count; a missing or negative count reads as 0.
    int Count(const QString& section) const;

    // Section names and keys are stored in lower case.
    QHash<QString, QHash<QString, QString>> Sections;
};
