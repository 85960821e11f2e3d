// The language manager: the search for language files, the translation tables and the loader.
#include "plsLangMan.h"
#include "LanguageFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <exception>

namespace {

constexpr QLatin1String CrLf("\r\n");

// Extensions of the three kinds of language file.
constexpr char MainExtension[] = "lng";
constexpr char CountedExtension[] = "lngz";
constexpr char OverrideExtension[] = "lngu";

// The folder searched beside the program, and the one of an installed copy (relative to the
// folder of the program: <prefix>/bin -> <prefix>/share/trabex/Langs).
constexpr char LangsFolder[] = "Langs";
constexpr char InstalledLangsFolder[] = "../share/trabex/Langs";

bool KeyLess(const TTranslationTable::TEntry& a, const TTranslationTable::TEntry& b) {
    return a.Key < b.Key;
}

QString Suffix(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

QStringList SortedNames(const QDir& dir, QDir::Filters filters) {
    QStringList names;
    for (const QFileInfo& info : dir.entryInfoList(filters, QDir::Unsorted))
        if (filters.testFlag(QDir::Dirs) ? info.isDir() : info.isFile())
            names.append(info.fileName());
    std::sort(names.begin(), names.end());
    return names;
}

void Search(const QString& folder, const QString& code, bool recursive, TLanguageFiles& files,
            QSet<QString>& visited) {
    const QDir dir(folder);
    const QString canonical = dir.canonicalPath();
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);
    if (recursive)
        for (const QString& sub :
             SortedNames(dir, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
            Search(dir.filePath(sub), code, recursive, files, visited);

    // Only regular files (or links to them) are taken: a FIFO of a matching name would block the
    // reader.
    const QStringList names = SortedNames(dir, QDir::Files | QDir::Hidden | QDir::System);
    const auto append = [&](QStringList& list, const char* extension) {
        const QString mask = QStringLiteral("*.%1.%2").arg(code, QLatin1String(extension));
        for (const QString& name : names)
            if (MatchesMask(name, mask))
                list.append(dir.absoluteFilePath(name));
    };
    append(files.Main, MainExtension);
    append(files.Main, CountedExtension);
    append(files.Overrides, OverrideExtension);
}

} // namespace

// ---- TTranslationTable ----

void TTranslationTable::SetSorted(bool on) {
    if (on && !sorted)
        std::stable_sort(entries.begin(), entries.end(), KeyLess);
    sorted = on;
}

int TTranslationTable::IndexOf(const QString& key) const {
    const QString upper = key.toUpper();
    if (sorted) {
        const auto it =
            std::lower_bound(entries.begin(), entries.end(), upper,
                             [](const TEntry& entry, const QString& k) { return entry.Key < k; });
        return it != entries.end() && it->Key == upper ? static_cast<int>(it - entries.begin())
                                                       : -1;
    }
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Key == upper)
            return static_cast<int>(i);
    return -1;
}

int TTranslationTable::FirstWithPrefix(const QString& prefix) const {
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].Key.startsWith(prefix))
            return static_cast<int>(i);
    return -1;
}

void TTranslationTable::Add(const QString& key, const QString& text) {
    TEntry entry{key.toUpper(), text};
    if (!sorted) {
        entries.push_back(std::move(entry));
        return;
    }
    const auto at = std::upper_bound(entries.begin(), entries.end(), entry, KeyLess);
    entries.insert(at, std::move(entry));
}

void TTranslationTable::AddOrReplace(const QString& key, const QString& text) {
    const int i = IndexOf(key);
    if (i >= 0)
        entries[static_cast<std::size_t>(i)].Text = text;
    else
        Add(key, text);
}

void TTranslationTable::Merge(const QList<TEntry>& batch, bool replace) {
    if (batch.isEmpty())
        return;
    const std::size_t old = entries.size();
    entries.reserve(old + static_cast<std::size_t>(batch.size()));
    // In replace mode: key -> index of the entry IndexOf would find, that is the lowest index of
    // the key (the first of equal keys when sorted, the first added when not).
    QHash<QString, std::size_t> first;
    if (replace) {
        first.reserve(static_cast<qsizetype>(old) + batch.size());
        for (std::size_t i = old; i-- > 0;)
            first.insert(entries[i].Key, i);
    }
    for (const TEntry& entry : batch) {
        QString key = entry.Key.toUpper();
        if (replace) {
            const auto it = first.constFind(key);
            if (it != first.cend()) {
                entries[*it].Text = entry.Text;
                continue;
            }
            first.insert(key, entries.size());
        }
        entries.push_back(TEntry{std::move(key), entry.Text});
    }
    // The new entries in batch order after the equal keys already there, as single Adds would
    // have placed them; both algorithms are stable.
    if (sorted && entries.size() > old) {
        const auto middle = entries.begin() + static_cast<std::ptrdiff_t>(old);
        std::stable_sort(middle, entries.end(), KeyLess);
        std::inplace_merge(entries.begin(), middle, entries.end(), KeyLess);
    }
}

// ---- Finding language files ----

QString LanguageCodeOfFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype last = name.lastIndexOf(u'.');
    if (last <= 0)
        return QString();
    const qsizetype before = name.lastIndexOf(u'.', last - 1);
    if (before < 0)
        return QString();
    return name.mid(before + 1, last - before - 1).toLower();
}

bool MatchesMask(const QString& name, const QString& mask) {
    const auto same = [](QChar a, QChar b) {
        return a == b || QChar::toCaseFolded(a.unicode()) == QChar::toCaseFolded(b.unicode());
    };
    // Greedy matching that returns to the last "*" on a mismatch: at most
    // name length x mask length steps.
    qsizetype i = 0, j = 0, star = -1, resume = 0;
    while (i < name.size()) {
        if (j < mask.size() && mask[j] == u'*') {
            star = j++;
            resume = i;
        } else if (j < mask.size() && (mask[j] == u'?' || same(mask[j], name[i]))) {
            ++i;
            ++j;
        } else if (star >= 0) {
            j = star + 1;
            i = ++resume;
        } else {
            return false;
        }
    }
    while (j < mask.size() && mask[j] == u'*')
        ++j;
    return j == mask.size();
}

void FindLanguageFilesIn(const QString& folder, const QString& code, bool recursive,
                         TLanguageFiles& files) {
    QSet<QString> visited;
    Search(folder, code, recursive, files, visited);
}

TLanguageFiles FindLanguageFiles(const QString& folder, const QString& exeFolder,
                                 const QString& code, bool recursive) {
    TLanguageFiles files;
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
        FindLanguageFilesIn(folder, code, recursive, files);
        return files;
    }
    const QDir exe(exeFolder);
    for (const QString& candidate : {exe.filePath(LangsFolder), exe.path(),
                                     QDir::cleanPath(exe.filePath(InstalledLangsFolder))}) {
        FindLanguageFilesIn(candidate, code, recursive, files);
        if (!files.Empty())
            break;
    }
    return files;
}

void FilterByFileNames(QStringList& files, const QStringList& fileNames) {
    if (fileNames.isEmpty())
        return;
    QStringList masks;
    for (const QString& entry : fileNames)
        masks.append(entry + QStringLiteral(".*.*"));
    files.removeIf([&](const QString& path) {
        const QString name = QFileInfo(path).fileName();
        return std::none_of(masks.begin(), masks.end(),
                            [&](const QString& mask) { return MatchesMask(name, mask); });
    });
}

QString ExecutableFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // The program-wide manager is made before the application object; the kernel's link to the
    // running program names its file then.
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    return program.isEmpty() ? QString() : QFileInfo(program).absolutePath();
}

// ---- TLanguageManager ----

TLanguageManager::TLanguageManager() : folder(QDir(ExecutableFolder()).filePath(LangsFolder)) {}

void TLanguageManager::SetTablesSorted(bool on) {
    constants.SetSorted(on);
    properties.SetSorted(on);
    atConstants.SetSorted(on);
}

void TLanguageManager::SetLanguageCode(const QString& code) {
    lastError.clear();
    if (code.isEmpty())
        return;
    try {
        ClearTranslations(true, true, true);
        languageCode = code;
        languageName.clear();
        biDiMode = bdLeftToRight;
        SetTablesSorted(false);

        TLanguageFiles files = FindLanguageFiles(folder, ExecutableFolder(), code, recursiveFolder);
        FilterByFileNames(files.Main, fileNames);
        FilterByFileNames(files.Overrides, fileNames);
        if (files.Empty()) {
            languageCode.clear();
            lastError = QString::fromLatin1(LanguageNotFound);
            SetTablesSorted(true);
            return;
        }

        // Every failed load adds a line, even one with an empty text (a ".lngz" file); the
        // leading line break is removed at the end, so a single such failure leaves no error.
        QString error;
        for (const QString& path : files.Main)
            if (!LoadLanguageFile(path, languageName, error))
                lastError += CrLf + error;
        if (!files.Overrides.isEmpty()) {
            SetTablesSorted(true);
            for (const QString& path : files.Overrides)
                if (!LoadLanguageFile(path, languageName, error))
                    lastError += CrLf + error;
        }
        SetTablesSorted(true);
        lastError.remove(0, CrLf.size());
    } catch (const std::exception& e) {
        SetTablesSorted(true);
        lastError += CrLf + QString::fromLocal8Bit(e.what());
        return;
    }
    if (OnLanguageChanged && lastError.isEmpty() && languageCode == code)
        OnLanguageChanged(*this);
}

QString TLanguageManager::GetConstant(const QString& name, const QString& def) const {
    if (name.isEmpty())
        return ExpandEscapes(def);
    if (name.startsWith(u'@')) {
        const int i = atConstants.IndexOf(name);
        return i >= 0 ? atConstants.Text(i) : ExpandEscapes(def);
    }
    int i = constants.IndexOf(name);
    if (i >= 0)
        return constants.Text(i);
    // A constant may also name a property line: TMainForm.self.Caption is the line self.Caption
    // of section TMainForm.
    i = properties.IndexOf(name);
    return i >= 0 ? properties.Text(i) : ExpandEscapes(def);
}

bool TLanguageManager::GetAvailableLanguages(QStringList& list) {
    lastError.clear();
    list.clear();
    try {
        const TLanguageFiles files =
            FindLanguageFiles(folder, ExecutableFolder(), QStringLiteral("*"), recursiveFolder);
        QStringList all = files.Main + files.Overrides;
        FilterByFileNames(all, fileNames);
        QSet<QString> listed;
        for (const QString& path : all) {
            const QString code = LanguageCodeOfFile(path);
            // A name like "..lng" has an empty code, which no one could choose.
            if (code.isEmpty() || listed.contains(code) ||
                Suffix(path) == QLatin1String(CountedExtension))
                continue;
            TLanguageText text;
            QString error;
            if (!ReadLanguageFile(path, text, error))
                continue;
            const TLanguageSection* header = text.Find(QString::fromLatin1(HeaderSection));
            const QString name =
                header ? header->Value(QString::fromLatin1(LanguageNameKey)) : QString();
            if (name.isEmpty())
                continue;
            list.append(code + u'=' + name);
            listed.insert(code);
        }
        return true;
    } catch (const std::exception& e) {
        lastError = QString::fromLocal8Bit(e.what());
        return false;
    }
}

void TLanguageManager::ClearTranslations(bool clearConstants, bool clearProperties,
                                         bool clearMessages) {
    if (clearConstants)
        constants.Clear();
    if (clearProperties)
        properties.Clear();
    if (clearMessages) {
        messageSources.clear();
        messageTranslations.clear();
        messageIndex.clear();
    }
    atConstants.Clear();
    activeFiles.clear();
}

bool TLanguageManager::LoadLanguageFile(const QString& path, QString& name, QString& error) {
    error.clear();
    const QString suffix = Suffix(path);
    if (suffix == QLatin1String(CountedExtension)) {
        activeFiles.append(path);
        return false;
    }
    TLanguageText text;
    if (!ReadLanguageFile(path, text, error))
        return false;
    const bool replace = suffix == QLatin1String(OverrideExtension);

    const QString headerName = QString::fromLatin1(HeaderSection);
    const QString constantsName = QString::fromLatin1(ConstantsSection);
    const QString messagesName = QString::fromLatin1(MessagesSection);
    if (const TLanguageSection* header = text.Find(headerName)) {
        if (name.isEmpty())
            name = header->Value(QString::fromLatin1(LanguageNameKey));
        if (biDiMode != bdRightToLeft &&
            RightToLeftFlag(header->Value(QString::fromLatin1(RightToLeftKey))))
            biDiMode = bdRightToLeft;
    }

    if (const TLanguageSection* section = text.Find(constantsName)) {
        // Each line names a constant; its text is the value of the first line of that name.
        QHash<QString, QString> firstValue;
        for (const QString& line : section->Lines) {
            const QString key = LineKey(line).toUpper();
            if (!key.isEmpty() && !firstValue.contains(key))
                firstValue.insert(key, LineValue(line));
        }
        QList<TTranslationTable::TEntry> plain, at;
        for (const QString& line : section->Lines) {
            const QString key = LineKey(line).toUpper();
            if (key.isEmpty())
                continue;
            (key.startsWith(u'@') ? at : plain)
                .append(TTranslationTable::TEntry{key, ExpandEscapes(firstValue.value(key))});
        }
        constants.Merge(plain, replace);
        atConstants.Merge(at, replace);
    }

    // Property sections in ascending order of their names.
    std::vector<std::pair<QString, const TLanguageSection*>> sections;
    for (const TLanguageSection& section : text.Sections)
        if (section.Name.compare(headerName, Qt::CaseInsensitive) != 0 &&
            section.Name.compare(constantsName, Qt::CaseInsensitive) != 0 &&
            section.Name.compare(messagesName, Qt::CaseInsensitive) != 0)
            sections.emplace_back(section.Name.toUpper(), &section);
    std::sort(sections.begin(), sections.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<TTranslationTable::TEntry> lines;
    for (const auto& [upper, section] : sections)
        for (const QString& line : section->Lines)
            lines.append(TTranslationTable::TEntry{upper + u'.' + LineKey(line).toUpper(),
                                                   ExpandEscapes(LineValue(line))});
    properties.Merge(lines, replace);

    if (const TLanguageSection* section = text.Find(messagesName))
        MergeMessages(section->Lines, replace);

    activeFiles.append(path);
    return true;
}

void TLanguageManager::MergeMessages(const QStringList& lines, bool replace) {
    // The reader has already dropped empty lines and comments, so every line that has a partner
    // after it starts a pair; a last line without one is ignored.
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const QString source = ExpandEscapes(lines[i]);
        const QString translation = ExpandEscapes(lines[i + 1]);
        const QString upper = source.toUpper();
        const auto known = messageIndex.constFind(upper);
        if (replace && known != messageIndex.cend()) {
            messageTranslations[*known] = translation;
            continue;
        }
        if (known == messageIndex.cend())
            messageIndex.insert(upper, static_cast<int>(messageSources.size()));
        messageSources.append(source);
        messageTranslations.append(translation);
    }
}

// ---- Program-wide instance and free functions ----

TLanguageManager& TheLanguageManager() {
    static TLanguageManager manager;
    return manager;
}

TLanguageManager& LanguageManager = TheLanguageManager();

QString ExpandEscapes(const QString& text) {
    QString result = text;
    result.replace(QLatin1String("\\n"), CrLf);
    result.replace(QLatin1String("\\t"), QLatin1String("\t"));
    return result;
}
