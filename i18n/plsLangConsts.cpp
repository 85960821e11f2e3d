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
// Shown once when the settings (language, counters, recent files) cannot be kept.
QString msg_NastaveniNelzeUlozit = QStringLiteral(
    "Nastavení nelze uložit do souboru \"%s\". Změny nastavení se po ukončení programu ztratí.");

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
    {"str_Meritko", &str_Meritko, "Měřítko: %s %"},
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
