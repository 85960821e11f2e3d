// TSettingsStore on QSettings, and the usage stamp.
//
// On Linux the store is the INI file Trabex/Trabex.ini in the user's config folder
// ($XDG_CONFIG_HOME, else ~/.config); on Windows it is the registry key
// HKEY_CURRENT_USER\Software\<executable base name>. Sections are groups, value names keys.
//
// Two differences between an INI file and the registry are settled here:
// - Names: the registry ignores the case of key and value names, QSettings does not. The store
//   looks a section and a value up ignoring case and writes back under the spelling already
//   stored, so "info"/"noofexecute" and "Info"/"NoOfExecute" are one value, as they were.
// - Backslashes: in an INI file QSettings reads "\" as the start of an escape. Values written
//   through the store are escaped by QSettings and read back unchanged ("C:\Data" is stored as
//   "C:\\Data"); an INI file written by hand or by another tool must double its backslashes.
//   A "\" inside a name is an ordinary character (stored as %5C); "/" in a name separates
//   groups and is not used in the program's names.
//
// Every write is synced at once and every read first picks up changes on disk, so that store
// objects of this and of other Trabex processes see each other's writes as with the registry.
// A store that cannot be written reports it through Status() and, once per file and run, to the
// write failure handler.
#include "SettingsStore.h"
#include "RutinyUnit.h"

#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <QStringList>

#include <climits>

namespace {

std::unique_ptr<QSettings> OpenPlatformSettings() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") +
                                           FileNameWithoutExt(GetExePath()),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Trabex"), QStringLiteral("Trabex"));
#endif
}

// The stored spelling of wanted among names: the exact one, else one equal but for case, else
// wanted itself (a new name).
QString MatchName(const QStringList& names, const QString& wanted) {
    if (names.contains(wanted))
        return wanted;
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    }
    return wanted;
}

// A value that QSettings split at unquoted commas (an INI line written by another tool) is
// joined back into the one text it was.
QString TextOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

int IntegerOf(const QVariant& value, int def) {
    if (!value.isValid())
        return def;
    bool ok = false;
    const int number =
        value.typeId() == QMetaType::QString ? value.toString().toInt(&ok, 10) : value.toInt(&ok);
    return ok ? number : def;
}

// The handler of write failures and the files already reported to it.
struct TWriteFailureReports {
    TSettingsWriteFailure Handler;
    QSet<QString> Reported;
};

TWriteFailureReports& WriteFailureReports() {
    static TWriteFailureReports reports;
    return reports;
}

// A store keeps reporting its first failure, and every store object of a file fails alike, so
// each file is reported once: the user hears of it without a box at every write.
void ReportWriteFailure(const QSettings& settings) {
    TWriteFailureReports& reports = WriteFailureReports();
    if (settings.status() == QSettings::NoError || !reports.Handler ||
        reports.Reported.contains(settings.fileName()))
        return;
    reports.Reported.insert(settings.fileName());
    // A copy: the handler may replace itself while it runs.
    const TSettingsWriteFailure handler = reports.Handler;
    handler(settings.fileName());
}

QString LocalDateTimeText(const QDateTime& now) {
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

} // namespace

TSettingsStore::TSettingsStore() : settings(OpenPlatformSettings()) {}

TSettingsStore::~TSettingsStore() {
    settings->sync();
}

QString TSettingsStore::Key(const QString& section, const QString& name) const {
    const QString group = MatchName(settings->childGroups(), section);
    settings->beginGroup(group);
    const QString key = MatchName(settings->childKeys(), name);
    settings->endGroup();
    return group + QLatin1Char('/') + key;
}

QVariant TSettingsStore::Value(const QString& section, const QString& name) const {
    settings->sync();
    return settings->value(Key(section, name));
}

void TSettingsStore::Store(const QString& key, const QVariant& value) {
    settings->setValue(key, value);
    settings->sync();
    ReportWriteFailure(*settings);
}

QString TSettingsStore::ReadString(const QString& section, const QString& name,
                                   const QString& def) const {
    const QVariant value = Value(section, name);
    return value.isValid() ? TextOf(value) : def;
}

int TSettingsStore::ReadInteger(const QString& section, const QString& name, int def) const {
    return IntegerOf(Value(section, name), def);
}

bool TSettingsStore::ReadBool(const QString& section, const QString& name, bool def) const {
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

void TSettingsStore::WriteString(const QString& section, const QString& name,
                                 const QString& value) {
    Store(Key(section, name), value);
}

// An integer goes in as a number (a DWORD in the registry), except where the value already
// exists as text: that stays text. In an INI file every value reads back as text, so there the
// counters always stay decimal text.
void TSettingsStore::WriteInteger(const QString& section, const QString& name, int value) {
    const QString key = Key(section, name);
    settings->sync();
    if (settings->value(key).typeId() == QMetaType::QString)
        Store(key, QString::number(value));
    else
        Store(key, value);
}

void TSettingsStore::WriteBool(const QString& section, const QString& name, bool value) {
    WriteString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

// A counter that has reached the largest 32-bit value stays there: counters never go back.
int TSettingsStore::Increment(const QString& section, const QString& name) {
    const int current = ReadInteger(section, name, 0);
    const int next = current == INT_MAX ? current : current + 1;
    WriteInteger(section, name, next);
    return next;
}

void TSettingsStore::Flush() {
    settings->sync();
}

QSettings::Status TSettingsStore::Status() const {
    return settings->status();
}

QString TSettingsStore::FileName() const {
    return settings->fileName();
}

void SetSettingsWriteFailureHandler(TSettingsWriteFailure handler) {
    WriteFailureReports() = TWriteFailureReports{std::move(handler), {}};
}

QString UsageStamp() {
    return LocalDateTimeText(QDateTime::currentDateTime()) + QLatin1Char(' ') + GetExePath() +
           QStringLiteral(" SN:") + GetVolumeSerial(GetExeDir());
}
