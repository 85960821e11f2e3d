// A truss text read into sections and entries, looked up without regard to letter case.
#pragma once

#include "TrussSystem.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>

#include <optional>
#include <string>
#include <vector>

class TPrut;
class TPodpera;
class TSila;

// The lines of a file's text: a line ends at CR LF, LF or CR; a last line without an end counts.
QStringList SplitTrussLines(const QString& text);

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

    // Lookups with a section and key already in lower case (the reader's own keys).
    std::optional<QString> LowerValue(const QString& section, const QString& key) const;

    // Section names and keys are stored in lower case.
    QHash<QString, QHash<QString, QString>> Sections;
};

// The bars, supports and loads of a truss text in file order, ready to be added to a truss.
struct TTrussItems {
    static TTrussItems Read(const TTrussFileContent& content);

    struct TBar {
        int SaX, SaY, SbX, SbY;
        double EA;
    };
    struct TSupport {
        int X, Y;
        std::uint8_t Fixed, Kv;
    };
    struct TLoad {
        int X, Y;
        double Sila, Uhel;
    };
    std::vector<TBar> Bars;
    std::vector<TSupport> Supports;
    std::vector<TLoad> Loads;
    TTrussUnits Units;
    // A support whose Kv lies outside 0..255 stops the load there: the supports before it are
    // added, then this error is raised.
    std::string SupportError;
};
