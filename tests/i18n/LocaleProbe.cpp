// Prints the language identifier and the default language code of the locale of its environment.
#include "plsLangMan.h"

#include <QLocale>

#include <cstdio>

int main() {
    const QByteArray code = DefaultLanguageCode().toLatin1();
    std::printf("%04X %s\n", static_cast<unsigned>(LangIdFromLocale(QLocale::system())),
                code.constData());
    return 0;
}
