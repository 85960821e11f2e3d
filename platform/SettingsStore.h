// The per-user settings store (QSettings) and the usage stamp.
#pragma once

#include <QSettings>
#include <QString>

#include <functional>
#include <memory>

// One open handle on the per-user store; several may be open at once and see each other's writes.
// Sections and value names are matched ignoring case (see SettingsStore.cpp).
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

    // Adds one to an integer counter (0 when absent) and returns the new value; a counter at
    // 2147483647 stays there.
    int Increment(const QString& section, const QString& name);

    // Syncs with the file now; every write already does, so this only picks up changes on disk.
    void Flush();

    // NoError, or the first failure since the store was opened (AccessError when the INI file
    // could not be written); QSettings keeps a failure reported even after later writes succeed.
    QSettings::Status Status() const;

    // Path of the store's file (the INI file on Linux).
    QString FileName() const;

private:
    // "Section/Name" in the spelling already stored, or as given for a new value.
    QString Key(const QString& section, const QString& name) const;
    QVariant Value(const QString& section, const QString& name) const;
    void Store(const QString& key, const QVariant& value);

    std::unique_ptr<QSettings> settings;
};

// Told of the first write to a store file that fails in this run, with the file's path; the
// program sets it to warn the user. Without one, a failure shows only in Status().
using TSettingsWriteFailure = std::function<void(const QString& fileName)>;
// Sets the handler. A new handler hears of each failing file once, also of files reported to the
// handler before it.
void SetSettingsWriteFailureHandler(TSettingsWriteFailure handler);

// Local short date, a blank and long time, a blank, the executable's full path, " SN:" and the
// machine identifier of the executable's folder.
QString UsageStamp();
