// Small shared services: own file version, machine identifier, trash, paths, rounding, memory.
#include "RutinyUnit.h"
#include "VersionRecord.h"

#include "TrabexVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <stdexcept>
#include <string>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

QString ReadOwnFileVersion() {
    const QString text = TVersionInfo(GetExePath()).FileVersion();
    return text.isEmpty() ? QStringLiteral(TRABEX_FILE_VERSION) : text;
}

// True for anything with a directory entry, a dangling symbolic link included.
bool EntryExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Qt 6.4 cannot set up the home trash when its parent folder is missing; it then reports
// success and leaves the file in "files" below the current folder. Creating the parent first
// avoids that.
bool EnsureTrashParent() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return !data.isEmpty() && QDir().mkpath(data);
}

// q rounded to the nearest integer with halves to the even one, whatever the FPU's mode.
long double RoundHalfToEven(long double q) {
    const long double below = std::floor(q);
    const long double fraction = q - below;
    if (fraction > 0.5L)
        return below + 1;
    if (fraction < 0.5L)
        return below;
    return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

std::int64_t ClampToInt64(long double value) {
    constexpr auto lowest = std::numeric_limits<std::int64_t>::min();
    constexpr auto highest = std::numeric_limits<std::int64_t>::max();
    if (std::isnan(value))
        return 0;
    // -2^63 is exact in long double; 2^63 is the first value above the range.
    if (value <= static_cast<long double>(lowest))
        return lowest;
    if (value >= -static_cast<long double>(lowest))
        return highest;
    return static_cast<std::int64_t>(value);
}

[[noreturn]] void ThrowStatmError(const QString& path, const char* what) {
    throw std::runtime_error("cannot read the resident set size from " + path.toStdString() + ": " +
                             what);
}

} // namespace

QString FileVersion() {
    static const QString version = ReadOwnFileVersion();
    return version;
}

QString FormatVolumeSerial(std::uint32_t serial) {
    return QString::asprintf("%.4X-%.4X", serial >> 16, serial & 0xFFFF);
}

QString GetVolumeSerial(const QString& path) {
    struct statvfs info {};
    if (path.isEmpty() || statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return FormatVolumeSerial(0);
    return FormatVolumeSerial(static_cast<std::uint32_t>(info.f_fsid & 0xFFFFFFFFu));
}

// The desktop's trash never asks before taking a file, so confirm has nothing to switch here;
// the caller's own question, if any, comes before this call.
bool DeleteToRecycleBin(const QString& fileName, bool confirm) {
    (void)confirm;
    if (!EntryExists(fileName) || !EnsureTrashParent())
        return false;
    return QFile::moveToTrash(fileName) && !EntryExists(fileName);
}

QString ProcessExePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
}

QString GetExePath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return ProcessExePath();
}

QString GetExeDir() {
    return QFileInfo(GetExePath()).absolutePath();
}

QString FileNameWithoutExt(const QString& path) {
    const qsizetype separator = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(separator + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

std::int64_t RoundToStep(long double value, long double step) {
    const long double q = RoundHalfToEven(value / step);
    return ClampToInt64(std::trunc(q * step));
}

std::uint64_t ReadResidentSetSize(const QString& statmPath) {
    std::ifstream statm(QFile::encodeName(statmPath).toStdString());
    if (!statm)
        ThrowStatmError(statmPath, std::strerror(errno));
    std::uint64_t totalPages = 0;
    std::uint64_t residentPages = 0;
    if (!(statm >> totalPages >> residentPages))
        ThrowStatmError(statmPath, "no resident page count in it");
    return residentPages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
}

std::uint64_t GetProcessMemoryUsed() {
    return ReadResidentSetSize(QStringLiteral("/proc/self/statm"));
}
