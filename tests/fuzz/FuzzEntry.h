// What every libFuzzer target shares: the process set up once, a failed check made a crash.
#pragma once

#include <QByteArrayView>
#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Runs before the first input: no display is needed, and numbers are written as in the tests.
inline void PrepareFuzzProcess() {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLocale::setDefault(QLocale::c());
}

inline QByteArrayView FuzzBytes(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)};
}

// A check that did not hold ends the process as a crash does, so libFuzzer keeps the input.
inline void FailOn(const std::string& failure) {
    if (failure.empty())
        return;
    std::fprintf(stderr, "Check failed: %s\n", failure.c_str());
    std::abort();
}
