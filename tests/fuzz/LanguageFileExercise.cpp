// The language-file reader exercise: the bytes as language files, loaded by a manager.
#include "ReaderExercises.h"

#include "LanguageFile.h"
#include "plsLangMan.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

// Bits of the last byte of an input: which files of the language it makes.
constexpr unsigned WithOverride = 1 << 0;  // also Fuzz.xx.lngu, replacing entries of the .lng
constexpr unsigned WithCounted = 1 << 1;   // also Fuzz.xx.lngz, which is only listed
constexpr unsigned UpperCaseCode = 1 << 2; // the code in the file names written "XX"
// With an override file, the bytes after the first form feed are its content and those before
// it the .lng file's; without a form feed both files hold all the bytes.
constexpr char OverrideSeparator = '\f';
// At most this many constants of a file are looked up one by one.
constexpr qsizetype CheckedConstants = 64;

const QString Code = QStringLiteral("xx");
// A name that no entry can have: constant keys hold no "=", property keys always hold a ".".
const QString NoSuchName = QStringLiteral("NO=SUCH");

bool writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), bytes.size()) == bytes.size();
}

TLanguageText parse(QByteArrayView bytes) {
    TLanguageText text;
    QString error;
    ParseLanguageText(bytes, text, error);
    return text;
}

// Upper-cased constant name -> text, the first line of each name counting, as one file gives.
void collectConstants(const TLanguageText& text, QHash<QString, QString>& into,
                      QStringList& order) {
    const TLanguageSection* section = text.Find(QString::fromLatin1(ConstantsSection));
    if (!section)
        return;
    QHash<QString, QString> own;
    for (const QString& line : section->Lines) {
        const QString key = LineKey(line).toUpper();
        if (key.isEmpty() || own.contains(key))
            continue;
        own.insert(key, ExpandEscapes(LineValue(line)));
        if (!into.contains(key))
            order.append(LineKey(line));
    }
    into.insert(own);
}

std::string checkSorted(const TTranslationTable& table, const char* name) {
    if (!table.Sorted())
        return std::string("the table of ") + name + " is left unsorted";
    for (int i = 1; i < table.Count(); ++i)
        if (table.Key(i) < table.Key(i - 1))
            return std::string("the table of ") + name + " is out of order at " +
                   table.Key(i).toStdString();
    return {};
}

// Each name's expected text, or the first failure.
std::string checkConstants(const TLanguageManager& manager, const QHash<QString, QString>& texts,
                           const QStringList& names) {
    for (qsizetype i = 0; i < std::min(names.size(), CheckedConstants); ++i) {
        const QString got = manager.GetConstant(names[i], QString());
        if (got != texts.value(names[i].toUpper()))
            return "constant " + names[i].toStdString() + " reads \"" + got.toStdString() + "\"";
    }
    return {};
}

// The first property line of a file: the section that sorts first by its upper-cased name.
std::string checkFirstProperty(const TLanguageManager& manager, const TLanguageText& text,
                               const QHash<QString, QString>& constants) {
    std::vector<const TLanguageSection*> sections;
    for (const TLanguageSection& s : text.Sections)
        if (s.Name.compare(QString::fromLatin1(HeaderSection), Qt::CaseInsensitive) != 0 &&
            s.Name.compare(QString::fromLatin1(ConstantsSection), Qt::CaseInsensitive) != 0 &&
            s.Name.compare(QString::fromLatin1(MessagesSection), Qt::CaseInsensitive) != 0)
            sections.push_back(&s);
    std::sort(sections.begin(), sections.end(),
              [](const auto* a, const auto* b) { return a->Name.toUpper() < b->Name.toUpper(); });
    const auto first = std::find_if(sections.begin(), sections.end(),
                                    [](const auto* s) { return !s->Lines.isEmpty(); });
    if (first == sections.end())
        return {};
    const QString& line = (*first)->Lines.first();
    const QString name = (*first)->Name + u'.' + LineKey(line);
    // A name with "@" in front is an @constant's, and one that is also a constant's gives that
    // constant: the property is looked up only by the window translation then.
    if (name.startsWith(u'@') || constants.contains(name.toUpper()))
        return {};
    const QString got = manager.GetConstant(name, QString());
    if (got != ExpandEscapes(LineValue(line)))
        return "property " + name.toStdString() + " reads \"" + got.toStdString() + "\"";
    return {};
}

// A file in UTF-16 or UTF-32 is refused: its path is in the error, it is not among the loaded
// files, and the change raises no event.
std::string checkRefused(const TLanguageManager& manager, const QStringList& refused, int events) {
    if (events != 0)
        return "a language with a refused file raised the change event";
    for (const QString& path : refused) {
        if (!manager.LastError().contains(path))
            return "the error does not name the refused file " + path.toStdString();
        if (manager.ActiveFiles().contains(path))
            return "the refused file " + path.toStdString() + " is listed as loaded";
    }
    return {};
}

std::string exercise(QByteArrayView body, unsigned mode, const QDir& dir) {
    QByteArrayView main = body, override = body;
    if (mode & WithOverride) {
        const qsizetype cut = body.indexOf(OverrideSeparator);
        if (cut >= 0) {
            main = body.first(cut);
            override = body.sliced(cut + 1);
        }
    }
    // The reader's own UTF-8 test agrees with Qt's decoder: valid bytes, and only they, come
    // back unchanged. Qt drops a byte order mark at the start, so the bytes are put after a
    // letter.
    const QByteArray lettered = 'x' + main.toByteArray();
    if (IsValidUtf8(main) != (QString::fromUtf8(lettered).toUtf8() == lettered))
        return IsValidUtf8(main) ? "bytes taken for UTF-8 that are not"
                                 : "UTF-8 bytes taken for Windows-1250";

    const QString code = (mode & UpperCaseCode) ? Code.toUpper() : Code;
    const QString lng = dir.absoluteFilePath(QStringLiteral("Fuzz.%1.lng").arg(code));
    const QString lngz = dir.absoluteFilePath(QStringLiteral("Fuzz.%1.lngz").arg(code));
    const QString lngu = dir.absoluteFilePath(QStringLiteral("Fuzz.%1.lngu").arg(code));
    QStringList expectedFiles{lng};
    if (!writeFile(lng, main))
        return "cannot write " + lng.toStdString();
    if (mode & WithCounted) {
        expectedFiles << lngz;
        if (!writeFile(lngz, body))
            return "cannot write " + lngz.toStdString();
    }
    if (mode & WithOverride) {
        expectedFiles << lngu;
        if (!writeFile(lngu, override))
            return "cannot write " + lngu.toStdString();
    }

    TLanguageManager manager;
    manager.SetFolder(dir.path());
    int events = 0;
    manager.OnLanguageChanged = [&events](TLanguageManager&) { ++events; };
    manager.SetLanguageCode(Code);
    QStringList refused;
    if (!ForeignByteOrderMark(main).isEmpty())
        refused << lng;
    if ((mode & WithOverride) && !ForeignByteOrderMark(override).isEmpty())
        refused << lngu;
    if (!refused.isEmpty())
        return checkRefused(manager, refused, events);
    if (manager.LanguageCode() != Code || !manager.LastError().isEmpty() || events != 1)
        return "the language did not load: " + manager.LastError().toStdString();
    if (manager.ActiveFiles() != expectedFiles)
        return "the files loaded are not those written";
    for (const std::string& failure : {checkSorted(manager.Constants(), "constants"),
                                       checkSorted(manager.AtConstants(), "@constants"),
                                       checkSorted(manager.Properties(), "properties")})
        if (!failure.empty())
            return failure;
    if (manager.GetConstant(NoSuchName, QStringLiteral("a\\nb\\tc")) != QStringLiteral("a\r\nb\tc"))
        return "a missing constant does not give its default";
    if (manager.MessageSources().size() != manager.MessageTranslations().size())
        return "messages without translations";

    // What the files say, read on their own: the override's constants replace the main file's.
    const TLanguageText mainText = parse(main);
    const TLanguageText overrideText = parse(override);
    QHash<QString, QString> constants;
    QStringList names;
    collectConstants(mainText, constants, names);
    if (mode & WithOverride)
        collectConstants(overrideText, constants, names);
    if (std::string failure = checkConstants(manager, constants, names); !failure.empty())
        return failure;
    if (!(mode & WithOverride))
        if (std::string failure = checkFirstProperty(manager, mainText, constants);
            !failure.empty())
            return failure;

    // The list names the language after the first of its files that has a name.
    QStringList expectedList;
    for (const TLanguageText* text : {&mainText, &overrideText}) {
        if (text == &overrideText && !(mode & WithOverride))
            break;
        const TLanguageSection* header = text->Find(QString::fromLatin1(HeaderSection));
        const QString name =
            header ? header->Value(QString::fromLatin1(LanguageNameKey)) : QString();
        if (!name.isEmpty()) {
            expectedList << Code + u'=' + name;
            break;
        }
    }
    QStringList list;
    if (!manager.GetAvailableLanguages(list) || list != expectedList)
        return "the available languages are not those of the files";
    return {};
}

} // namespace

std::string ExerciseLanguageFile(QByteArrayView bytes, const QString& folder) {
    const unsigned mode = bytes.isEmpty() ? 0 : static_cast<unsigned char>(bytes.back());
    QDir dir(folder);
    const std::string failure = exercise(bytes.isEmpty() ? bytes : bytes.chopped(1), mode, dir);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
    return failure;
}
