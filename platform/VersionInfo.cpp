// TVersionInfo: finding and parsing the version record of a Trabex executable.
#include "RutinyUnit.h"
#include "VersionRecord.h"

#include <QFile>

#include <optional>

namespace {

// A bounds-checked little-endian cursor over untrusted bytes: every read either fits or fails,
// and after a failure every further read fails too.
class TRecordReader {
public:
    explicit TRecordReader(QByteArrayView data) : bytes(data) {}

    std::optional<std::uint16_t> U16() {
        if (!Fits(2))
            return std::nullopt;
        const auto value = static_cast<std::uint16_t>(At(0) | At(1) << 8);
        pos += 2;
        return value;
    }
    std::optional<std::uint32_t> U32() {
        const auto low = U16();
        const auto high = U16();
        if (!low || !high)
            return std::nullopt;
        return std::uint32_t{*high} << 16 | *low;
    }
    std::optional<QString> Text() {
        const auto length = U16();
        if (!length || !Fits(*length))
            return std::nullopt;
        const QString text = QString::fromUtf8(bytes.sliced(pos, *length));
        pos += *length;
        return text;
    }
    bool Skip(qsizetype count) {
        if (!Fits(count))
            return false;
        pos += count;
        return true;
    }
    bool Failed() const { return failed; }
    bool AtEnd() const { return !failed && pos == bytes.size(); }

private:
    bool Fits(qsizetype count) {
        if (failed || count > bytes.size() - pos)
            failed = true;
        return !failed;
    }
    unsigned At(qsizetype offset) const { return static_cast<unsigned char>(bytes[pos + offset]); }

    QByteArrayView bytes;
    qsizetype pos = 0;
    bool failed = false;
};

QByteArrayView RecordMarker() {
    return CompiledVersionRecord().first(VersionRecord::MarkerSize);
}

// The record's own length from its size field, when the field is sane and the bytes are there.
std::optional<qsizetype> RecordLength(QByteArrayView candidate) {
    if (!candidate.startsWith(RecordMarker()))
        return std::nullopt;
    TRecordReader reader(candidate);
    reader.Skip(VersionRecord::MarkerSize);
    const auto size = reader.U32();
    if (!size || *size < VersionRecord::HeaderSize || *size > VersionRecord::MaxRecordSize ||
        qsizetype{*size} > candidate.size())
        return std::nullopt;
    return static_cast<qsizetype>(*size);
}

QString TranslationKey(std::uint32_t translation) {
    return QString::asprintf("%.4X%.4X", translation & 0xFFFF, translation >> 16);
}

QString StringPath(const QString& translationKey, const QString& name) {
    return QStringLiteral("\\StringFileInfo\\") + translationKey + QLatin1Char('\\') + name;
}

// What a well-formed record holds.
struct TParsedRecord {
    TVersionInfo::TFixedInfo fixed;
    std::vector<std::uint32_t> translations;
    QHash<QString, QString> strings;
};

bool ReadFixedInfo(TRecordReader& reader, TParsedRecord& record) {
    const auto signature = reader.U32();
    const auto ms = reader.U32();
    const auto ls = reader.U32();
    if (!signature || *signature != VersionRecord::FixedInfoSignature || !ms || !ls)
        return false;
    record.fixed = {*ms, *ls};
    return true;
}

bool ReadTranslations(TRecordReader& reader, TParsedRecord& record) {
    const auto count = reader.U16();
    for (unsigned i = 0; count && i < *count && !reader.Failed(); ++i) {
        if (const auto translation = reader.U32())
            record.translations.push_back(*translation);
    }
    return count && !reader.Failed();
}

bool ReadStringTable(TRecordReader& reader, TParsedRecord& record) {
    const auto key = reader.Text();
    const auto count = reader.U16();
    for (unsigned i = 0; key && count && i < *count && !reader.Failed(); ++i) {
        const auto name = reader.Text();
        const auto value = reader.Text();
        // The first of two equal names wins, as a search from the start would find it.
        if (name && value && !record.strings.contains(StringPath(*key, *name)))
            record.strings.insert(StringPath(*key, *name), *value);
    }
    return key && count && !reader.Failed();
}

bool ReadStringTables(TRecordReader& reader, TParsedRecord& record) {
    const auto count = reader.U16();
    for (unsigned i = 0; count && i < *count; ++i) {
        if (!ReadStringTable(reader, record))
            return false;
    }
    return count.has_value();
}

// Parses exactly one record; anything missing, out of bounds or left over rejects it.
std::optional<TParsedRecord> ParseRecord(QByteArrayView record) {
    TRecordReader reader(record);
    TParsedRecord parsed;
    if (!reader.Skip(VersionRecord::MarkerSize + 4) || !ReadFixedInfo(reader, parsed) ||
        !ReadTranslations(reader, parsed) || !ReadStringTables(reader, parsed) || !reader.AtEnd())
        return std::nullopt;
    return parsed;
}

// The file's bytes, mapped when possible; data stays valid while file and copy live.
QByteArrayView FileBytes(QFile& file, QByteArray& copy) {
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size <= 0)
        return {};
    if (const uchar* mapped = file.map(0, size))
        return QByteArrayView(mapped, size);
    copy = file.readAll();
    return copy;
}

} // namespace

TVersionInfo::TVersionInfo(const QString& name) : fileName(name) {
    QFile file(name);
    QByteArray copy;
    const QByteArrayView bytes = FileBytes(file, copy);
    // The marker may also turn up by chance; the first occurrence that parses is the record.
    for (qsizetype at = bytes.indexOf(RecordMarker()); at >= 0 && !valid;
         at = bytes.indexOf(RecordMarker(), at + 1))
        Adopt(bytes.sliced(at));
}

TVersionInfo TVersionInfo::FromBlock(const QByteArray& block) {
    TVersionInfo info;
    info.Adopt(block);
    return info;
}

bool TVersionInfo::Adopt(QByteArrayView candidate) {
    const auto length = RecordLength(candidate);
    if (!length)
        return false;
    auto parsed = ParseRecord(candidate.first(*length));
    if (!parsed)
        return false;
    buffer = candidate.first(*length).toByteArray();
    fixed = parsed->fixed;
    translations = std::move(parsed->translations);
    strings = std::move(parsed->strings);
    valid = true;
    return true;
}

std::optional<std::uint32_t> TVersionInfo::Translation() const {
    if (!valid || translations.empty())
        return std::nullopt;
    return translations.front();
}

QString TVersionInfo::TranslationText() const {
    const auto translation = Translation();
    return translation ? TranslationKey(*translation) : QString();
}

std::optional<TVersionInfo::TFixedInfo> TVersionInfo::FixedInfo() const {
    if (!valid)
        return std::nullopt;
    return fixed;
}

std::pair<std::uint32_t, std::uint32_t> TVersionInfo::FixedFileVersion() const {
    const TFixedInfo info = FixedInfo().value_or(TFixedInfo{});
    return {info.FileVersionMS, info.FileVersionLS};
}

QString TVersionInfo::StringValue(const QString& name) const {
    const QString translation = TranslationText();
    if (translation.isEmpty())
        return {};
    return strings.value(StringPath(translation, name));
}

QString TVersionInfo::FileVersion() const {
    const QString text = StringValue(QStringLiteral("FileVersion"));
    if (!text.isEmpty() || !valid)
        return text;
    const auto [ms, ls] = FixedFileVersion();
    return QString::asprintf("%d.%d.%d.%d", int(ms >> 16), int(ms & 0xFFFF), int(ls >> 16),
                             int(ls & 0xFFFF));
}
