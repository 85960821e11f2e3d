// The .trs file format: writing and reading a truss as INI text, and safe saving to disk.
#include "TrussFileContent.h"
#include "TrussSystem.h"

#include "NumberFormat.h"
#include "RegularFile.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "UMatrix.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const QString SecPruty = QStringLiteral("Pruty");
const QString SecPodpery = QStringLiteral("Podpery");
const QString SecZatizeni = QStringLiteral("Zatizeni");
const QString SecInfo = QStringLiteral("Info");
const QString SecJednotky = QStringLiteral("Jednotky");
const QString KeyDelka = QStringLiteral("Delka");
const QString KeyJednotkaDelky = QStringLiteral("JednotkaDelky");
const QString KeyJednotkaSily = QStringLiteral("JednotkaSily");
const QString KeyCount = QStringLiteral("Count");
// The reader looks entries up by these lower-case names.
const QString LowPruty = QStringLiteral("pruty");
const QString LowPodpery = QStringLiteral("podpery");
const QString LowZatizeni = QStringLiteral("zatizeni");
const QString LowJednotky = QStringLiteral("jednotky");

QString key(const char* prefix, int index) {
    return QLatin1String(prefix) + QString::number(index);
}

QString entry(const QString& name, const QString& value) {
    return name + u'=' + value;
}
QString entry(const char* prefix, int index, int value) {
    return key(prefix, index) + u'=' + QString::number(value);
}
QString entry(const char* prefix, int index, double value) {
    return key(prefix, index) + u'=' + FormatFileReal(value);
}

// A positive finite real as written; anything else (missing, unreadable, zero, negative,
// infinite) is not such a value.
bool isPositiveReal(double value) {
    return std::isfinite(value) && value > 0;
}

// A positive real is written only when its text differs from that of its default, so a value
// that reads back as the default is never written and a truss that uses no stiffness or units
// saves exactly as before.
bool differsInFile(double value, double byDefault) {
    return isPositiveReal(value) && FormatFileReal(value) != FormatFileReal(byDefault);
}

// A real that must be positive: a value that is not a positive finite real reads as the default.
double positiveReal(const std::optional<QString>& text, double byDefault) {
    const std::optional<double> v = text ? ParseFileReal(*text) : std::nullopt;
    return v && isPositiveReal(*v) ? *v : byDefault;
}

void checkCount(const TTrussFileContent& content, const QString& section) {
    const int count = content.Count(section);
    if (count > MaxFileItemCount)
        throw ETrussFileError(QStringLiteral("The section [%1] declares %2 items; a truss file may "
                                             "hold at most %3 per section.")
                                  .arg(section)
                                  .arg(count)
                                  .arg(MaxFileItemCount)
                                  .toStdString());
}

// Refuses a text whose counts could never be loaded, before anything of the truss changes.
void validate(const TTrussFileContent& content) {
    checkCount(content, SecPruty);
    checkCount(content, SecPodpery);
    checkCount(content, SecZatizeni);
}

[[noreturn]] void throwFileError(const QString& what, const QString& path, const QString& why) {
    throw ETrussFileError(
        (what + QStringLiteral(" \"") + path + QStringLiteral("\": ") + why).toStdString());
}

} // namespace

QStringList SplitTrussLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' || c == u'\n') {
            lines << text.mid(start, i - start);
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

TTrussFileContent TTrussFileContent::Parse(const QStringList& lines) {
    TTrussFileContent content;
    QHash<QString, QString>* current = nullptr;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed().toLower();
            // A repeated section adds nothing: its first occurrence counts.
            current = content.Sections.contains(name) ? nullptr : &content.Sections[name];
            continue;
        }
        if (!current)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        const QString k = (eq < 0 ? line : line.left(eq).trimmed()).toLower();
        if (!current->contains(k))
            current->insert(k, eq < 0 ? QString() : line.mid(eq + 1).trimmed());
    }
    return content;
}

std::optional<QString> TTrussFileContent::Value(const QString& section, const QString& k) const {
    return LowerValue(section.toLower(), k.toLower());
}

std::optional<QString> TTrussFileContent::LowerValue(const QString& section,
                                                     const QString& k) const {
    const auto s = Sections.constFind(section);
    if (s == Sections.constEnd())
        return std::nullopt;
    const auto v = s->constFind(k);
    if (v == s->constEnd())
        return std::nullopt;
    return *v;
}

std::optional<int> TTrussFileContent::IntegerOrNone(const QString& section,
                                                    const QString& k) const {
    const auto v = Value(section, k);
    return v ? ParseFileInteger(*v) : std::nullopt;
}

int TTrussFileContent::Integer(const QString& section, const QString& k) const {
    return IntegerOrNone(section, k).value_or(0);
}

double TTrussFileContent::Real(const QString& section, const QString& k) const {
    const auto v = Value(section, k);
    return v ? ParseFileReal(*v).value_or(0) : 0;
}

bool TTrussFileContent::Boolean(const QString& section, const QString& k) const {
    return Integer(section, k) != 0;
}

int TTrussFileContent::Count(const QString& section) const {
    return std::max(0, Integer(section, KeyCount));
}

void TPrutovaSoustava::SaveToStrings(QStringList& lines) const {
    SaveItemsToStrings(lines);
    const QString stamp = InfoStamp.isEmpty() ? UsageStamp() : InfoStamp;
    lines << QString() << u'[' + SecInfo + u']' << entry(FileVersion(), stamp) << QString();
}

void TPrutovaSoustava::SaveItemsToStrings(QStringList& lines) const {
    lines.reserve(lines.size() + 4 * PrutCount() + 5 * PodperaCount() + 4 * SilaCount() + 12);
    lines << u'[' + SecPruty + u']' << entry(KeyCount, QString::number(PrutCount()));
    for (int i = 0; i < PrutCount(); ++i) {
        const TPrut& p = *Pruty[static_cast<size_t>(i)];
        lines << entry("Sa_X", i, p.Sa_X) << entry("Sa_Y", i, p.Sa_Y) << entry("Sb_X", i, p.Sb_X)
              << entry("Sb_Y", i, p.Sb_Y);
        if (differsInFile(p.EA, DefaultEA))
            lines << entry("EA", i, p.EA);
    }
    lines << QString() << u'[' + SecPodpery + u']'
          << entry(KeyCount, QString::number(PodperaCount()));
    for (int i = 0; i < PodperaCount(); ++i) {
        const TPodpera& s = *Podpery[static_cast<size_t>(i)];
        lines << entry("X", i, s.X) << entry("Y", i, s.Y)
              << entry("P_X", i, (s.Fixed & P_X) ? 1 : 0)
              << entry("P_Y", i, (s.Fixed & P_Y) ? 1 : 0) << entry("Kv", i, int{s.Kv});
    }
    lines << QString() << u'[' + SecZatizeni + u']'
          << entry(KeyCount, QString::number(SilaCount()));
    for (int i = 0; i < SilaCount(); ++i) {
        const TSila& f = *Zatizeni[static_cast<size_t>(i)];
        lines << entry("Sila", i, f.Sila) << entry("X", i, f.X) << entry("Y", i, f.Y)
              << entry("Uhel", i, f.Uhel);
    }
    if (!Units.IsDefault()) {
        const double delka = isPositiveReal(Units.Delka) ? Units.Delka : TTrussUnits().Delka;
        lines << QString() << u'[' + SecJednotky + u']' << entry(KeyDelka, FormatFileReal(delka))
              << entry(KeyJednotkaDelky, CleanUnitName(Units.JednotkaDelky))
              << entry(KeyJednotkaSily, CleanUnitName(Units.JednotkaSily));
    }
}

bool TTrussUnits::IsDefault() const {
    return !differsInFile(Delka, TTrussUnits().Delka) && CleanUnitName(JednotkaDelky).isEmpty() &&
           CleanUnitName(JednotkaSily).isEmpty();
}

QString CleanUnitName(const QString& name) {
    QString clean = name;
    for (QChar& c : clean)
        if (c.category() == QChar::Other_Control)
            c = u' ';
    return clean.trimmed();
}

void TPrutovaSoustava::MarkSaved() {
    SavedItems.clear();
    SaveItemsToStrings(SavedItems);
}

bool TPrutovaSoustava::IsModified() const {
    QStringList now;
    SaveItemsToStrings(now);
    return now != SavedItems;
}

namespace {

int lowerInteger(const TTrussFileContent& c, const QString& section, const char* prefix, int i) {
    const auto v = c.LowerValue(section, key(prefix, i));
    return v ? ParseFileInteger(*v).value_or(0) : 0;
}

double lowerReal(const TTrussFileContent& c, const QString& section, const char* prefix, int i) {
    const auto v = c.LowerValue(section, key(prefix, i));
    return v ? ParseFileReal(*v).value_or(0) : 0;
}

} // namespace

TTrussItems TTrussItems::Read(const TTrussFileContent& c) {
    TTrussItems items;
    const int bars = c.Count(SecPruty);
    items.Bars.reserve(static_cast<size_t>(bars));
    for (int i = 0; i < bars; ++i)
        items.Bars.push_back(
            {lowerInteger(c, LowPruty, "sa_x", i), lowerInteger(c, LowPruty, "sa_y", i),
             lowerInteger(c, LowPruty, "sb_x", i), lowerInteger(c, LowPruty, "sb_y", i),
             positiveReal(c.LowerValue(LowPruty, key("ea", i)), DefaultEA)});
    const int supports = c.Count(SecPodpery);
    for (int i = 0; i < supports; ++i) {
        TFixedSet fixed = 0;
        if (lowerInteger(c, LowPodpery, "p_x", i) != 0)
            fixed |= P_X;
        if (lowerInteger(c, LowPodpery, "p_y", i) != 0)
            fixed |= P_Y;
        const int kv = lowerInteger(c, LowPodpery, "kv", i);
        if (kv < 0 || kv > 255) {
            items.SupportError = QStringLiteral("Support %1 has Kv=%2, outside 0..255.")
                                     .arg(i)
                                     .arg(kv)
                                     .toStdString();
            break;
        }
        items.Supports.push_back({lowerInteger(c, LowPodpery, "x", i),
                                  lowerInteger(c, LowPodpery, "y", i), fixed,
                                  static_cast<std::uint8_t>(kv)});
    }
    const int forces = c.Count(SecZatizeni);
    items.Loads.reserve(static_cast<size_t>(forces));
    for (int i = 0; i < forces; ++i)
        items.Loads.push_back(
            {lowerInteger(c, LowZatizeni, "x", i), lowerInteger(c, LowZatizeni, "y", i),
             lowerReal(c, LowZatizeni, "sila", i), lowerReal(c, LowZatizeni, "uhel", i)});
    items.Units.Delka =
        positiveReal(c.LowerValue(LowJednotky, QStringLiteral("delka")), items.Units.Delka);
    items.Units.JednotkaDelky = CleanUnitName(
        c.LowerValue(LowJednotky, QStringLiteral("jednotkadelky")).value_or(QString()));
    items.Units.JednotkaSily = CleanUnitName(
        c.LowerValue(LowJednotky, QStringLiteral("jednotkasily")).value_or(QString()));
    return items;
}

void TPrutovaSoustava::ApplyItems(const TTrussItems& items) {
    Clear();
    Units = items.Units;
    // A cleared truss numbers the unknowns 1, 2, ... in the order they are added (the bars, then
    // each support's x and y reactions), as AddPrut and AddPodpera would; counting them here
    // spares the search for a free number, which would make a large file cost quadratic time.
    int next = 1;
    for (const auto& b : items.Bars)
        AddNumberedPrut(next++, b.SaX, b.SaY, b.SbX, b.SbY, b.EA);
    for (const auto& s : items.Supports) {
        const int reactionX = (s.Fixed & P_X) ? next++ : 0;
        const int reactionY = (s.Fixed & P_Y) ? next++ : 0;
        AddNumberedPodpera(s.X, s.Y, s.Fixed, s.Kv, reactionX, reactionY);
    }
    if (!items.SupportError.empty())
        throw ERangeError(items.SupportError);
    for (const auto& f : items.Loads)
        AddSila(f.X, f.Y, f.Sila, f.Uhel);
}

void TPrutovaSoustava::LoadFromStrings(const QStringList& lines) {
    const TTrussFileContent content = TTrussFileContent::Parse(lines);
    validate(content);
    ApplyItems(TTrussItems::Read(content));
}

// Writes the truss beside path under a temporary name first; only a complete file replaces the
// old one, which goes to the trash. A failure leaves the old file where it was.
void TPrutovaSoustava::WriteFileAtomically(const QString& path) const {
    QStringList lines;
    SaveToStrings(lines);
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";

    const QFileInfo target(path);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        throwFileError(QStringLiteral("Cannot save"), path, temp.errorString());
    if (temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0)
        throwFileError(QStringLiteral("Cannot save"), path, temp.errorString());
    const QFile::Permissions permissions =
        target.exists() ? QFile::permissions(path)
                        : (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                           QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    temp.setPermissions(permissions);
    temp.close();

    if (target.exists())
        DeleteToRecycleBin(path, false);
    // rename replaces an old file that could not go to the trash in one step.
    const QByteArray from = QFile::encodeName(temp.fileName());
    const QByteArray to = QFile::encodeName(path);
    if (std::rename(from.constData(), to.constData()) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        temp.setAutoRemove(false);
        throwFileError(QStringLiteral("Cannot save"), path,
                       why + QStringLiteral("; the new version is kept in ") + temp.fileName());
    }
    temp.setAutoRemove(false);
}

bool TPrutovaSoustava::SaveToFile(const QString& path) {
    WriteFileAtomically(path);
    FileName = path;
    MarkSaved();
    TSettingsStore store;
    store.Increment(SecInfo, QStringLiteral("NoOfSv"));
    if (OnFileUsed)
        OnFileUsed(path, QString());
    return true;
}

bool TPrutovaSoustava::Save() {
    if (FileName.isEmpty() || !QFileInfo(FileName).isFile())
        return false;
    return SaveToFile(FileName);
}

bool TPrutovaSoustava::LoadFromFile(const QString& path) {
    if (!QFileInfo::exists(path))
        return false;
    QByteArray bytes;
    QString why;
    if (!ReadRegularFile(path, MaxTrussFileSize, bytes, why))
        throwFileError(QStringLiteral("Cannot read"), path, why);
    const TTrussFileContent content =
        TTrussFileContent::Parse(SplitTrussLines(QString::fromUtf8(bytes)));
    validate(content);
    const TTrussItems items = TTrussItems::Read(content);

    ClearHistory();
    RecordSnapshots = false;
    try {
        ApplyItems(items);
    } catch (...) {
        RecordSnapshots = true;
        PushSnapshot();
        throw;
    }
    RecordSnapshots = true;
    PushSnapshot();
    FileName = path;
    MarkSaved();
    if (OnFileUsed)
        OnFileUsed(path, QString());
    return true;
}
