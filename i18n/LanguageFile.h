// Reading of language files: byte decoding, line trimming and the section parser, fed from bytes.
#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// Language files larger than this are refused unread; no real translation comes near it, and it
// keeps a hostile or broken file from exhausting memory.
inline constexpr qsizetype MaxLanguageFileSize = 16 * 1024 * 1024;

// Names of the three sections with a fixed meaning; every other section holds property lines.
inline constexpr char HeaderSection[] = "precision language file";
inline constexpr char ConstantsSection[] = "constants";
inline constexpr char MessagesSection[] = "messages";
// Keys of the header section.
inline constexpr char LanguageNameKey[] = "languagename";
inline constexpr char RightToLeftKey[] = "rtl";

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or code points beyond
// U+10FFFF, no truncated sequence).
bool IsValidUtf8(QByteArrayView bytes);
// Bytes in the Windows-1250 code page (the Czech texts) as Unicode. The five bytes the code page
// leaves undefined (0x81, 0x83, 0x88, 0x90, 0x98) become U+FFFD, so a stray byte shows as the
// replacement mark rather than as an invisible control character.
QString DecodeWindows1250(QByteArrayView bytes);
// The text of a language file: a UTF-8 byte order mark at the start is skipped; the rest is
// UTF-8 when it is valid UTF-8, else Windows-1250.
QString DecodeLanguageBytes(QByteArrayView bytes);
// The name of the encoding ("UTF-16 little-endian", "UTF-32 big-endian", ...) whose byte order
// mark starts bytes, when it is one the reader does not take (UTF-16 or UTF-32); empty otherwise.
QString ForeignByteOrderMark(QByteArrayView bytes);

// text without the spaces and control characters (U+0000..U+001F, U+007F..U+009F) at its ends.
QStringView TrimLine(QStringView text);

// A stored line is "key=value" (both trimmed) or, without "=", the whole trimmed line.
// Key: the text before the first "=", empty when there is none.
QString LineKey(const QString& line);
// Value: the text after the first "=", empty when there is none.
QString LineValue(const QString& line);

// One section of a language file with the lines of its first occurrence, in file order.
struct TLanguageSection {
    QString Name;
    QStringList Lines;

    // The value of the first line whose key equals key (case-insensitively); empty when none.
    QString Value(const QString& key) const;
};

// The parsed content of one language file.
struct TLanguageText {
    // Every section name once (compared case-insensitively), in the order of first occurrence.
    QList<TLanguageSection> Sections;

    // The section of that name (case-insensitively), or nullptr.
    const TLanguageSection* Find(const QString& name) const;
};

// Splits decoded text into sections by the rules of the file format: lines end with CR LF, LF or
// CR and are trimmed; empty lines and lines beginning with ";" are dropped; "[name]" opens a
// section; lines before the first section and in a repeated section are dropped; "key = value"
// is stored as "key=value". Linear in the length of the text, for any input.
TLanguageText ParseLanguageLines(QStringView text);

// Decodes and parses the bytes of a language file. False, with the reason in error, when the
// bytes exceed MaxLanguageFileSize or begin with the byte order mark of UTF-16 or UTF-32.
bool ParseLanguageText(QByteArrayView bytes, TLanguageText& text, QString& error);

// Reads and parses the file at path. False, with a message naming the path and the reason in
// error, when it is missing, not a regular file, too large, unreadable or in UTF-16 or UTF-32.
bool ReadLanguageFile(const QString& path, TLanguageText& text, QString& error);

// The header's "rtl" value as a flag: an integer in decimal or, with the prefix "0x", in
// hexadecimal; true when it is a number other than zero.
bool RightToLeftFlag(const QString& value);
