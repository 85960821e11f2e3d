// The translatable constants with their Czech initial texts.
#include "plsLangConsts.h"

#include "plsLangMan.h"

#include <QRegularExpression>

#include <iterator>

QString msg_CannotDownloadUpdate = QStringLiteral("Z webu nelze stáhnout update!");
QString msg_CannotExecUpdate = QStringLiteral("Nelze spustit update!");
QString msg_Chyba = QStringLiteral("Chyba!");
QString msg_NoNewUpdate = QStringLiteral(
    "Máte nejnovější verzi programu.\\nV současné době není žádná aktualizace dostupná.");
QString msg_ScreenshotSave =
    QStringLiteral("Snímek aktivního okna uložen do souboru \"%s.bmp\" v adresáři programu.");
QString msg_SouborNeexistuje = QStringLiteral("Soubor \"%s\" nelze nalézt.");
QString que_PrejeteSiUpdatovatNyni = QStringLiteral("Přejete si nyní nahrát novou verzi?");
QString str_Ano = QStringLiteral("Ano");
QString str_CasNaVykresleni = QStringLiteral("Čas na vykreslení: %f ms");
QString str_Dimension = QStringLiteral("Dimenze");
QString str_Err_NoSolution = QStringLiteral("Zadané parametry nemají žádné řešení.");
QString str_Err_Small = QStringLiteral("Matice musí mít rozměr větší než 1.");
QString str_Error = QStringLiteral("Chyba");
QString str_Koeficienty = QStringLiteral("Koeficienty");
QString str_Konstanty = QStringLiteral("Konstanty");
QString str_MemoryUsed = QStringLiteral("Použito %s K paměti");
QString str_Ne = QStringLiteral("Ne");
QString str_No = QStringLiteral("č.");
QString str_Opened = QStringLiteral("Otevřeno");
QString str_Origin = QStringLiteral("Začátek");
QString str_PocetPodper = QStringLiteral("Počet podpěr");
QString str_PocetPrutu = QStringLiteral("Počet prutů");
QString str_PocetSil = QStringLiteral("Počet vnějších sil");
QString str_PocetStycniku = QStringLiteral("Počet styčníků");
QString str_PocetVektoru = QStringLiteral("Počet vektorů");
QString str_Sila = QStringLiteral("Síla");
QString str_Solution = QStringLiteral("Řešení");
QString str_Souradnice = QStringLiteral("Souřadnice");
QString str_Sourd = QStringLiteral("Souř.");
QString str_Stycnik = QStringLiteral("Styčník");
QString str_TimeToCalculate = QStringLiteral("Čas na výpočet: %f ms");
QString str_Uhel = QStringLiteral("Úhel");

// Texts of the questions and errors that keep a user's document safe.
QString que_UlozitZmeny = QStringLiteral("Dokument \"%s\" byl změněn. Uložit změny?");
QString msg_NelzeOtevrit = QStringLiteral("Soubor \"%s\" nelze otevřít.");
QString msg_NelzeUlozit = QStringLiteral("Soubor \"%s\" nelze uložit.");
QString que_SouborZmizel = QStringLiteral(
    "Soubor \"%s\" už neexistuje nebo byl přesunut. Uložit dokument pod jiným jménem?");
QString str_BezNazvu = QStringLiteral("bez názvu");

// Texts of a screenshot that the program's folder cannot take.
QString msg_ScreenshotSaveTo = QStringLiteral("Snímek aktivního okna uložen do souboru \"%s\".");
QString msg_ScreenshotNelzeUlozit = QStringLiteral("Snímek aktivního okna nelze uložit.");
// Texts of the failures that a truss window or the program meets and goes on from.
QString msg_SoustavaNezobrazena =
    QStringLiteral("Soustavu \"%s\" nelze spočítat nebo vykreslit. Zobrazí se jako nevyřešená; "
                   "soustava ani její soubor se nezměnily.");
QString str_NelzeSpocitat = QStringLiteral("Nelze spočítat: %s");
QString str_NelzeVykreslit = QStringLiteral("Nelze vykreslit: %s");
QString msg_NeocekavanaChyba = QStringLiteral(
    "Nastala neočekávaná chyba; program pracuje dál. Pro jistotu uložte otevřené dokumenty.");
// The zoom of the active truss window, in per cent.
QString str_Meritko = QStringLiteral("Měřítko: %s %");
QString str_ZpravaDatum = QStringLiteral("Datum: %s");
QString str_ZpravaStrana = QStringLiteral("Strana %s z %s");
QString str_VelikostObrazku = QStringLiteral("Velikost obrázku");
QString str_SirkaObrazku = QStringLiteral("Šířka (body):");
QString str_VyskaObrazku = QStringLiteral("Výška (body):");
QString str_FiltrCsv = QStringLiteral("Tabulky CSV (*.csv)");
QString str_FiltrSvg = QStringLiteral("Obrázky SVG (*.svg)");
QString str_FiltrPng = QStringLiteral("Obrázky PNG (*.png)");
QString str_FiltrPdf = QStringLiteral("Dokumenty PDF (*.pdf)");
QString str_FiltrHtml = QStringLiteral("Stránky HTML (*.html *.htm)");
QString str_UlozitHtml = QStringLiteral("Uložit jako HTML…");
QString str_UlozitPdf = QStringLiteral("Uložit jako PDF…");
QString str_Vysledky = QStringLiteral("Výsledky");
// Shown once when the settings (language, counters, recent files) cannot be kept.
QString msg_NastaveniNelzeUlozit = QStringLiteral(
    "Nastavení nelze uložit do souboru \"%s\". Změny nastavení se po ukončení programu ztratí.");
// Texts of selecting, the clipboard and the dialogs in which values are typed.
QString str_Prut = QStringLiteral("Prut");
QString str_Podpera = QStringLiteral("Podpěra");
QString str_KonecA = QStringLiteral("Konec A");
QString str_KonecB = QStringLiteral("Konec B");
QString str_Poloha = QStringLiteral("Poloha");
QString str_Velikost = QStringLiteral("Velikost");
QString str_Reakce = QStringLiteral("Reakce");
QString str_PodperaXY = QStringLiteral("v x i v y (pevná)");
QString str_PodperaX = QStringLiteral("jen v x");
QString str_PodperaY = QStringLiteral("jen v y");
QString msg_NeniCislo = QStringLiteral("Pole \"%s\": zadejte číslo.");
QString msg_NeniCeleCislo =
    QStringLiteral("Pole \"%s\": zadejte celé číslo od -2147483648 do 2147483647.");
QString msg_NeniKladne = QStringLiteral("Pole \"%s\": zadejte kladné číslo.");
QString msg_KonecPrutu = QStringLiteral("Konce prutu musí ležet ve dvou různých bodech.");
QString str_SchrankaBezKonstrukce = QStringLiteral("Ve schránce není příhradová konstrukce.");
QString str_SchrankaSeNevejde = QStringLiteral("Obsah schránky se sem nevejde.");
// Texts of mechanisms, of the method that solved a truss and of the joints' displacements.
QString str_MechJoint =
    QStringLiteral("Mechanismus: styčník %s se může pohnout — přidejte prut nebo podporu");
QString str_MechJoints =
    QStringLiteral("Mechanismus: styčníky %s se mohou pohnout — přidejte prut nebo podporu");
QString str_MechInfinitesimalJoint =
    QStringLiteral("Nekonečně malý mechanismus: styčník %s se může nepatrně pohnout, než jej pruty "
                   "zachytí — přidejte prut nebo změňte tvar");
QString str_MechInfinitesimalJoints =
    QStringLiteral("Nekonečně malý mechanismus: styčníky %s se mohou nepatrně pohnout, než je "
                   "pruty zachytí — přidejte prut nebo změňte tvar");
QString str_MechRotation = QStringLiteral("Podpory dovolují celé soustavě otáčet se kolem %s");
QString str_MechTranslation =
    QStringLiteral("Podpory dovolují celé soustavě posouvat se ve směru %s — přidejte podporu");
QString str_MechNone = QStringLiteral("Soustava se nemůže pohnout, styčníková metoda ji však "
                                      "nevyřeší: má nadbytečné pruty nebo podpory");
QString str_ListAnd = QStringLiteral("a");
QString str_Metoda = QStringLiteral("Metoda");
QString str_MetodaStycnikova = QStringLiteral("styčníková");
QString str_MetodaTuhostni = QStringLiteral("tuhostní");
QString str_PosunyStycniku = QStringLiteral("Posuny styčníků");
// Texts of the analysis settings, the deformed shape and the units of a truss.
QString str_ResitTuhostne = QStringLiteral("Řešit staticky neurčité soustavy deformační metodou");
QString str_ZobrazitDeformaci = QStringLiteral("Zobrazit deformovaný tvar");
QString str_MeritkoDeformace = QStringLiteral("Deformace zvětšena %s×");
QString str_JednotkyMenu = QStringLiteral("Jednotky…");
QString str_JednotkyTitulek = QStringLiteral("Jednotky");
QString str_DelkaJednotky = QStringLiteral("Délka jednotky výkresu:");
QString str_JednotkaDelky = QStringLiteral("Jednotka délky:");
QString str_JednotkaSily = QStringLiteral("Jednotka síly:");
// Texts of the update check that keep an unsigned or unsaved setup file from running.
QString msg_CannotSaveUpdate = QStringLiteral("Aktualizaci nelze uložit do složky \"%s\".");
QString msg_CannotVerifyUpdate =
    QStringLiteral("Aktualizaci nelze ověřit: není podepsána vydavatelem programu. Stažený soubor "
                   "byl smazán a nebyl spuštěn.");
// Texts of the result tables and of the solution by joints, step by step.
QString str_TabPruty = QStringLiteral("Pruty");
QString str_TabPodpory = QStringLiteral("Podpory");
QString str_TabStycniky = QStringLiteral("Styčníky");
QString str_StycnikA = QStringLiteral("Styčník A");
QString str_StycnikB = QStringLiteral("Styčník B");
QString str_Delka = QStringLiteral("Délka");
QString str_TahTlak = QStringLiteral("Tah/tlak");
QString str_Tah = QStringLiteral("tah");
QString str_Tlak = QStringLiteral("tlak");
QString str_Nulova = QStringLiteral("nulová");
QString str_Vazba = QStringLiteral("Vazba");
QString str_VazbaXY = QStringLiteral("x a y");
QString str_KrokyNadpis = QStringLiteral("Řešení po styčnících");
QString str_KrokyZnamenka = QStringLiteral(
    "Znaménka: síla v prutu je kladná v tahu a záporná v tlaku a na styčník působí ve směru od "
    "styčníku k druhému konci prutu; reakce je kladná ve směru +x nebo +y; osa x míří doprava, osa "
    "y dolů; úhly se měří od +x k +y (na obrazovce po směru hodinových ručiček).");
QString str_KrokyJednotky = QStringLiteral("Jednotky: síla %s, délka %s.");
QString str_KrokyDilek = QStringLiteral("Jeden dílek výkresu měří %s.");
QString str_BezJednotky = QStringLiteral("bez jednotky");
QString str_DilkyVykresu = QStringLiteral("dílky výkresu");
QString str_KrokyUrcita = QStringLiteral(
    "Soustava je staticky určitá: %s neznámých sil a reakcí, %s rovnic rovnováhy styčníků.");
QString str_KrokyNeurcita = QStringLiteral(
    "Soustava je staticky neurčitá: %s neznámých sil a reakcí, ale jen %s nezávislých rovnic "
    "rovnováhy styčníků, takže rovnováha styčníků nedá všechny síly.");
QString str_KrokyPohybliva =
    QStringLiteral("Soustava je pohyblivá (mechanismus): má %s rovnic rovnováhy styčníků, ale síly "
                   "a reakce jich nezávisle splní jen %s.");
QString str_KrokStycnik = QStringLiteral("Krok %s: styčník %s");
QString str_KrokReakce = QStringLiteral("Krok %s: reakce z rovnováhy celé soustavy");
QString str_KrokReakceProc =
    QStringLiteral("Žádný styčník nemá nejvýše dvě neznámé; reakce dají tři rovnice rovnováhy celé "
                   "soustavy, momenty k bodu styčníku %s.");
QString str_KrokBlok = QStringLiteral("Krok %s: styčníky %s najednou");
QString str_KrokBlokProc = QStringLiteral("Žádný styčník nemá nejvýše dvě neznámé; styčníky %s je "
                                          "třeba řešit najednou jako jednu soustavu rovnic.");
QString str_ZnameSily = QStringLiteral("Známé síly");
QString str_Nezname = QStringLiteral("Neznámé");
QString str_Zatizeni = QStringLiteral("zatížení");
QString str_Kontrola = QStringLiteral("kontrola");
QString str_Zbytek = QStringLiteral("zbytek");
QString str_KrokyReakce = QStringLiteral("Reakce");
QString str_KrokySily = QStringLiteral("Síly v prutech");
QString str_KrokyNelzeUrcit = QStringLiteral("Rovnováha styčníků nedá: %s.");
QString str_KrokyTuhostni = QStringLiteral("spočítáno tuhostní metodou");
QString str_KrokyNevyvazene =
    QStringLiteral("Zatížení nelze vyrovnat: rovnice kroku %s nevychází (zbytek %s).");
QString str_KrokyPrazdna = QStringLiteral("Soustava nemá žádný styčník.");

namespace {

const TLangConstant Constants[] = {
    {"msg_CannotDownloadUpdate", &msg_CannotDownloadUpdate, "Z webu nelze stáhnout update!"},
    {"msg_CannotExecUpdate", &msg_CannotExecUpdate, "Nelze spustit update!"},
    {"msg_Chyba", &msg_Chyba, "Chyba!"},
    {"msg_NoNewUpdate", &msg_NoNewUpdate,
     "Máte nejnovější verzi programu.\\nV současné době není žádná aktualizace dostupná."},
    {"msg_ScreenshotSave", &msg_ScreenshotSave,
     "Snímek aktivního okna uložen do souboru \"%s.bmp\" v adresáři programu."},
    {"msg_SouborNeexistuje", &msg_SouborNeexistuje, "Soubor \"%s\" nelze nalézt."},
    {"que_PrejeteSiUpdatovatNyni", &que_PrejeteSiUpdatovatNyni,
     "Přejete si nyní nahrát novou verzi?"},
    {"str_Ano", &str_Ano, "Ano"},
    {"str_CasNaVykresleni", &str_CasNaVykresleni, "Čas na vykreslení: %f ms"},
    {"str_Dimension", &str_Dimension, "Dimenze"},
    {"str_Err_NoSolution", &str_Err_NoSolution, "Zadané parametry nemají žádné řešení."},
    {"str_Err_Small", &str_Err_Small, "Matice musí mít rozměr větší než 1."},
    {"str_Error", &str_Error, "Chyba"},
    {"str_Koeficienty", &str_Koeficienty, "Koeficienty"},
    {"str_Konstanty", &str_Konstanty, "Konstanty"},
    {"str_MemoryUsed", &str_MemoryUsed, "Použito %s K paměti"},
    {"str_Ne", &str_Ne, "Ne"},
    {"str_No", &str_No, "č."},
    {"str_Opened", &str_Opened, "Otevřeno"},
    {"str_Origin", &str_Origin, "Začátek"},
    {"str_PocetPodper", &str_PocetPodper, "Počet podpěr"},
    {"str_PocetPrutu", &str_PocetPrutu, "Počet prutů"},
    {"str_PocetSil", &str_PocetSil, "Počet vnějších sil"},
    {"str_PocetStycniku", &str_PocetStycniku, "Počet styčníků"},
    {"str_PocetVektoru", &str_PocetVektoru, "Počet vektorů"},
    {"str_Sila", &str_Sila, "Síla"},
    {"str_Solution", &str_Solution, "Řešení"},
    {"str_Souradnice", &str_Souradnice, "Souřadnice"},
    {"str_Sourd", &str_Sourd, "Souř."},
    {"str_Stycnik", &str_Stycnik, "Styčník"},
    {"str_TimeToCalculate", &str_TimeToCalculate, "Čas na výpočet: %f ms"},
    {"str_Uhel", &str_Uhel, "Úhel"},
    {"que_UlozitZmeny", &que_UlozitZmeny, "Dokument \"%s\" byl změněn. Uložit změny?"},
    {"msg_NelzeOtevrit", &msg_NelzeOtevrit, "Soubor \"%s\" nelze otevřít."},
    {"msg_NelzeUlozit", &msg_NelzeUlozit, "Soubor \"%s\" nelze uložit."},
    {"que_SouborZmizel", &que_SouborZmizel,
     "Soubor \"%s\" už neexistuje nebo byl přesunut. Uložit dokument pod jiným jménem?"},
    {"str_BezNazvu", &str_BezNazvu, "bez názvu"},
    {"msg_ScreenshotSaveTo", &msg_ScreenshotSaveTo,
     "Snímek aktivního okna uložen do souboru \"%s\"."},
    {"msg_ScreenshotNelzeUlozit", &msg_ScreenshotNelzeUlozit,
     "Snímek aktivního okna nelze uložit."},
    {"msg_SoustavaNezobrazena", &msg_SoustavaNezobrazena,
     "Soustavu \"%s\" nelze spočítat nebo vykreslit. Zobrazí se jako nevyřešená; soustava ani její "
     "soubor se nezměnily."},
    {"str_NelzeSpocitat", &str_NelzeSpocitat, "Nelze spočítat: %s"},
    {"str_NelzeVykreslit", &str_NelzeVykreslit, "Nelze vykreslit: %s"},
    {"msg_NeocekavanaChyba", &msg_NeocekavanaChyba,
     "Nastala neočekávaná chyba; program pracuje dál. Pro jistotu uložte otevřené dokumenty."},
    {"msg_NastaveniNelzeUlozit", &msg_NastaveniNelzeUlozit,
     "Nastavení nelze uložit do souboru \"%s\". Změny nastavení se po ukončení programu ztratí."},
    {"str_Prut", &str_Prut, "Prut"},
    {"str_Podpera", &str_Podpera, "Podpěra"},
    {"str_KonecA", &str_KonecA, "Konec A"},
    {"str_KonecB", &str_KonecB, "Konec B"},
    {"str_Poloha", &str_Poloha, "Poloha"},
    {"str_Velikost", &str_Velikost, "Velikost"},
    {"str_Reakce", &str_Reakce, "Reakce"},
    {"str_PodperaXY", &str_PodperaXY, "v x i v y (pevná)"},
    {"str_PodperaX", &str_PodperaX, "jen v x"},
    {"str_PodperaY", &str_PodperaY, "jen v y"},
    {"msg_NeniCislo", &msg_NeniCislo, "Pole \"%s\": zadejte číslo."},
    {"msg_NeniCeleCislo", &msg_NeniCeleCislo,
     "Pole \"%s\": zadejte celé číslo od -2147483648 do 2147483647."},
    {"msg_NeniKladne", &msg_NeniKladne, "Pole \"%s\": zadejte kladné číslo."},
    {"msg_KonecPrutu", &msg_KonecPrutu, "Konce prutu musí ležet ve dvou různých bodech."},
    {"str_SchrankaBezKonstrukce", &str_SchrankaBezKonstrukce,
     "Ve schránce není příhradová konstrukce."},
    {"str_SchrankaSeNevejde", &str_SchrankaSeNevejde, "Obsah schránky se sem nevejde."},
    {"str_MechJoint", &str_MechJoint,
     "Mechanismus: styčník %s se může pohnout — přidejte prut nebo podporu"},
    {"str_MechJoints", &str_MechJoints,
     "Mechanismus: styčníky %s se mohou pohnout — přidejte prut nebo podporu"},
    {"str_MechInfinitesimalJoint", &str_MechInfinitesimalJoint,
     "Nekonečně malý mechanismus: styčník %s se může nepatrně pohnout, než jej pruty zachytí — "
     "přidejte prut nebo změňte tvar"},
    {"str_MechInfinitesimalJoints", &str_MechInfinitesimalJoints,
     "Nekonečně malý mechanismus: styčníky %s se mohou nepatrně pohnout, než je pruty zachytí — "
     "přidejte prut nebo změňte tvar"},
    {"str_MechRotation", &str_MechRotation, "Podpory dovolují celé soustavě otáčet se kolem %s"},
    {"str_MechTranslation", &str_MechTranslation,
     "Podpory dovolují celé soustavě posouvat se ve směru %s — přidejte podporu"},
    {"str_MechNone", &str_MechNone,
     "Soustava se nemůže pohnout, styčníková metoda ji však nevyřeší: má nadbytečné pruty nebo "
     "podpory"},
    {"str_ListAnd", &str_ListAnd, "a"},
    {"str_Metoda", &str_Metoda, "Metoda"},
    {"str_MetodaStycnikova", &str_MetodaStycnikova, "styčníková"},
    {"str_MetodaTuhostni", &str_MetodaTuhostni, "tuhostní"},
    {"str_PosunyStycniku", &str_PosunyStycniku, "Posuny styčníků"},
    {"str_ResitTuhostne", &str_ResitTuhostne,
     "Řešit staticky neurčité soustavy deformační metodou"},
    {"str_ZobrazitDeformaci", &str_ZobrazitDeformaci, "Zobrazit deformovaný tvar"},
    {"str_MeritkoDeformace", &str_MeritkoDeformace, "Deformace zvětšena %s×"},
    {"str_JednotkyMenu", &str_JednotkyMenu, "Jednotky…"},
    {"str_JednotkyTitulek", &str_JednotkyTitulek, "Jednotky"},
    {"str_DelkaJednotky", &str_DelkaJednotky, "Délka jednotky výkresu:"},
    {"str_JednotkaDelky", &str_JednotkaDelky, "Jednotka délky:"},
    {"str_JednotkaSily", &str_JednotkaSily, "Jednotka síly:"},
    {"msg_CannotSaveUpdate", &msg_CannotSaveUpdate, "Aktualizaci nelze uložit do složky \"%s\"."},
    {"msg_CannotVerifyUpdate", &msg_CannotVerifyUpdate,
     "Aktualizaci nelze ověřit: není podepsána vydavatelem programu. Stažený soubor byl smazán a "
     "nebyl spuštěn."},
    {"str_TabPruty", &str_TabPruty, "Pruty"},
    {"str_TabPodpory", &str_TabPodpory, "Podpory"},
    {"str_TabStycniky", &str_TabStycniky, "Styčníky"},
    {"str_StycnikA", &str_StycnikA, "Styčník A"},
    {"str_StycnikB", &str_StycnikB, "Styčník B"},
    {"str_Delka", &str_Delka, "Délka"},
    {"str_TahTlak", &str_TahTlak, "Tah/tlak"},
    {"str_Tah", &str_Tah, "tah"},
    {"str_Tlak", &str_Tlak, "tlak"},
    {"str_Nulova", &str_Nulova, "nulová"},
    {"str_Vazba", &str_Vazba, "Vazba"},
    {"str_VazbaXY", &str_VazbaXY, "x a y"},
    {"str_KrokyNadpis", &str_KrokyNadpis, "Řešení po styčnících"},
    {"str_KrokyZnamenka", &str_KrokyZnamenka,
     "Znaménka: síla v prutu je kladná v tahu a záporná v tlaku a na styčník působí ve směru od "
     "styčníku k druhému konci prutu; reakce je kladná ve směru +x nebo +y; osa x míří doprava, "
     "osa y dolů; úhly se měří od +x k +y (na obrazovce po směru hodinových ručiček)."},
    {"str_KrokyJednotky", &str_KrokyJednotky, "Jednotky: síla %s, délka %s."},
    {"str_KrokyDilek", &str_KrokyDilek, "Jeden dílek výkresu měří %s."},
    {"str_BezJednotky", &str_BezJednotky, "bez jednotky"},
    {"str_DilkyVykresu", &str_DilkyVykresu, "dílky výkresu"},
    {"str_KrokyUrcita", &str_KrokyUrcita,
     "Soustava je staticky určitá: %s neznámých sil a reakcí, %s rovnic rovnováhy styčníků."},
    {"str_KrokyNeurcita", &str_KrokyNeurcita,
     "Soustava je staticky neurčitá: %s neznámých sil a reakcí, ale jen %s nezávislých rovnic "
     "rovnováhy styčníků, takže rovnováha styčníků nedá všechny síly."},
    {"str_KrokyPohybliva", &str_KrokyPohybliva,
     "Soustava je pohyblivá (mechanismus): má %s rovnic rovnováhy styčníků, ale síly a reakce jich "
     "nezávisle splní jen %s."},
    {"str_KrokStycnik", &str_KrokStycnik, "Krok %s: styčník %s"},
    {"str_KrokReakce", &str_KrokReakce, "Krok %s: reakce z rovnováhy celé soustavy"},
    {"str_KrokReakceProc", &str_KrokReakceProc,
     "Žádný styčník nemá nejvýše dvě neznámé; reakce dají tři rovnice rovnováhy celé soustavy, "
     "momenty k bodu styčníku %s."},
    {"str_KrokBlok", &str_KrokBlok, "Krok %s: styčníky %s najednou"},
    {"str_KrokBlokProc", &str_KrokBlokProc,
     "Žádný styčník nemá nejvýše dvě neznámé; styčníky %s je třeba řešit najednou jako jednu "
     "soustavu rovnic."},
    {"str_ZnameSily", &str_ZnameSily, "Známé síly"},
    {"str_Nezname", &str_Nezname, "Neznámé"},
    {"str_Zatizeni", &str_Zatizeni, "zatížení"},
    {"str_Kontrola", &str_Kontrola, "kontrola"},
    {"str_Zbytek", &str_Zbytek, "zbytek"},
    {"str_KrokyReakce", &str_KrokyReakce, "Reakce"},
    {"str_KrokySily", &str_KrokySily, "Síly v prutech"},
    {"str_KrokyNelzeUrcit", &str_KrokyNelzeUrcit, "Rovnováha styčníků nedá: %s."},
    {"str_KrokyTuhostni", &str_KrokyTuhostni, "spočítáno tuhostní metodou"},
    {"str_KrokyNevyvazene", &str_KrokyNevyvazene,
     "Zatížení nelze vyrovnat: rovnice kroku %s nevychází (zbytek %s)."},
    {"str_KrokyPrazdna", &str_KrokyPrazdna, "Soustava nemá žádný styčník."},
    {"str_Meritko", &str_Meritko, "Měřítko: %s %"},
    {"str_ZpravaDatum", &str_ZpravaDatum, "Datum: %s"},
    {"str_ZpravaStrana", &str_ZpravaStrana, "Strana %s z %s"},
    {"str_VelikostObrazku", &str_VelikostObrazku, "Velikost obrázku"},
    {"str_SirkaObrazku", &str_SirkaObrazku, "Šířka (body):"},
    {"str_VyskaObrazku", &str_VyskaObrazku, "Výška (body):"},
    {"str_FiltrCsv", &str_FiltrCsv, "Tabulky CSV (*.csv)"},
    {"str_FiltrSvg", &str_FiltrSvg, "Obrázky SVG (*.svg)"},
    {"str_FiltrPng", &str_FiltrPng, "Obrázky PNG (*.png)"},
    {"str_FiltrPdf", &str_FiltrPdf, "Dokumenty PDF (*.pdf)"},
    {"str_FiltrHtml", &str_FiltrHtml, "Stránky HTML (*.html *.htm)"},
    {"str_UlozitHtml", &str_UlozitHtml, "Uložit jako HTML…"},
    {"str_UlozitPdf", &str_UlozitPdf, "Uložit jako PDF…"},
    {"str_Vysledky", &str_Vysledky, "Výsledky"},
};

} // namespace

const TLangConstant* LangConstants() {
    return Constants;
}

int LangConstantCount() {
    return static_cast<int>(std::size(Constants));
}

void ResetConstantsToCzech() {
    for (const auto& c : Constants)
        *c.Variable = QString::fromUtf8(c.CzechText);
}

QString FormatConst(const QString& text, const QString& value) {
    static const QRegularExpression placeholder(QStringLiteral("%[sdf]"));
    const QRegularExpressionMatch m = placeholder.match(text);
    if (!m.hasMatch())
        return text;
    QString result = text;
    return result.replace(m.capturedStart(), m.capturedLength(), value);
}

void TranslateConstants() {
    // A constant the new language does not name keeps the text it had.
    for (const auto& c : Constants)
        *c.Variable = LanguageManager.GetConstant(QString::fromLatin1(c.Name), *c.Variable);
}
