// The truss window's commands on whole items: selection, clipboard, delete, insert and edit.
#include "FTrussForm.h"

#include "TrussClipboard.h"
#include "TrussEditing.h"
#include "TrussHitTest.h"
#include "TrussSelection.h"
#include "ValueDialogs.h"
#include "plsLangConsts.h"

#include <QClipboard>
#include <QGuiApplication>

#include <cmath>

namespace {

// One item of a list as an item set.
TItemIndices Only(TItemKind kind, int index) {
    TItemIndices one;
    switch (kind) {
    case TItemKind::Bar:
        one.Bars = {index};
        break;
    case TItemKind::Support:
        one.Supports = {index};
        break;
    case TItemKind::Load:
        one.Loads = {index};
        break;
    }
    return one;
}

// Adds the item a dialog gives after the others of its list, as one undo step; its place, or
// none when the dialog was cancelled or the list is as full as a file may hold.
template <typename Dialog, typename Item, typename... Extra>
std::optional<TItemIndices> InsertFromDialog(QWidget* parent, TPrutovaSoustava& truss,
                                             std::vector<Item> TTrussItems::*list,
                                             const Item& initial, Extra... extra) {
    Dialog dialog(parent, initial, extra...);
    if (ExecValueDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    TTrussItems added;
    (added.*list).push_back(dialog.Values());
    return truss.AppendItems(added);
}

// Edits the item at index of one list of the truss in its dialog; one undo step when the dialog
// was accepted with a changed value.
template <typename Dialog, typename Item, typename... Extra>
bool EditInDialog(QWidget* parent, TPrutovaSoustava& truss, std::vector<Item> TTrussItems::*list,
                  int index, Extra... extra) {
    TTrussItems items = truss.Items();
    Item& item = (items.*list).at(static_cast<size_t>(index));
    Dialog dialog(parent, item, extra...);
    if (ExecValueDialog(dialog) != QDialog::Accepted || !dialog.Changed())
        return false;
    item = dialog.Values();
    truss.ReplaceItems(items);
    return true;
}

} // namespace

void TTrussForm::CreateEditActions() {
    auto action = [this](const char* name, const QString& text, const QString& hint,
                         const QKeySequence& key, void (TTrussForm::*slot)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        const qsizetype bar = hint.indexOf(u'|');
        a->setToolTip(hint.left(bar));
        a->setStatusTip(hint.mid(bar + 1));
        // Enabled while the window is the frame's active one, like Undo and Redo.
        a->setEnabled(false);
        addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    Cut1 = action("Cut1", QStringLiteral("Vyj&mout"),
                  QStringLiteral("Vyjmout|Přesune vybrané pruty, podpěry a síly do schránky"),
                  QKeySequence(Qt::CTRL | Qt::Key_X), &TTrussForm::Cut1Click);
    Copy1 = action("Copy1", QStringLiteral("&Kopírovat"),
                   QStringLiteral("Kopírovat|Zkopíruje vybrané pruty, podpěry a síly do schránky"),
                   QKeySequence(Qt::CTRL | Qt::Key_C), &TTrussForm::Copy1Click);
    Paste1 = action("Paste1", QStringLiteral("V&ložit"),
                    QStringLiteral("Vložit|Přidá pruty, podpěry a síly ze schránky a vybere je"),
                    QKeySequence(Qt::CTRL | Qt::Key_V), &TTrussForm::Paste1Click);
    aDelete = action("aDelete", QStringLiteral("&Smazat"),
                     QStringLiteral("Smazat|Odstraní vybrané pruty, podpěry a síly"),
                     QKeySequence(Qt::Key_Delete), &TTrussForm::aDeleteExecute);
    aSelectAll = action("aSelectAll", QStringLiteral("Vybrat &vše"),
                        QStringLiteral("Vybrat vše|Vybere všechny pruty, podpěry a síly"),
                        QKeySequence(Qt::CTRL | Qt::Key_A), &TTrussForm::aSelectAllExecute);
    aSelectNone = action("aSelectNone", QStringLiteral("Zrušit vý&běr"),
                         QStringLiteral("Zrušit výběr|Žádný prvek nezůstane vybraný"),
                         QKeySequence(Qt::Key_Escape), &TTrussForm::aSelectNoneExecute);
    aInsertPrut =
        action("aInsertPrut", QStringLiteral("&Prut..."),
               QStringLiteral("Vložit prut|Přidá prut zadaný souřadnicemi konců"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), &TTrussForm::aInsertPrutExecute);
    aInsertPodpera =
        action("aInsertPodpera", QStringLiteral("P&odpěra..."),
               QStringLiteral("Vložit podpěru|Přidá podpěru zadanou polohou a směry reakcí"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U), &TTrussForm::aInsertPodperaExecute);
    aInsertSila =
        action("aInsertSila", QStringLiteral("&Síla..."),
               QStringLiteral("Vložit sílu|Přidá sílu zadanou polohou, velikostí a úhlem"),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), &TTrussForm::aInsertSilaExecute);
    aUnits = action("aUnits", str_JednotkyMenu,
                    QStringLiteral("Jednotky|Délka jednotky výkresu a názvy jednotek délky a síly"),
                    {}, &TTrussForm::aUnitsExecute);

    Edit1->addSeparator();
    Edit1->addActions({Cut1, Copy1, Paste1, aDelete});
    Edit1->addSeparator();
    Edit1->addActions({aSelectAll, aSelectNone});
    Edit1->addSeparator();
    Edit1->addAction(aUnits);
    Insert1->addActions({aInsertPrut, aInsertPodpera, aInsertSila});

    connect(Selection, &TTrussSelection::Changed, this, [this] {
        UpdateEditActions();
        Image->update();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TTrussForm::UpdateEditActions);
}

void TTrussForm::SetFrameActive(bool active) {
    frameActive = active;
    UpdateEditActions();
}

void TTrussForm::UpdateEditActions() {
    const bool selected = frameActive && !Selection->IsEmpty();
    for (QAction* a : {Cut1, Copy1, aDelete, aSelectNone})
        a->setEnabled(selected);
    Paste1->setEnabled(frameActive && ClipboardHasText());
    for (QAction* a : {aSelectAll, aInsertPrut, aInsertPodpera, aInsertSila, aUnits})
        a->setEnabled(frameActive);
}

QPointF TTrussForm::DrawingToScreen(QPointF p) const {
    return view.ToScreen(p);
}

void TTrussForm::AfterItemsEdit(const TItemIndices& items) {
    Selection->Set(*soustava, items);
    RefreshTruss();
}

void TTrussForm::Copy1Click() {
    const TItemIndices selected = Selection->Resolve(*soustava);
    if (!selected.Empty())
        PutTrussOnClipboard(soustava->ItemsText(selected));
}

void TTrussForm::Cut1Click() {
    Copy1Click();
    aDeleteExecute();
}

void TTrussForm::Paste1Click() {
    const auto items = ReadTrussText(ClipboardTrussText());
    if (!items) {
        host.SetStatusText(spDrag, str_SchrankaBezKonstrukce);
        return;
    }
    // A paste where the same items already lie (a second paste, or one into the window copied
    // from) goes beside them, whole grid steps away.
    const int step = static_cast<int>(std::lround(host.GridStep()));
    const auto placed = PlaceBeside(soustava->Items(), *items, step);
    const auto added = placed ? soustava->AppendItems(*placed) : std::nullopt;
    if (!added) {
        host.SetStatusText(spDrag, str_SchrankaSeNevejde);
        return;
    }
    AfterItemsEdit(*added);
}

void TTrussForm::aDeleteExecute() {
    const TItemIndices selected = Selection->Resolve(*soustava);
    if (selected.Empty())
        return;
    soustava->DeleteItems(selected);
    Selection->Clear();
    RefreshTruss();
}

void TTrussForm::aSelectAllExecute() {
    Selection->SelectAll(*soustava);
}

void TTrussForm::aSelectNoneExecute() {
    Selection->Clear();
}

void TTrussForm::aInsertPrutExecute() {
    TTrussItems::TBar bar{};
    bar.SbX = static_cast<int>(std::lround(host.GridStep()));
    bar.EA = DefaultEA;
    if (const auto at = InsertFromDialog<TBarDialog>(this, *soustava, &TTrussItems::Bars, bar))
        AfterItemsEdit(*at);
}

void TTrussForm::aInsertPodperaExecute() {
    TTrussItems::TSupport support{};
    support.Fixed = P_X | P_Y;
    if (const auto at = InsertFromDialog<TSupportDialog>(this, *soustava, &TTrussItems::Supports,
                                                         support, true))
        AfterItemsEdit(*at);
}

void TTrussForm::aInsertSilaExecute() {
    TTrussItems::TLoad load{};
    load.Sila = host.ForceValue();
    load.Uhel = 90;
    if (const auto at =
            InsertFromDialog<TForceDialog>(this, *soustava, &TTrussItems::Loads, load, true))
        AfterItemsEdit(*at);
}

bool TTrussForm::EditAt(QPointF screen) {
    const TToScreen toScreen = [this](QPointF p) { return DrawingToScreen(p); };
    if (const auto joint = PickJoint(*soustava, screen, toScreen))
        return EditJoint(*joint);
    const auto item = PickItem(*soustava, screen, toScreen);
    if (!item)
        return false;
    Selection->Set(*soustava, {*item});
    TPrutovaSoustava& t = *soustava;
    const int i = item->Index;
    bool edited = false;
    switch (item->Kind) {
    case TItemKind::Bar:
        edited = EditInDialog<TBarDialog>(this, t, &TTrussItems::Bars, i);
        break;
    case TItemKind::Support:
        edited = EditInDialog<TSupportDialog>(this, t, &TTrussItems::Supports, i, false);
        break;
    case TItemKind::Load:
        edited = EditInDialog<TForceDialog>(this, t, &TTrussItems::Loads, i, false);
        break;
    }
    if (edited)
        AfterItemsEdit(Only(item->Kind, i));
    return edited;
}

void TTrussForm::aUnitsExecute() {
    TUnitsDialog dialog(this, soustava->Units);
    if (ExecValueDialog(dialog) != QDialog::Accepted)
        return;
    const TTrussUnits units = dialog.Values();
    if (units == soustava->Units)
        return;
    // The items stay as they are, numbers included: only the units change, in one undo step.
    soustava->Units = units;
    soustava->PushSnapshot();
    RefreshTruss();
}

bool TTrussForm::EditJoint(QPoint at) {
    TJointDialog dialog(this, at);
    if (ExecValueDialog(dialog) != QDialog::Accepted || dialog.Value() == at)
        return false;
    // As the move tool does: everything at the joint goes, and it merges with a joint there.
    soustava->MoveStycnik(at, dialog.Value());
    soustava->PushSnapshot();
    RefreshTruss();
    return true;
}
