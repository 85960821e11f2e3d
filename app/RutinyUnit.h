// Shared services without windows: version information, machine identifier and small file helpers.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

// The version block of a Trabex executable. On Linux the block is a marked record compiled into
// every Trabex binary (see VersionRecord.cpp); TVersionInfo finds it in the file it is given.
class TVersionInfo {
public:
    explicit TVersionInfo(const QString& fileName);

    bool Valid() const { return valid; }
    // First translation entry: language in the low 16 bits, code page in the high 16 bits.
    std::optional<std::uint32_t> Translation() const;
    // Eight upper-case hex digits, language first ("040504E2"); empty without a translation.
    QString TranslationText() const;
    // The fixed file version, most significant half first; none when not valid.
    struct TFixedInfo {
        std::uint32_t FileVersionMS = 0;
        std::uint32_t FileVersionLS = 0;
    };
    std::optional<TFixedInfo> FixedInfo() const;
    std::pair<std::uint32_t, std::uint32_t> FixedFileVersion() const;
    QString StringValue(const QString& name) const;
    QString FileVersion() const;

    // Parses a raw version block (exposed so that blocks can be tested without a binary).
    static TVersionInfo FromBlock(const QByteArray& block);

private:
    TVersionInfo() = default;
    QString fileName;
    bool valid = false;
    QByteArray buffer;
};

// The file version text of the running program, "2.1.0.88".
QString FileVersion();

// Machine identifier "%.4X-%.4X" of the 32-bit id of the file system holding path;
// "0000-0000" when it cannot be read.
QString GetVolumeSerial(const QString& path);
QString FormatVolumeSerial(std::uint32_t serial);

// Moves a file to the freedesktop trash. False when the file does not exist or the move failed.
bool DeleteToRecycleBin(const QString& fileName, bool confirm);

// Folder of the running executable, without a trailing separator.
QString GetExeDir();
// Full path of the running executable.
QString GetExePath();

// File name without folder and without the part from the last ".".
QString FileNameWithoutExt(const QString& path);

// value / step rounded half to even, times step, truncated toward zero.
std::int64_t RoundToStep(long double value, long double step);

// Resident set size of this process in bytes; throws std::runtime_error when it cannot be read.
std::uint64_t GetProcessMemoryUsed();
