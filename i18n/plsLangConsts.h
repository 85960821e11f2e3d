// The program's translatable message texts and report words, Czech until a language refreshes them.
#pragma once

#include <QString>

extern QString msg_CannotDownloadUpdate;
extern QString msg_CannotExecUpdate;
extern QString msg_Chyba;
extern QString msg_NoNewUpdate;
extern QString msg_ScreenshotSave;
extern QString msg_SouborNeexistuje;
extern QString que_PrejeteSiUpdatovatNyni;
extern QString str_Ano;
extern QString str_CasNaVykresleni;
extern QString str_Dimension;
extern QString str_Err_NoSolution;
extern QString str_Err_Small;
extern QString str_Error;
extern QString str_Koeficienty;
extern QString str_Konstanty;
extern QString str_MemoryUsed;
extern QString str_Ne;
extern QString str_No;
extern QString str_Opened;
extern QString str_Origin;
extern QString str_PocetPodper;
extern QString str_PocetPrutu;
extern QString str_PocetSil;
extern QString str_PocetStycniku;
extern QString str_PocetVektoru;
extern QString str_Sila;
extern QString str_Solution;
extern QString str_Souradnice;
extern QString str_Sourd;
extern QString str_Stycnik;
extern QString str_TimeToCalculate;
extern QString str_Uhel;

// The program's own texts around saving and opening documents.
extern QString que_UlozitZmeny;
extern QString msg_NelzeOtevrit;
extern QString msg_NelzeUlozit;
extern QString que_SouborZmizel;
extern QString str_BezNazvu;
// The warning that the settings store cannot be written.
extern QString msg_NastaveniNelzeUlozit;

// A screenshot that the program's folder cannot take: where it went, or that it went nowhere.
extern QString msg_ScreenshotSaveTo;
extern QString msg_ScreenshotNelzeUlozit;
// The failures a truss window or the program meets and goes on from.
extern QString msg_SoustavaNezobrazena;
extern QString str_NelzeSpocitat;
extern QString str_NelzeVykreslit;
extern QString msg_NeocekavanaChyba;
// The zoom of the active truss window in the status bar.
extern QString str_Meritko;

// One translatable constant: the key a language file uses and the variable it refreshes.
struct TLangConstant {
    const char* Name;
    QString* Variable;
    const char* CzechText;
};

// Every constant in the order they are refreshed: the 32 message and report texts, then the
// texts of the save and open questions, then those of failures the program goes on from.
// texts of the save and open questions, then the settings warning.
const TLangConstant* LangConstants();
int LangConstantCount();

// Refreshes every constant from the language manager; a constant the language does not name
// keeps its current text.
void TranslateConstants();

// Puts every constant back to its Czech text.
void ResetConstantsToCzech();

// text with its first "%s", "%d" or "%f" replaced by value (already formatted by the caller).
QString FormatConst(const QString& text, const QString& value);
