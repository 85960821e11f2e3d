// The version record of this program, built at compile time from TrabexVersion.h.
#include "VersionRecord.h"

#include "TrabexVersion.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::uint16_t Language = 0x0405; // Czech
constexpr std::uint16_t CodePage = 0x04E2; // Windows-1250
constexpr std::string_view VersionText = TRABEX_FILE_VERSION;

static_assert(TRABEX_VERSION_MAJOR <= 0xFFFF && TRABEX_VERSION_MINOR <= 0xFFFF &&
                  TRABEX_VERSION_PATCH <= 0xFFFF && TRABEX_VERSION_TWEAK <= 0xFFFF,
              "each part of the file version must fit in 16 bits");

constexpr std::uint32_t FileVersionMS = TRABEX_VERSION_MAJOR << 16 | TRABEX_VERSION_MINOR;
constexpr std::uint32_t FileVersionLS = TRABEX_VERSION_PATCH << 16 | TRABEX_VERSION_TWEAK;

// Appends little-endian fields; without a target it only counts bytes, which sizes the record.
class TRecordWriter {
public:
    constexpr explicit TRecordWriter(unsigned char* target) : out(target) {}

    constexpr void Byte(unsigned value) {
        if (out)
            out[pos] = static_cast<unsigned char>(value & 0xFF);
        ++pos;
    }
    constexpr void U16(std::uint16_t value) {
        Byte(value);
        Byte(value >> 8);
    }
    constexpr void U32(std::uint32_t value) {
        U16(static_cast<std::uint16_t>(value));
        U16(static_cast<std::uint16_t>(value >> 16));
    }
    constexpr void Text(std::string_view text) {
        U16(static_cast<std::uint16_t>(text.size()));
        for (char c : text)
            Byte(static_cast<unsigned char>(c));
    }
    constexpr std::size_t Size() const { return pos; }

private:
    unsigned char* out;
    std::size_t pos = 0;
};

constexpr char HexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0xF];
}

// The string table's key: language then code page as eight upper-case hex digits.
constexpr std::array<char, 8> TranslationKey() {
    const std::uint32_t both = std::uint32_t{Language} << 16 | CodePage;
    std::array<char, 8> key{};
    for (std::size_t i = 0; i < key.size(); ++i)
        key[i] = HexDigit(both >> (28 - 4 * i));
    return key;
}

constexpr std::array<char, 8> Key = TranslationKey();

constexpr void WriteRecord(TRecordWriter& w, std::uint32_t recordSize) {
    for (unsigned char b : VersionRecord::Marker)
        w.Byte(b);
    w.U32(recordSize);
    w.U32(VersionRecord::FixedInfoSignature);
    w.U32(FileVersionMS);
    w.U32(FileVersionLS);
    w.U16(1);
    w.U32(std::uint32_t{CodePage} << 16 | Language);
    w.U16(1);
    w.Text(std::string_view(Key.data(), Key.size()));
    w.U16(1);
    w.Text("FileVersion");
    w.Text(VersionText);
}

constexpr std::size_t MeasureRecord() {
    TRecordWriter counter(nullptr);
    WriteRecord(counter, 0);
    return counter.Size();
}

constexpr std::size_t RecordSize = MeasureRecord();
static_assert(RecordSize <= VersionRecord::MaxRecordSize);

constexpr std::array<unsigned char, RecordSize> BuildRecord() {
    std::array<unsigned char, RecordSize> bytes{};
    TRecordWriter w(bytes.data());
    WriteRecord(w, static_cast<std::uint32_t>(RecordSize));
    return bytes;
}

// Takes the decimal digits of number off the front of text; false when they are not there.
constexpr bool StartsWithNumber(std::string_view& text, unsigned number) {
    std::array<char, 5> digits{};
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number != 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (text.empty() || text.front() != digits[count - 1 - i])
            return false;
        text.remove_prefix(1);
    }
    return true;
}

constexpr bool SkipDot(std::string_view& text) {
    if (text.empty() || text.front() != '.')
        return false;
    text.remove_prefix(1);
    return true;
}

// The text and the four numbers come from the same project version; make sure they agree.
constexpr bool VersionTextMatchesNumbers() {
    std::string_view rest = VersionText;
    return StartsWithNumber(rest, TRABEX_VERSION_MAJOR) && SkipDot(rest) &&
           StartsWithNumber(rest, TRABEX_VERSION_MINOR) && SkipDot(rest) &&
           StartsWithNumber(rest, TRABEX_VERSION_PATCH) && SkipDot(rest) &&
           StartsWithNumber(rest, TRABEX_VERSION_TWEAK) && rest.empty();
}
static_assert(VersionTextMatchesNumbers(), "TRABEX_FILE_VERSION must be major.minor.patch.tweak");

// Kept by the compiler even though nothing names it but CompiledVersionRecord(), and placed in
// a section of its own so that it can be found with readelf or objdump as well as by its marker.
[[gnu::used, gnu::section(".trabex_version")]] constexpr std::array<unsigned char, RecordSize>
    Record = BuildRecord();

} // namespace

QByteArrayView CompiledVersionRecord() {
    return QByteArrayView(Record.data(), static_cast<qsizetype>(Record.size()));
}
