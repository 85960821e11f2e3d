// Test entry point: a headless application (the program's own for the window tests), temporary
// HOME and XDG folders, the C locale.
#ifdef TRABEX_TEST_WIDGETS
// The window tests run under the program's own application object.
#include "TrussApplication.h"
using TTestApplication = TTrussApplication;
#else
#include <QGuiApplication>
using TTestApplication = QGuiApplication;
#endif
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Test discovery runs this binary without ctest's environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Never touch the real user's settings, trash or data.
    QTemporaryDir home;
    const QByteArray h = home.path().toLocal8Bit();
    setenv("HOME", h.constData(), 1);
    setenv("XDG_CONFIG_HOME", (h + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (h + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (h + "/.cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", h.constData(), 1);
    TTestApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
