// Installing Qt's translation of the chosen language and following it in the child windows' menus.
#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QTranslator>

namespace {

constexpr char QtCatalogue[] = "qtbase";
// Qt's translation context and source texts of the items of a child window's menu.
constexpr char SystemMenuContext[] = "QMdiSubWindow";
constexpr const char* SystemMenuTexts[] = {"&Restore",  "&Move",        "&Size", "Mi&nimize",
                                           "Ma&ximize", "Stay on &Top", "&Close"};
// The property of a menu item that holds its source text.
constexpr char SourceTextProperty[] = "trabexQtSourceText";

// The translation installed for the current language; owned by the application object.
QPointer<QTranslator> Installed;

void RemoveInstalled() {
    if (!Installed)
        return;
    QCoreApplication::removeTranslator(Installed);
    delete Installed;
}

QString TranslatedMenuText(const char* source) {
    return QCoreApplication::translate(SystemMenuContext, source);
}

} // namespace

bool ApplyQtTranslation(const QString& code) {
    RemoveInstalled();
    const QLocale locale(code);
    // A code QLocale does not know gives the C locale, for which Qt has no translation.
    if (code.isEmpty() || locale.language() == QLocale::C)
        return false;
    auto* translator = new QTranslator(QCoreApplication::instance());
    // Qt's English file is empty: English texts are Qt's own.
    if (!translator->load(locale, QString::fromLatin1(QtCatalogue), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translator->isEmpty()) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    Installed = translator;
    return true;
}

void TagSystemMenu(QMdiSubWindow& window) {
    if (!window.systemMenu())
        return;
    for (QAction* item : window.systemMenu()->actions())
        for (const char* source : SystemMenuTexts)
            if (!item->isSeparator() && item->text() == TranslatedMenuText(source))
                item->setProperty(SourceTextProperty, QString::fromLatin1(source));
}

void RetranslateSystemMenu(QMdiSubWindow& window) {
    if (!window.systemMenu())
        return;
    for (QAction* item : window.systemMenu()->actions()) {
        const QString source = item->property(SourceTextProperty).toString();
        if (!source.isEmpty())
            item->setText(TranslatedMenuText(source.toLatin1().constData()));
    }
}
