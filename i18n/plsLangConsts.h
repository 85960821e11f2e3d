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
// The texts of selecting, the clipboard and the dialogs in which values are typed.
extern QString str_Prut;
extern QString str_Podpera;
extern QString str_KonecA;
extern QString str_KonecB;
extern QString str_Poloha;
extern QString str_Velikost;
extern QString str_Reakce;
extern QString str_PodperaXY;
extern QString str_PodperaX;
extern QString str_PodperaY;
extern QString msg_NeniCislo;
extern QString msg_NeniCeleCislo;
extern QString msg_NeniKladne;
extern QString msg_KonecPrutu;
extern QString str_SchrankaBezKonstrukce;
extern QString str_SchrankaSeNevejde;
// The zoom of the active truss window in the status bar.
extern QString str_Meritko;

// Results out of the program: exports, the printed report, the results window.
extern QString str_ZpravaDatum;
extern QString str_ZpravaStrana;
extern QString str_VelikostObrazku;
extern QString str_SirkaObrazku;
extern QString str_VyskaObrazku;
extern QString str_FiltrCsv;
extern QString str_FiltrSvg;
extern QString str_FiltrPng;
extern QString str_FiltrPdf;
extern QString str_FiltrHtml;
extern QString str_UlozitHtml;
extern QString str_UlozitPdf;
extern QString str_Vysledky;

// Texts of the analyses beyond the method of joints: mechanisms, the method, displacements.
extern QString str_MechJoint;
extern QString str_MechJoints;
extern QString str_MechInfinitesimalJoint;
extern QString str_MechInfinitesimalJoints;
extern QString str_MechRotation;
extern QString str_MechTranslation;
extern QString str_MechNone;
extern QString str_ListAnd;
extern QString str_Metoda;
extern QString str_MetodaStycnikova;
extern QString str_MetodaTuhostni;
extern QString str_PosunyStycniku;
// Texts of the analysis settings, the deformed shape and the units of a truss.
extern QString str_ResitTuhostne;
extern QString str_ZobrazitDeformaci;
extern QString str_MeritkoDeformace;
extern QString str_JednotkyMenu;
extern QString str_JednotkyTitulek;
extern QString str_DelkaJednotky;
extern QString str_JednotkaDelky;
extern QString str_JednotkaSily;
// The update check's texts for a setup file that cannot be saved or is not signed by the
// program's publisher.
extern QString msg_CannotSaveUpdate;
extern QString msg_CannotVerifyUpdate;
// Texts of the result tables and of the solution by joints, step by step.
extern QString str_TabPruty;
extern QString str_TabPodpory;
extern QString str_TabStycniky;
extern QString str_StycnikA;
extern QString str_StycnikB;
extern QString str_Delka;
extern QString str_TahTlak;
extern QString str_Tah;
extern QString str_Tlak;
extern QString str_Nulova;
extern QString str_Vazba;
extern QString str_VazbaXY;
extern QString str_KrokyNadpis;
extern QString str_KrokyZnamenka;
extern QString str_KrokyJednotky;
extern QString str_KrokyDilek;
extern QString str_BezJednotky;
extern QString str_DilkyVykresu;
extern QString str_KrokyUrcita;
extern QString str_KrokyNeurcita;
extern QString str_KrokyPohybliva;
extern QString str_KrokStycnik;
extern QString str_KrokReakce;
extern QString str_KrokReakceProc;
extern QString str_KrokBlok;
extern QString str_KrokBlokProc;
extern QString str_ZnameSily;
extern QString str_Nezname;
extern QString str_Zatizeni;
extern QString str_Kontrola;
extern QString str_Zbytek;
extern QString str_KrokyReakce;
extern QString str_KrokySily;
extern QString str_KrokyNelzeUrcit;
extern QString str_KrokyTuhostni;
extern QString str_KrokyNevyvazene;
extern QString str_KrokyPrazdna;

// One translatable constant: the key a language file uses and the variable it refreshes.
struct TLangConstant {
    const char* Name;
    QString* Variable;
    const char* CzechText;
};

// Every constant in the order they are refreshed: the 32 message and report texts, the texts of
// the save and open questions, then those the later features added.
const TLangConstant* LangConstants();
int LangConstantCount();

// Refreshes every constant from the language manager; a constant the language does not name
// keeps its current text.
void TranslateConstants();

// Puts every constant back to its Czech text.
void ResetConstantsToCzech();

// text with its first "%s", "%d" or "%f" replaced by value (already formatted by the caller).
QString FormatConst(const QString& text, const QString& value);
