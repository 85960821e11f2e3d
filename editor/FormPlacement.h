// The options INI file: window placement and listed properties of a window, one section each.
#pragma once

#include <QMap>
#include <QString>

class QWidget;

// Path of the options INI file: the executable's name with ".INI" in the user's configuration
// folder (~/.config/Trabex/trabex.INI).
QString OptionsIniFile();

// The keys and values of one section (names compared without letter case); empty when the file
// or the section does not exist.
QMap<QString, QString> ReadIniSection(const QString& path, const QString& section);

// Replaces the given keys of one section and keeps everything else of the file as it was. The
// file is written beside itself first and then renamed, so a failure never leaves half a file.
bool WriteIniSection(const QString& path, const QString& section,
                     const QMap<QString, QString>& values);

// The value of name in a section read by ReadIniSection, matched without letter case.
QString IniValue(const QMap<QString, QString>& section, const QString& name,
                 const QString& def = QString());

// Placement keys of a window: Flags, ShowCmd, PixelsPerInch, MinMaxPos and NormPos.
QMap<QString, QString> PlacementValues(const QWidget& window);
// Puts a window where the placement keys say; false when they hold no usable position.
bool RestorePlacement(QWidget& window, const QMap<QString, QString>& section);

// Share of the screen's available area (each side) that a window takes at the first start.
constexpr double FirstStartShare = 0.9;
// The first start, with no placement stored: the window takes FirstStartShare of the available
// area of its screen, centred in it.
void PlaceOnFirstStart(QWidget& window);
