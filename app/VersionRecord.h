// The version record that every Trabex binary carries in its own ELF section.
#pragma once

// Starts the record; TVersionInfo looks for it in an executable's bytes.
#define TRABEX_VERSION_MARKER "\x7fTRABEX-VERSION-RECORD\x01"

const char* CompiledVersionRecord();
int CompiledVersionRecordSize();
