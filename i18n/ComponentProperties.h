// Setting a property of a window's component from text, by the names a language file uses.
#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

class QObject;

// A property line that cannot be applied; the message says why.
class EPropertyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The component of form named name (letter case ignored): its descendants and actions, not
// looking into windows of their own or child documents; "self" is the form itself. Null when
// there is none.
QObject* FindComponent(QObject* form, const QString& name);

// Applies one property line of a language file to form: path is the dotted chain from the
// component to the object holding the property ("Memo1.Lines", "StatusBar1.Panels[0]", "self"),
// property the last name. Names compare without letter case. "ShortCut" is shortcut text
// ("Ctrl+O") while allowSpecialProps is true, else a shortcut code. Returns false when the line
// is skipped (no such component, or not target when a target is given); throws EPropertyError
// when it cannot be applied.
bool ApplyPropertyLine(QObject* form, const QString& path, const QString& property,
                       const QString& text, bool allowSpecialProps, QObject* target = nullptr);

// The items of a comma text: separated by commas or blanks, "..." quotes with "" for a quote.
QStringList ParseCommaText(const QString& text);
