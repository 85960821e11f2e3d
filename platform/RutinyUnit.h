// Shared services without windows: version information, machine identifier and small file helpers.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// The version block of a Trabex executable. On Linux the block is a marked record compiled into
// every Trabex binary (layout in VersionRecord.h); TVersionInfo finds it in the file it is given.
// A file without a well-formed record gives an object that is not valid and yields nothing.
class TVersionInfo {
public:
    explicit TVersionInfo(const QString& fileName);

    bool Valid() const { return valid; }
    const QString& FileName() const { return fileName; }
    // The raw record as found (empty when not valid).
    const QByteArray& Block() const { return buffer; }

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
    // Both halves of the fixed file version, most significant first; zeros when not valid.
    std::pair<std::uint32_t, std::uint32_t> FixedFileVersion() const;
    // The value of name in the string table of Translation(); empty when there is none.
    QString StringValue(const QString& name) const;
    // The "FileVersion" string, or else "%d.%d.%d.%d" from the fixed version; empty when not
    // valid.
    QString FileVersion() const;

    // Parses a raw version block that starts with the record marker (for blocks without a file).
    static TVersionInfo FromBlock(const QByteArray& block);

private:
    TVersionInfo() = default;
    // Takes over the record at the start of candidate when it is well-formed.
    bool Adopt(QByteArrayView candidate);

    QString fileName;
    bool valid = false;
    QByteArray buffer;
    TFixedInfo fixed;
    std::vector<std::uint32_t> translations;
    // Values by their sub-block path, "\StringFileInfo\040504E2\FileVersion".
    QHash<QString, QString> strings;
};

// The file version text of the running program, "2.1.0.88": read once from the executable's own
// record, the compiled-in text when that cannot be read.
QString FileVersion();

// Machine identifier: the low 32 bits of the id of the file system holding path (statvfs
// f_fsid), formatted by FormatVolumeSerial; "0000-0000" when it cannot be read.
QString GetVolumeSerial(const QString& path);
// "%.4X-%.4X" of the high and low 16 bits: 0x00AB12CD gives "00AB-12CD".
QString FormatVolumeSerial(std::uint32_t serial);

// Moves a file to the freedesktop trash of the user. False when the file does not exist (the
// trash is then not touched) or when it is still in its place afterwards.
bool DeleteToRecycleBin(const QString& fileName, bool confirm);

// Full path of the running executable.
QString GetExePath();
// Folder of the running executable, without a trailing separator.
QString GetExeDir();
// The executable as the kernel names it (/proc/self/exe); GetExePath before QCoreApplication.
QString ProcessExePath();

// File name without folder ("/" or "\") and without the part from the last ".".
QString FileNameWithoutExt(const QString& path);

// value / step rounded to the nearest integer, halves to even, times step, truncated toward
// zero. A result beyond the 64-bit range is clamped to it; a result that is not a number is 0.
std::int64_t RoundToStep(long double value, long double step);

// Resident set size of this process in bytes; throws std::runtime_error when it cannot be read.
std::uint64_t GetProcessMemoryUsed();
// The resident set size from a statm file (pages in its second field) in bytes; throws
// std::runtime_error when the file cannot be read or does not hold the field.
std::uint64_t ReadResidentSetSize(const QString& statmPath);
