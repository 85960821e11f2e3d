// trabex-cli: analyse .trs trusses from the command line.
#include "CliCommands.h"

#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // Drawing needs a GUI application, never a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    QString out;
    try {
        RunCliCommand(args, out);
    } catch (const EUsageError& e) {
        std::fprintf(stderr, "trabex-cli: %s\n", e.what());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "trabex-cli: %s\n", e.what());
        return 2;
    }
    const QByteArray bytes = out.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    return 0;
}
