// Version information, machine identifier and file helpers on Linux.
#include "RutinyUnit.h"

#include "TrabexVersion.h"
#include "VersionRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cmath>
#include <fstream>
#include <stdexcept>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QByteArray Marker(TRABEX_VERSION_MARKER);
// Longest record accepted after the marker; a record is a few dozen bytes.
constexpr int MaxRecordSize = 4096;

// The "key=value" fields of a record that starts right after its marker.
QHash<QString, QString> recordFields(const QByteArray& block) {
    QHash<QString, QString> fields;
    qsizetype pos = 0;
    while (pos < block.size()) {
        const qsizetype end = block.indexOf('\0', pos);
        if (end < 0 || end == pos)
            break;
        const QByteArray field = block.mid(pos, end - pos);
        const qsizetype eq = field.indexOf('=');
        if (eq > 0)
            fields.insert(QString::fromLatin1(field.left(eq)),
                          QString::fromLatin1(field.mid(eq + 1)));
        pos = end + 1;
    }
    return fields;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> parseFourPartVersion(const QString& text) {
    const QStringList parts = text.split(u'.');
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok);
        if (!ok || n > 0xFFFF)
            return std::nullopt;
        v[i] = n;
    }
    return std::pair{(v[0] << 16) | v[1], (v[2] << 16) | v[3]};
}

} // namespace

TVersionInfo::TVersionInfo(const QString& name) : fileName(name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    // The marker text also stands in the code that looks for it; the record is the occurrence
    // that is followed by fields.
    for (qsizetype at = bytes.indexOf(Marker); at >= 0; at = bytes.indexOf(Marker, at + 1)) {
        const QByteArray candidate = bytes.mid(at + Marker.size(), MaxRecordSize);
        if (!recordFields(candidate).isEmpty()) {
            buffer = candidate;
            valid = true;
            return;
        }
    }
}

TVersionInfo TVersionInfo::FromBlock(const QByteArray& block) {
    TVersionInfo info;
    info.buffer = block.left(MaxRecordSize);
    info.valid = !recordFields(info.buffer).isEmpty();
    return info;
}

std::optional<std::uint32_t> TVersionInfo::Translation() const {
    if (!valid)
        return std::nullopt;
    const QString text = recordFields(buffer).value(QStringLiteral("Translation"));
    bool ok = false;
    const uint value = text.toUInt(&ok, 16);
    if (!ok || text.size() != 8)
        return std::nullopt;
    // The text is language first; the value holds the language in its low half.
    return ((value & 0xFFFF) << 16) | (value >> 16);
}

QString TVersionInfo::TranslationText() const {
    const auto t = Translation();
    if (!t)
        return QString();
    return QStringLiteral("%1%2")
        .arg(*t & 0xFFFF, 4, 16, QChar(u'0'))
        .arg(*t >> 16, 4, 16, QChar(u'0'))
        .toUpper();
}

std::optional<TVersionInfo::TFixedInfo> TVersionInfo::FixedInfo() const {
    if (!valid)
        return std::nullopt;
    const auto v =
        parseFourPartVersion(recordFields(buffer).value(QStringLiteral("FixedFileVersion")));
    if (!v)
        return std::nullopt;
    return TFixedInfo{v->first, v->second};
}

std::pair<std::uint32_t, std::uint32_t> TVersionInfo::FixedFileVersion() const {
    const auto f = FixedInfo();
    return f ? std::pair{f->FileVersionMS, f->FileVersionLS}
             : std::pair<std::uint32_t, std::uint32_t>{0, 0};
}

QString TVersionInfo::StringValue(const QString& name) const {
    if (!valid || TranslationText().isEmpty())
        return QString();
    return recordFields(buffer).value(name);
}

QString TVersionInfo::FileVersion() const {
    QString text = StringValue(QStringLiteral("FileVersion"));
    if (text.isEmpty() && valid) {
        if (const auto f = FixedInfo())
            text = QStringLiteral("%1.%2.%3.%4")
                       .arg(f->FileVersionMS >> 16)
                       .arg(f->FileVersionMS & 0xFFFF)
                       .arg(f->FileVersionLS >> 16)
                       .arg(f->FileVersionLS & 0xFFFF);
    }
    return text;
}

QString FileVersion() {
    static const QString version = [] {
        // Reading our own record keeps it in the binary and proves what the file carries.
        const QString fromFile = TVersionInfo(GetExePath()).FileVersion();
        if (!fromFile.isEmpty())
            return fromFile;
        return TVersionInfo::FromBlock(QByteArray(CompiledVersionRecord() + Marker.size(),
                                                  CompiledVersionRecordSize() - Marker.size()))
            .FileVersion();
    }();
    return version;
}

QString FormatVolumeSerial(std::uint32_t serial) {
    return QStringLiteral("%1-%2")
        .arg(serial >> 16, 4, 16, QChar(u'0'))
        .arg(serial & 0xFFFF, 4, 16, QChar(u'0'))
        .toUpper();
}

QString GetVolumeSerial(const QString& path) {
    struct statvfs info {};
    if (::statvfs(QFile::encodeName(path).constData(), &info) != 0)
        return QStringLiteral("0000-0000");
    return FormatVolumeSerial(static_cast<std::uint32_t>(info.f_fsid));
}

bool DeleteToRecycleBin(const QString& fileName, bool /*confirm: the trash never asks here*/) {
    const QFileInfo info(fileName);
    if (!info.exists() && !info.isSymLink())
        return false;
    // Without the user's data folder Qt 6.4 reports success and drops the file in the current
    // folder; making the folder first gives it a real trash.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(fileName);
    return file.moveToTrash() && !QFileInfo::exists(fileName);
}

QString GetExePath() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString GetExeDir() {
    return QFileInfo(GetExePath()).absolutePath();
}

QString FileNameWithoutExt(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

std::int64_t RoundToStep(long double value, long double step) {
    const long double q = std::nearbyint(value / step);
    return static_cast<std::int64_t>(std::trunc(q * step));
}

std::uint64_t GetProcessMemoryUsed() {
    std::ifstream statm("/proc/self/statm");
    std::uint64_t size = 0, resident = 0;
    if (!(statm >> size >> resident))
        throw std::runtime_error("cannot read the memory counters of the process");
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
}
