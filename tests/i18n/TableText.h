// The keys and texts of a translation table as lists, for comparing in tests.
#pragma once

#include "plsLangMan.h"

#include <QStringList>

inline QStringList Keys(const TTranslationTable& table) {
    QStringList keys;
    for (int i = 0; i < table.Count(); ++i)
        keys.append(table.Key(i));
    return keys;
}

inline QStringList Texts(const TTranslationTable& table) {
    QStringList texts;
    for (int i = 0; i < table.Count(); ++i)
        texts.append(table.Text(i));
    return texts;
}
