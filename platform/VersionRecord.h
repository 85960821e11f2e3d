// Layout of the version record compiled into every Trabex binary, shared by its writer and reader.
#pragma once

#include <QByteArrayView>

#include <cstddef>
#include <cstdint>

// The record stands in for the version resource of a Windows executable. Every integer is
// little-endian; a text is a 16-bit byte count followed by that many UTF-8 bytes (no terminator).
//
//   marker             MarkerSize bytes, the first MarkerSize bytes of CompiledVersionRecord()
//   record size        u32, bytes from the first marker byte to the end of the record
//   signature          u32, FixedInfoSignature
//   file version MS    u32, major << 16 | minor
//   file version LS    u32, patch << 16 | tweak
//   translation count  u16, then that many u32 (language in the low 16 bits, code page high)
//   string table count u16, then for each table:
//       key text (the translation as eight hex digits, "040504E2"), entry count u16,
//       then for each entry: name text, value text
//
// The record must end exactly where its size says.
namespace VersionRecord {

inline constexpr std::size_t MarkerSize = 16;
// 0x7F "TrabexVersion" 0x00 and the layout revision 0x01: bytes no ordinary text produces.
inline constexpr unsigned char Marker[MarkerSize] = {0x7F, 'T', 'r', 'a', 'b', 'e', 'x',  'V',
                                                     'e',  'r', 's', 'i', 'o', 'n', 0x00, 0x01};
inline constexpr std::uint32_t FixedInfoSignature = 0xFEEF04BD;
// Bytes before the translation list: marker, size, signature and the two version halves.
inline constexpr std::size_t HeaderSize = MarkerSize + 4 * 4;
// No genuine record comes near this; a larger size field marks a damaged or hostile file.
inline constexpr std::uint32_t MaxRecordSize = 64 * 1024;

} // namespace VersionRecord

// The record of the running binary, as placed in its ELF section ".trabex_version".
QByteArrayView CompiledVersionRecord();
