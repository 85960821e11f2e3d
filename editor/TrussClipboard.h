// Trusses on the clipboard: the .trs text under a type of the program's own and as plain text.
#pragma once

#include <QString>
#include <QStringList>

// The clipboard type under which a copied selection travels between truss windows and programs.
extern const QString TrussMimeType;

// Puts the lines of a truss text on the clipboard, as the program's own type and as plain text,
// so that a text editor takes it too.
void PutTrussOnClipboard(const QStringList& lines);

// The text to paste: the program's own type when the clipboard has it, else its plain text.
QString ClipboardTrussText();

// Whether the clipboard holds anything a paste could read: the program's own type or some text.
bool ClipboardHasText();
