// The language manager: finds and reads the language files of a code into translation tables.
#pragma once

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

enum TBiDiMode { bdLeftToRight, bdRightToLeft };

// A table of translations: (key, text) entries. Keys are stored upper-cased (QString::toUpper),
// so every key comparison is case-insensitive. While the main files of a language load the table
// is unsorted and entries are appended; afterwards it is sorted once, by ordinal comparison of the
// keys, which keeps the keys sharing a prefix in one contiguous run. Sorting is stable: among
// equal keys the first added stays first, and lookups find it.
class TTranslationTable {
public:
    struct TEntry {
        QString Key;
        QString Text;
    };

    int Count() const { return static_cast<int>(entries.size()); }
    const QString& Key(int i) const { return entries.at(static_cast<std::size_t>(i)).Key; }
    const QString& Text(int i) const { return entries.at(static_cast<std::size_t>(i)).Text; }
    bool Sorted() const { return sorted; }
    // Switching to sorted mode sorts the entries (stably); switching off only stops keeping order.
    void SetSorted(bool on);

    // Index of the entry whose key equals key (case-insensitively), or -1. In a sorted table it
    // is found by halving and is the first of equal keys; in an unsorted one, the first added.
    int IndexOf(const QString& key) const;
    // Index of the first entry whose key begins with prefix (exact comparison; the prefix is
    // expected in upper case), or -1.
    int FirstWithPrefix(const QString& prefix) const;

    // Adds an entry: appended when unsorted, else placed after the entries of an equal key.
    void Add(const QString& key, const QString& text);
    // Replaces the text of the entry IndexOf(key) finds, or adds the entry when there is none.
    void AddOrReplace(const QString& key, const QString& text);
    // The same as Add (or, when replace is set, AddOrReplace) for each entry of batch in order,
    // in time n log n for the whole batch, so one large file never costs quadratic time.
    void Merge(const QList<TEntry>& batch, bool replace);
    void Clear() { entries.clear(); }

private:
    std::vector<TEntry> entries;
    bool sorted = true;
};

// The language files of one search: main files (".lng", then ".lngz", per folder) and override
// files (".lngu"), full paths in load order.
struct TLanguageFiles {
    QStringList Main;
    QStringList Overrides;

    bool Empty() const { return Main.isEmpty() && Overrides.isEmpty(); }
};

// The language code of a file: its second-to-last extension, lower-cased ("Trabex.CS.lng" -> "cs");
// empty when the name has fewer than two extensions.
QString LanguageCodeOfFile(const QString& path);
// Whether name matches mask, case-insensitively; "*" stands for any run of characters and "?"
// for one character.
bool MatchesMask(const QString& name, const QString& mask);
// Appends to files the language files of code ("*" for every code) in folder: when recursive, the
// sub-folders first (depth first, by name), then the folder's own files matching *.code.lng,
// then *.code.lngz to the main list and *.code.lngu to the override list. Files are taken in
// ordinal order of their names; hidden files count; folders already visited (through a link)
// are not searched again.
void FindLanguageFilesIn(const QString& folder, const QString& code, bool recursive,
                         TLanguageFiles& files);
// The language files of code under the folder choice: folder alone when it is not empty and
// names an existing directory; otherwise exeFolder/Langs, then, when that gives no file at all,
// exeFolder itself, and, when that gives none either, exeFolder/../share/trabex/Langs, where an
// installed copy of the program keeps its language files.
TLanguageFiles FindLanguageFiles(const QString& folder, const QString& exeFolder,
                                 const QString& code, bool recursive);
// Removes from files every file whose name (without folder) matches none of the masks
// entry + ".*.*" of fileNames; an empty fileNames keeps every file.
void FilterByFileNames(QStringList& files, const QStringList& fileNames);
// The folder of the running program, also before the application object exists.
QString ExecutableFolder();

class TLanguageManager {
public:
    TLanguageManager();

    const QStringList& ActiveFiles() const { return activeFiles; }
    QStringList& FileNames() { return fileNames; }
    const QStringList& FileNames() const { return fileNames; }
    QString Folder() const { return folder; }
    void SetFolder(const QString& value) { folder = value; }
    bool RecursiveFolder() const { return recursiveFolder; }
    void SetRecursiveFolder(bool on) { recursiveFolder = on; }
    QString LanguageName() const { return languageName; }
    QString LanguageCode() const { return languageCode; }
    // Loads the language of code; raises OnLanguageChanged when that succeeded. An empty code
    // only clears LastError.
    void SetLanguageCode(const QString& code);
    TBiDiMode BiDiMode() const { return biDiMode; }
    const TTranslationTable& Properties() const { return properties; }
    const TTranslationTable& Constants() const { return constants; }
    const TTranslationTable& AtConstants() const { return atConstants; }
    const QStringList& MessageSources() const { return messageSources; }
    const QStringList& MessageTranslations() const { return messageTranslations; }
    bool AllowSpecialProps() const { return allowSpecialProps; }
    void SetAllowSpecialProps(bool on) { allowSpecialProps = on; }
    QString LastError() const { return lastError; }
    // For the window translation, which reports into the same text.
    void ClearLastError() { lastError.clear(); }
    void AppendLastError(const QString& text) { lastError += text; }

    // Raised after a successful change of LanguageCode.
    std::function<void(TLanguageManager& sender)> OnLanguageChanged;

    // The translation of a named text, or def with its escapes expanded.
    QString GetConstant(const QString& name, const QString& def) const;
    // Fills list with "code=Name", each code once, for the codes whose files name the language.
    bool GetAvailableLanguages(QStringList& list);
    // Empties the flagged tables, and always AtConstants and ActiveFiles.
    void ClearTranslations(bool constants, bool properties, bool messages);
    // Reads one file into the tables: add mode, or replace mode for ".lngu"; a ".lngz" file is
    // only listed in ActiveFiles and reports false with an empty error. languageName is taken
    // from the file's header when it is still empty.
    bool LoadLanguageFile(const QString& path, QString& languageName, QString& error);

private:
    void SetTablesSorted(bool on);
    void MergeMessages(const QStringList& lines, bool replace);

    QStringList activeFiles;
    QStringList fileNames;
    QString folder;
    bool recursiveFolder = false;
    QString languageName;
    QString languageCode;
    TBiDiMode biDiMode = bdLeftToRight;
    TTranslationTable properties;
    TTranslationTable constants;
    TTranslationTable atConstants;
    QStringList messageSources;
    QStringList messageTranslations;
    // Upper-cased message source -> its first index in messageSources, for replace mode.
    QHash<QString, int> messageIndex;
    bool allowSpecialProps = true;
    QString lastError;
};

// The text of LastError when no file of a language code is found.
inline constexpr char LanguageNotFound[] = "Language not found";

// The program-wide manager, made on first use and alive until the program ends.
TLanguageManager& TheLanguageManager();
// The same object under its program-wide name, bound before main runs; code that runs during
// static initialisation must call TheLanguageManager() instead.
extern TLanguageManager& LanguageManager;

// text with every "\n" (backslash, n) replaced by CR LF, then every "\t" by a tab.
QString ExpandEscapes(const QString& text);
// The language code of a 16-bit Windows language identifier, or empty when the table lacks it.
QString LanguageCodeFromLangId(std::uint16_t langId);
// The Windows language identifier (primary language | sublanguage << 10) of a language, script and
// territory: the identifier of that territory (and script) when there is one, else the
// language's default identifier; 0 for a language without one. Serbian and Bosnian without a
// script give their neutral identifiers.
std::uint16_t LangIdFromLocaleParts(QLocale::Language language, QLocale::Script script,
                                    QLocale::Territory territory);
// LangIdFromLocaleParts of the locale's language, script and territory
// (cs_CZ -> 0x0405, en_US -> 0x0409, es_ES -> 0x0C0A modern sort, de_AT -> 0x0C07).
std::uint16_t LangIdFromLocale(const QLocale& locale);
// The language code of the user's locale: LanguageCodeFromLangId(LangIdFromLocale(system locale)).
QString DefaultLanguageCode();
