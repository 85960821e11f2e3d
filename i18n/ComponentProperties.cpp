// The property system of the window translation, on Qt's meta-object system.
#include "ComponentProperties.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QWidget>

#include <optional>

namespace {

[[noreturn]] void Fail(const QString& message) {
    throw EPropertyError(message.toStdString());
}

bool Is(const QString& name, const char* expected) {
    return name.compare(QLatin1String(expected), Qt::CaseInsensitive) == 0;
}

// A document window or a window of its own has components of its own; a menu is a popup
// window but belongs to its form.
bool IsSeparateForm(const QObject* o) {
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && !qobject_cast<const QMenu*>(w) &&
           (w->isWindow() || qobject_cast<const QMdiSubWindow*>(w));
}

QObject* FindIn(QObject* parent, const QString& name) {
    for (QObject* child : parent->children()) {
        if (child->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return child;
        if (IsSeparateForm(child))
            continue;
        if (QObject* found = FindIn(child, name))
            return found;
    }
    return nullptr;
}

// The object a path segment leads to: an object, or one of the value-like holders that a
// language file addresses as if they were objects.
struct THolder {
    enum Kind { Object, Font, Lines, Items } kind = Object;
    QObject* object = nullptr;
};

std::optional<QMetaProperty> QtProperty(const QObject* o, const QString& name) {
    const QMetaObject* meta = o->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (name.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0)
            return meta->property(i);
    return std::nullopt;
}

bool StrictBool(const QString& text) {
    if (Is(text, "True"))
        return true;
    if (Is(text, "False"))
        return false;
    Fail(QStringLiteral("\"%1\" is not a valid boolean value (True or False)").arg(text));
}

int StrictInt(const QString& text) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok)
        Fail(QStringLiteral("\"%1\" is not a valid integer value").arg(text));
    return v;
}

// Text converted to the type of a Qt property.
QVariant Converted(const QMetaProperty& p, const QString& text) {
    if (p.isEnumType()) {
        const QMetaEnum e = p.enumerator();
        bool ok = false;
        // Sets are written as a bracketed list of element names: [a, b].
        QByteArray keys = text.toLatin1();
        keys.replace('[', "").replace(']', "").replace(' ', "").replace(',', '|');
        const int v = p.isFlagType() ? e.keysToValue(keys.constData(), &ok)
                                     : e.keyToValue(keys.constData(), &ok);
        if (!ok)
            Fail(QStringLiteral("\"%1\" is not a valid value of %2")
                     .arg(text, QLatin1String(p.name())));
        return v;
    }
    switch (p.metaType().id()) {
    case QMetaType::QString:
        return text;
    case QMetaType::Bool:
        return StrictBool(text);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return StrictInt(text);
    case QMetaType::Double:
    case QMetaType::Float: {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok)
            Fail(QStringLiteral("\"%1\" is not a valid number").arg(text));
        return v;
    }
    default: {
        QVariant v(text);
        if (!v.convert(p.metaType()))
            Fail(QStringLiteral("\"%1\" cannot be converted for property %2")
                     .arg(text, QLatin1String(p.name())));
        return v;
    }
    }
}

void SetQtProperty(QObject* o, const QString& name, const QString& text) {
    const auto p = QtProperty(o, name);
    if (!p || !p->isWritable())
        Fail(QStringLiteral("Property %1 does not exist").arg(name));
    if (!p->write(o, Converted(*p, text)))
        Fail(QStringLiteral("Property %1 cannot be set to \"%2\"").arg(name, text));
}

// Delphi colour text: a name (clRed), $00BBGGRR, or a decimal BGR value.
QColor ParseColour(const QString& text) {
    static const struct {
        const char* Name;
        QRgb Value;
    } names[] = {{"clBlack", 0x000000}, {"clMaroon", 0x800000},     {"clGreen", 0x008000},
                 {"clOlive", 0x808000}, {"clNavy", 0x000080},       {"clPurple", 0x800080},
                 {"clTeal", 0x008080},  {"clGray", 0x808080},       {"clSilver", 0xC0C0C0},
                 {"clRed", 0xFF0000},   {"clLime", 0x00FF00},       {"clYellow", 0xFFFF00},
                 {"clBlue", 0x0000FF},  {"clFuchsia", 0xFF00FF},    {"clAqua", 0x00FFFF},
                 {"clWhite", 0xFFFFFF}, {"clWindowText", 0x000000}, {"clBtnFace", 0xF0F0F0}};
    for (const auto& n : names)
        if (Is(text, n.Name))
            return QColor::fromRgb(n.Value);
    bool ok = false;
    const uint bgr = text.startsWith(u'$') ? text.mid(1).toUInt(&ok, 16) : text.toUInt(&ok);
    if (!ok)
        Fail(QStringLiteral("\"%1\" is not a valid colour").arg(text));
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void SetFontProperty(QObject* o, const QString& name, const QString& text) {
    const auto p = QtProperty(o, QStringLiteral("font"));
    if (!p)
        Fail(QStringLiteral("Property Font does not exist"));
    if (Is(name, "Color")) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w)
            Fail(QStringLiteral("Property Font.Color cannot be set here"));
        QPalette palette = w->palette();
        const QColor c = ParseColour(text);
        palette.setColor(QPalette::WindowText, c);
        palette.setColor(QPalette::Text, c);
        palette.setColor(QPalette::ButtonText, c);
        w->setPalette(palette);
        return;
    }
    QFont font = p->read(o).value<QFont>();
    if (Is(name, "Name"))
        font.setFamily(text);
    else if (Is(name, "Size"))
        font.setPointSize(StrictInt(text));
    else if (Is(name, "Style")) {
        font.setBold(text.contains(QLatin1String("fsBold"), Qt::CaseInsensitive));
        font.setItalic(text.contains(QLatin1String("fsItalic"), Qt::CaseInsensitive));
        font.setUnderline(text.contains(QLatin1String("fsUnderline"), Qt::CaseInsensitive));
        font.setStrikeOut(text.contains(QLatin1String("fsStrikeOut"), Qt::CaseInsensitive));
    } else
        Fail(QStringLiteral("Property Font.%1 does not exist").arg(name));
    p->write(o, font);
}

// A Delphi shortcut code: shift 0x2000, ctrl 0x4000, alt 0x8000, and a virtual key in the low byte
// (letters and digits as their capitals, F1 to F12 from 0x70).
QKeySequence ShortcutFromCode(int code) {
    const int key = code & 0xFF;
    int qtKey = 0;
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        qtKey = key;
    else if (key >= 0x70 && key <= 0x7B)
        qtKey = Qt::Key_F1 + (key - 0x70);
    else if (code == 0)
        return {};
    else
        Fail(QStringLiteral("Shortcut code %1 is not supported").arg(code));
    int mods = 0;
    if (code & 0x2000)
        mods |= Qt::SHIFT;
    if (code & 0x4000)
        mods |= Qt::CTRL;
    if (code & 0x8000)
        mods |= Qt::ALT;
    return QKeySequence(qtKey | mods);
}

void SetShortcut(QObject* o, const QString& text, bool special) {
    QKeySequence keys;
    if (special) {
        keys = QKeySequence::fromString(text, QKeySequence::PortableText);
        bool unknown = keys.isEmpty() && !text.trimmed().isEmpty();
        for (int i = 0; i < keys.count(); ++i)
            unknown = unknown || keys[i].key() == Qt::Key_unknown;
        if (unknown)
            Fail(QStringLiteral("\"%1\" is not a valid shortcut").arg(text));
    } else {
        keys = ShortcutFromCode(StrictInt(text));
    }
    const auto p = QtProperty(o, QStringLiteral("shortcut"));
    if (!p)
        Fail(QStringLiteral("Property ShortCut does not exist"));
    p->write(o, QVariant::fromValue(keys));
}

void SetSize(QObject* o, bool width, const QString& text) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w)
        Fail(QStringLiteral("Property %1 does not exist").arg(width ? "Width" : "Height"));
    const int v = StrictInt(text);
    const bool fixed =
        width ? w->minimumWidth() == w->maximumWidth() : w->minimumHeight() == w->maximumHeight();
    if (fixed)
        width ? w->setFixedWidth(v) : w->setFixedHeight(v);
    else
        width ? w->resize(v, w->height()) : w->resize(w->width(), v);
}

// The property a language file calls Caption: the window title of a window, else the text.
void SetCaption(QObject* o, bool isForm, const QString& text) {
    if (QtProperty(o, QStringLiteral("Caption")))
        return SetQtProperty(o, QStringLiteral("Caption"), text);
    auto* w = qobject_cast<QWidget*>(o);
    if (isForm || (w && w->isWindow() && !qobject_cast<QMenu*>(w)))
        return SetQtProperty(o, QStringLiteral("windowTitle"), text);
    for (const char* name : {"text", "title", "windowTitle"})
        if (QtProperty(o, QLatin1String(name)))
            return SetQtProperty(o, QLatin1String(name), text);
    Fail(QStringLiteral("Property Caption does not exist"));
}

// "short|long": the short part is the tool tip, the long one the status tip.
void SetHint(QObject* o, const QString& text) {
    const qsizetype bar = text.indexOf(u'|');
    const QString tip = bar < 0 ? text : text.left(bar);
    const QString status = bar < 0 ? text : text.mid(bar + 1);
    if (!QtProperty(o, QStringLiteral("toolTip")))
        Fail(QStringLiteral("Property Hint does not exist"));
    o->setProperty("toolTip", tip);
    if (QtProperty(o, QStringLiteral("statusTip")))
        o->setProperty("statusTip", status);
}

void SetObjectProperty(QObject* o, bool isForm, const QString& name, const QString& text,
                       bool special) {
    if (Is(name, "Caption"))
        return SetCaption(o, isForm, text);
    if (Is(name, "Hint"))
        return SetHint(o, text);
    if (Is(name, "ShortCut"))
        return SetShortcut(o, text, special);
    if (Is(name, "Width") || Is(name, "Height"))
        return SetSize(o, Is(name, "Width"), text);
    SetQtProperty(o, name, text);
}

// The items of a collection property: the panels of a status bar.
QList<QObject*> CollectionItems(QObject* o, const QString& name) {
    auto* bar = qobject_cast<QStatusBar*>(o);
    if (!bar || !Is(name, "Panels"))
        Fail(QStringLiteral("Property %1 is not a collection").arg(name));
    QList<QObject*> items;
    for (QObject* child : bar->children())
        if (qobject_cast<QLabel*>(child))
            items << child;
    return items;
}

// "Name[n]": the collection name and the item number; none when the brackets hold no number.
std::optional<std::pair<QString, int>> SplitIndexed(const QString& segment) {
    const qsizetype open = segment.indexOf(u'[');
    if (open < 0 || !segment.endsWith(u']'))
        return std::nullopt;
    bool ok = false;
    const int n = segment.mid(open + 1, segment.size() - open - 2).toInt(&ok);
    if (!ok || n < 0)
        return std::pair<QString, int>{segment.left(open), -1};
    return std::pair<QString, int>{segment.left(open), n};
}

THolder HolderOf(QObject* o, const QString& name) {
    if (Is(name, "Font"))
        return {THolder::Font, o};
    if (Is(name, "Lines") && (qobject_cast<QPlainTextEdit*>(o) || qobject_cast<QTextEdit*>(o)))
        return {THolder::Lines, o};
    if (Is(name, "Items") && (qobject_cast<QComboBox*>(o) || qobject_cast<QListWidget*>(o)))
        return {THolder::Items, o};
    const auto p = QtProperty(o, name);
    if (!p)
        Fail(QStringLiteral("Property %1 does not exist").arg(name));
    QObject* held = p->read(o).value<QObject*>();
    if (!held)
        Fail(QStringLiteral("Property %1 holds no object").arg(name));
    return {THolder::Object, held};
}

void SetLines(QObject* o, const QStringList& lines) {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(o))
        plain->setPlainText(lines.join(u'\n'));
    else if (auto* rich = qobject_cast<QTextEdit*>(o))
        rich->setPlainText(lines.join(u'\n'));
    else if (auto* combo = qobject_cast<QComboBox*>(o)) {
        combo->clear();
        combo->addItems(lines);
    } else if (auto* list = qobject_cast<QListWidget*>(o)) {
        list->clear();
        list->addItems(lines);
    }
}

void SetOnHolder(const THolder& h, const QString& property, const QString& text, bool special) {
    switch (h.kind) {
    case THolder::Font:
        return SetFontProperty(h.object, property, text);
    case THolder::Lines:
    case THolder::Items:
        // A string list takes its whole text or its comma text; anything else changes nothing.
        if (Is(property, "Text")) {
            QString t = text;
            t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            SetLines(h.object, t.split(u'\n'));
        } else if (Is(property, "CommaText")) {
            SetLines(h.object, ParseCommaText(text));
        }
        return;
    case THolder::Object:
        return SetObjectProperty(h.object, false, property, text, special);
    }
}

void SetPanelProperty(QObject* item, const QString& property, const QString& text) {
    auto* label = qobject_cast<QLabel*>(item);
    if (Is(property, "Text"))
        return label->setText(text);
    if (Is(property, "Width"))
        return label->setFixedWidth(StrictInt(text));
    SetQtProperty(item, property, text);
}

} // namespace

QObject* FindComponent(QObject* form, const QString& name) {
    if (Is(name, "self"))
        return form;
    return FindIn(form, name);
}

bool ApplyPropertyLine(QObject* form, const QString& path, const QString& property,
                       const QString& text, bool allowSpecialProps, QObject* target) {
    const QStringList segments = path.split(u'.');
    QObject* object = FindComponent(form, segments.first());
    if (!object)
        return false;
    const bool isForm = object == form;
    if (segments.size() == 1) {
        if (target && object != target)
            return false;
        SetObjectProperty(object, isForm, property, text, allowSpecialProps);
        return true;
    }
    // Walk the segments between the component and the last one.
    for (qsizetype i = 1; i + 1 < segments.size(); ++i) {
        const QString& segment = segments[i];
        if (const auto indexed = SplitIndexed(segment)) {
            if (indexed->second < 0)
                continue;
            const QList<QObject*> items = CollectionItems(object, indexed->first);
            if (indexed->second >= items.size())
                return false;
            object = items[indexed->second];
            continue;
        }
        const THolder h = HolderOf(object, segment);
        if (h.kind != THolder::Object)
            Fail(QStringLiteral("Property %1 holds no object").arg(segment));
        object = h.object;
    }
    if (target && object != target)
        return false;
    const QString& last = segments.last();
    if (const auto indexed = SplitIndexed(last)) {
        const QList<QObject*> items = CollectionItems(object, indexed->first);
        if (indexed->second < 0 || indexed->second >= items.size())
            Fail(QStringLiteral("List index out of bounds (%1)").arg(indexed->second));
        SetPanelProperty(items[indexed->second], property, text);
        return true;
    }
    SetOnHolder(HolderOf(object, last), property, text, allowSpecialProps);
    return true;
}

QStringList ParseCommaText(const QString& text) {
    QStringList items;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipSeparators = [&] {
        while (i < n && (text[i] == u' ' || text[i] == u','))
            ++i;
    };
    skipSeparators();
    while (i < n) {
        QString item;
        if (text[i] == u'"') {
            ++i;
            while (i < n) {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        item += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < n && text[i] != u',' && text[i] != u' ')
                item += text[i++];
        }
        items << item;
        skipSeparators();
    }
    return items;
}
