// The window translation: property lines of a window's section applied in key order.
#include "plsTranslateForm.h"

#include "ComponentProperties.h"
#include "plsDialogs.h"
#include "plsLangMan.h"

#include <QWidget>

namespace {

constexpr int LanguageChangedMessage = 0x8200;

QString ClassName(const QObject& o) {
    return QString::fromLatin1(o.metaObject()->className());
}

} // namespace

QEvent::Type TLanguageChangedEvent::EventType() {
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(LanguageChangedMessage));
    return type;
}

bool TranslateForm(TLanguageManager& manager, QObject* form, const QString& section,
                   QObject* target) {
    manager.ClearLastError();
    const QString prefix = (section.isEmpty() ? ClassName(*form) : section).toUpper() + u'.';
    const TTranslationTable& table = manager.Properties();
    const int first = table.FirstWithPrefix(prefix);
    if (first < 0)
        return true;
    for (int i = first; i < table.Count() && table.Key(i).startsWith(prefix); ++i) {
        const QString& key = table.Key(i);
        const qsizetype dot = key.lastIndexOf(u'.');
        const QString property = key.mid(dot + 1);
        const QString path = key.mid(prefix.size(), dot - prefix.size());
        try {
            if (path.isEmpty())
                throw EPropertyError("the line names no component");
            ApplyPropertyLine(form, path, property, table.Text(i), manager.AllowSpecialProps(),
                              target);
        } catch (const std::exception& e) {
            manager.AppendLastError(QStringLiteral("\r\n\r\nTLanguageManager (") + key +
                                    QStringLiteral("):\r\n      ") + QString::fromUtf8(e.what()));
        }
    }
    return manager.LastError().isEmpty();
}

QString TranslationFailureText(const TLanguageManager& manager, const QObject& form,
                               bool blankAfterBracket) {
    return manager.LanguageName() + QStringLiteral(" (") + manager.LanguageCode() +
           QStringLiteral("): [") + form.objectName() + QStringLiteral(" (") + ClassName(form) +
           QStringLiteral(")]") + (blankAfterBracket ? QStringLiteral(" ") : QString()) +
           manager.LastError();
}

void TranslateSelf(QWidget* window) {
    if (!TranslateForm(LanguageManager, window))
        TranslatedMessageDlg(window->windowTitle(),
                             TranslationFailureText(LanguageManager, *window, true), mtWarning,
                             Btn(mbOK));
}
