// The version record compiled into every Trabex binary, found by TVersionInfo in the file.
#include "VersionRecord.h"

#include "TrabexVersion.h"

// Marker, then "key=value" fields separated by NUL, ended by an empty field.
extern "C" __attribute__((used, section(".trabex_version"))) const char TrabexVersionRecord[] =
    TRABEX_VERSION_MARKER "Translation=040504E2\0"
                          "FixedFileVersion=" TRABEX_FILE_VERSION "\0"
                          "FileVersion=" TRABEX_FILE_VERSION "\0";

const char* CompiledVersionRecord() {
    return TrabexVersionRecord;
}
int CompiledVersionRecordSize() {
    return static_cast<int>(sizeof TrabexVersionRecord);
}
