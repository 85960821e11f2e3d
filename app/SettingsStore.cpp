// The per-user settings store on QSettings, and the usage stamp.
#include "SettingsStore.h"

#include "RutinyUnit.h"

#include <QDateTime>
#include <QFileInfo>
#include <QLocale>

namespace {

std::unique_ptr<QSettings> openStore() {
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\") +
                                           QFileInfo(GetExePath()).completeBaseName(),
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Trabex"), QStringLiteral("Trabex"));
#endif
}

QString keyOf(const QString& section, const QString& name) {
    return section + u'/' + name;
}

} // namespace

TSettingsStore::TSettingsStore() : settings(openStore()) {}

TSettingsStore::~TSettingsStore() {
    settings->sync();
}

QString TSettingsStore::ReadString(const QString& section, const QString& name,
                                   const QString& def) const {
    const QVariant v = settings->value(keyOf(section, name));
    return v.isValid() ? v.toString() : def;
}

int TSettingsStore::ReadInteger(const QString& section, const QString& name, int def) const {
    const QVariant v = settings->value(keyOf(section, name));
    if (!v.isValid())
        return def;
    bool ok = false;
    const int value = v.toString().trimmed().toInt(&ok);
    return ok ? value : def;
}

bool TSettingsStore::ReadBool(const QString& section, const QString& name, bool def) const {
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

void TSettingsStore::WriteString(const QString& section, const QString& name,
                                 const QString& value) {
    settings->setValue(keyOf(section, name), value);
    settings->sync();
}

void TSettingsStore::WriteInteger(const QString& section, const QString& name, int value) {
    // An INI file holds every value as text; a value found as text stays decimal text.
    settings->setValue(keyOf(section, name), QString::number(value));
    settings->sync();
}

void TSettingsStore::WriteBool(const QString& section, const QString& name, bool value) {
    WriteString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

int TSettingsStore::Increment(const QString& section, const QString& name) {
    settings->sync();
    const int value = ReadInteger(section, name, 0);
    // The counters never wrap round into negative numbers.
    const int next = value == INT_MAX ? value : value + 1;
    WriteInteger(section, name, next);
    return next;
}

void TSettingsStore::Flush() {
    settings->sync();
}

QString TSettingsStore::FileName() const {
    return settings->fileName();
}

QString UsageStamp() {
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(now.time(), QLocale::LongFormat) + u' ' + GetExePath() +
           QStringLiteral(" SN:") + GetVolumeSerial(GetExeDir());
}
