// Translating windows from the language manager's property lines, and the language-change event.
#pragma once

#include <QEvent>
#include <QString>

class QObject;
class QWidget;
class TLanguageManager;

// Sets the properties the loaded language files name for form's class (or section), only on
// target when one is given. Errors of single lines are collected in the manager's LastError;
// true when there were none.
bool TranslateForm(TLanguageManager& manager, QObject* form, const QString& section = QString(),
                   QObject* target = nullptr);

// The report of a failed translation: "Name (code): [component (class)]" and the errors; the
// main window's own report has no blank after "]".
QString TranslationFailureText(const TLanguageManager& manager, const QObject& form,
                               bool blankAfterBracket);

// Translates a window other than the main window and reports a failure in a warning box titled
// with the window's caption.
void TranslateSelf(QWidget* window);

// Sent to every window after the language changed; a window answers by translating itself.
class TLanguageChangedEvent : public QEvent {
public:
    TLanguageChangedEvent() : QEvent(EventType()) {}
    static QEvent::Type EventType();
};
