// Qt's own texts (standard buttons, file dialogs, the truss windows' window menu) in the language
// of the program.
#pragma once

#include <QString>

class QMdiSubWindow;

// Replaces the Qt translation of the previous language by Qt's own translation for the language
// code (qtbase_<code>.qm in Qt's translation folder). English, and a language Qt has no
// translation for, leave Qt's built-in English texts. True when a translation was installed.
bool ApplyQtTranslation(const QString& code);

// Qt writes the items of a child window's menu once, when it makes the window. This notes the
// text behind each item, so that RetranslateSystemMenu can follow later language changes.
void TagSystemMenu(QMdiSubWindow& window);
// Gives the noted items of the window's menu Qt's texts in the language now installed.
void RetranslateSystemMenu(QMdiSubWindow& window);
