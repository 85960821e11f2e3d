// Reading and writing the options INI file and the placement of windows in it.
#include "FormPlacement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>

namespace {

// Show states as the placement records them.
constexpr int ShowNormal = 1;
constexpr int ShowMinimized = 2;
constexpr int ShowMaximized = 3;

QStringList ReadLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.split(u'\n');
}

bool IsHeader(const QString& line, QString* name = nullptr) {
    const QString t = line.trimmed();
    if (t.size() < 2 || !t.startsWith(u'[') || !t.endsWith(u']'))
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

// Splits "key=value"; false for lines that hold no entry.
bool SplitEntry(const QString& line, QString& key, QString& value) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0 || line.trimmed().startsWith(u';'))
        return false;
    key = line.left(eq).trimmed();
    value = line.mid(eq + 1).trimmed();
    return !key.isEmpty();
}

QString FindKey(const QMap<QString, QString>& values, const QString& key) {
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return it.key();
    return {};
}

QList<int> ParseInts(const QString& text) {
    QList<int> result;
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const int v = part.trimmed().toInt(&ok);
        if (!ok)
            return {};
        result << v;
    }
    return result;
}

} // namespace

QString OptionsIniFile() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Trabex");
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return folder + u'/' + (exe.isEmpty() ? QStringLiteral("trabex") : exe) +
           QStringLiteral(".INI");
}

QMap<QString, QString> ReadIniSection(const QString& path, const QString& section) {
    QMap<QString, QString> values;
    bool inside = false;
    for (const QString& line : ReadLines(path)) {
        QString name;
        if (IsHeader(line, &name)) {
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString key, value;
        if (inside && SplitEntry(line, key, value) && FindKey(values, key).isEmpty())
            values.insert(key, value);
    }
    return values;
}

QString IniValue(const QMap<QString, QString>& section, const QString& name, const QString& def) {
    const QString key = FindKey(section, name);
    return key.isEmpty() ? def : section.value(key);
}

bool WriteIniSection(const QString& path, const QString& section,
                     const QMap<QString, QString>& values) {
    QStringList lines = ReadLines(path);
    while (!lines.isEmpty() && lines.constLast().trimmed().isEmpty())
        lines.removeLast();
    QMap<QString, QString> pending = values;
    // Rewrite the keys where they stand, then add the new ones at the end of the section.
    qsizetype sectionEnd = -1;
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString name;
        if (IsHeader(lines[i], &name)) {
            if (inside)
                break;
            inside = name.compare(section, Qt::CaseInsensitive) == 0;
            if (inside)
                sectionEnd = i + 1;
            continue;
        }
        QString key, value;
        if (!inside)
            continue;
        if (!lines[i].trimmed().isEmpty())
            sectionEnd = i + 1;
        if (!SplitEntry(lines[i], key, value))
            continue;
        const QString match = FindKey(pending, key);
        if (!match.isEmpty()) {
            lines[i] = key + u'=' + pending.take(match);
        }
    }
    QStringList added;
    for (auto it = pending.cbegin(); it != pending.cend(); ++it)
        added << it.key() + u'=' + it.value();
    if (sectionEnd < 0) {
        if (!lines.isEmpty())
            lines << QString();
        lines << u'[' + section + u']' << added;
    } else {
        for (qsizetype k = 0; k < added.size(); ++k)
            lines.insert(sectionEnd + k, added[k]);
    }

    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    return file.commit();
}

QMap<QString, QString> PlacementValues(const QWidget& window) {
    const QRect normal =
        window.isMaximized() || window.isMinimized() ? window.normalGeometry() : window.geometry();
    const int show = window.isMinimized()   ? ShowMinimized
                     : window.isMaximized() ? ShowMaximized
                                            : ShowNormal;
    // The right and bottom edges lie one pixel beyond the window, as in a platform rectangle.
    return {
        {QStringLiteral("Flags"), QStringLiteral("0")},
        {QStringLiteral("ShowCmd"), QString::number(show)},
        {QStringLiteral("PixelsPerInch"), QString::number(window.logicalDpiX())},
        {QStringLiteral("MinMaxPos"), QStringLiteral("-1,-1,-1,-1")},
        {QStringLiteral("NormPos"), QStringLiteral("%1,%2,%3,%4")
                                        .arg(normal.left())
                                        .arg(normal.top())
                                        .arg(normal.left() + normal.width())
                                        .arg(normal.top() + normal.height())},
    };
}

bool RestorePlacement(QWidget& window, const QMap<QString, QString>& section) {
    const QList<int> pos = ParseInts(IniValue(section, QStringLiteral("NormPos")));
    if (pos.size() != 4 || pos[2] <= pos[0] || pos[3] <= pos[1])
        return false;
    window.setGeometry(pos[0], pos[1], pos[2] - pos[0], pos[3] - pos[1]);
    if (IniValue(section, QStringLiteral("ShowCmd")).toInt() == ShowMaximized)
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    return true;
}

void PlaceOnFirstStart(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size(static_cast<int>(area.width() * FirstStartShare),
                     static_cast<int>(area.height() * FirstStartShare));
    // The frame's outer rectangle is centred; the geometry set is the client part within it.
    const QSize frame = window.frameGeometry().size() - window.geometry().size();
    QRect placed(QPoint(0, 0), size - frame);
    placed.moveCenter(area.center());
    window.setGeometry(placed);
}
