// The per-user settings store (QSettings) and the usage stamp.
#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// One open handle on the per-user store; several may be open at once and see each other's writes.
class TSettingsStore {
public:
    TSettingsStore();
    ~TSettingsStore();
    TSettingsStore(const TSettingsStore&) = delete;
    TSettingsStore& operator=(const TSettingsStore&) = delete;

    QString ReadString(const QString& section, const QString& name, const QString& def) const;
    int ReadInteger(const QString& section, const QString& name, int def) const;
    bool ReadBool(const QString& section, const QString& name, bool def) const;
    void WriteString(const QString& section, const QString& name, const QString& value);
    void WriteInteger(const QString& section, const QString& name, int value);
    void WriteBool(const QString& section, const QString& name, bool value);

    // Adds one to an integer counter (0 when absent) and returns the new value.
    int Increment(const QString& section, const QString& name);

    // Writes pending changes to disk.
    void Flush();

    // Path of the store's file (the INI file on Linux).
    QString FileName() const;

private:
    std::unique_ptr<QSettings> settings;
};

// Local date and time, a blank, the executable's full path, " SN:" and the machine identifier.
QString UsageStamp();
