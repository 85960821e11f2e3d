// Builds version records byte by byte for the tests, written apart from the program's own writer.
#pragma once

#include "VersionRecord.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <cstdint>
#include <optional>

// By default the record Trabex 2.1.0.88 carries: one translation 0x0405/0x04E2 and a string table
// "040504E2" with FileVersion. Each setter changes one part; Build() fills in the size field.
class TVersionBlockBuilder {
public:
    using TEntries = QList<QPair<QString, QString>>;

    TVersionBlockBuilder& Fixed(std::uint32_t ms, std::uint32_t ls) {
        fileVersionMS = ms;
        fileVersionLS = ls;
        return *this;
    }
    TVersionBlockBuilder& Signature(std::uint32_t value) {
        signature = value;
        return *this;
    }
    TVersionBlockBuilder& Translations(QList<std::uint32_t> values) {
        translations = std::move(values);
        return *this;
    }
    TVersionBlockBuilder& Tables(QList<QPair<QString, TEntries>> values) {
        tables = std::move(values);
        return *this;
    }
    // Writes this value into the size field instead of the true size.
    TVersionBlockBuilder& SizeField(std::uint32_t value) {
        sizeOverride = value;
        return *this;
    }

    QByteArray Build() const {
        QByteArray body;
        U32(body, signature);
        U32(body, fileVersionMS);
        U32(body, fileVersionLS);
        U16(body, static_cast<std::uint16_t>(translations.size()));
        for (std::uint32_t t : translations)
            U32(body, t);
        U16(body, static_cast<std::uint16_t>(tables.size()));
        for (const auto& [key, entries] : tables)
            AppendTable(body, key, entries);
        QByteArray block = Marker();
        const auto size = static_cast<std::uint32_t>(block.size() + 4 + body.size());
        U32(block, sizeOverride.value_or(size));
        return block + body;
    }

    // The marker bytes, taken from the program's record so that no second copy of them ends up in
    // the test executable.
    static QByteArray Marker() {
        return CompiledVersionRecord().first(VersionRecord::MarkerSize).toByteArray();
    }

    static void U16(QByteArray& out, std::uint16_t v) {
        out.append(char(v & 0xFF));
        out.append(char(v >> 8));
    }
    static void U32(QByteArray& out, std::uint32_t v) {
        U16(out, std::uint16_t(v & 0xFFFF));
        U16(out, std::uint16_t(v >> 16));
    }
    static void Text(QByteArray& out, const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        U16(out, static_cast<std::uint16_t>(utf8.size()));
        out.append(utf8);
    }

private:
    static void AppendTable(QByteArray& out, const QString& key, const TEntries& entries) {
        Text(out, key);
        U16(out, static_cast<std::uint16_t>(entries.size()));
        for (const auto& [name, value] : entries) {
            Text(out, name);
            Text(out, value);
        }
    }

    std::uint32_t signature = 0xFEEF04BD;
    std::uint32_t fileVersionMS = 0x00020001;
    std::uint32_t fileVersionLS = 0x00000058;
    QList<std::uint32_t> translations{0x04E20405};
    QList<QPair<QString, TEntries>> tables{{"040504E2", {{"FileVersion", "2.1.0.88"}}}};
    std::optional<std::uint32_t> sizeOverride;
};
