// The results window: three sortable tables that follow the active truss window.
#include "ResultsWindow.h"

#include "FTrussForm.h"
#include "FormPlacement.h"
#include "TableText.h"
#include "TrussSelection.h"
#include "plsLangConsts.h"
#include "plsTranslateForm.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int DesignWidth = 560;
constexpr int DesignHeight = 320;
const QString Section = QStringLiteral("TFormResults");

enum { TabBars, TabSupports, TabJoints };

// The position of the row's item in the truss's list, whatever the sort.
constexpr int ItemRole = Qt::UserRole + 1;

// A cell that sorts by its number: numbers in numeric order, then words, then empty cells.
class TResultItem : public QTableWidgetItem {
public:
    explicit TResultItem(const TResultCell& cell)
        : QTableWidgetItem(CellDisplayText(cell)), cell(cell) {
        if (cell.Kind == TResultCell::TKind::Number)
            setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }

    bool operator<(const QTableWidgetItem& other) const override {
        const auto* o = dynamic_cast<const TResultItem*>(&other);
        if (!o)
            return QTableWidgetItem::operator<(other);
        const int r = rank(), ro = o->rank();
        if (r != ro)
            return r < ro;
        if (r == 0)
            return cell.Number < o->cell.Number;
        return text().localeAwareCompare(o->text()) < 0;
    }

private:
    int rank() const {
        switch (cell.Kind) {
        case TResultCell::TKind::Number:
            return 0;
        case TResultCell::TKind::Text:
            return 1;
        default:
            return 2;
        }
    }

    TResultCell cell;
};

} // namespace

TFormResults::TFormResults(QWidget* owner) : QWidget(owner, Qt::Tool), Tabs(new QTabWidget(this)) {
    setObjectName(QStringLiteral("FormResults"));
    setWindowTitle(str_Vysledky);
    resize(DesignWidth, DesignHeight);
    Tabs->setObjectName(QStringLiteral("Tabs"));
    static const char* const names[] = {"BarsTable", "SupportsTable", "JointsTable"};
    for (int i = 0; i < 3; ++i) {
        auto* t = new QTableWidget(this);
        t->setObjectName(QString::fromLatin1(names[i]));
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->setSelectionMode(QAbstractItemView::ExtendedSelection);
        t->setEditTriggers(QAbstractItemView::NoEditTriggers);
        t->verticalHeader()->setVisible(false);
        t->horizontalHeader()->setStretchLastSection(true);
        t->setSortingEnabled(true);
        t->installEventFilter(this);
        connect(t, &QTableWidget::itemSelectionChanged, this, [this, i] {
            if (!syncing)
                SelectDrawingOfRows(i);
        });
        Tables[static_cast<size_t>(i)] = t;
        Tabs->addTab(t, QString());
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Tabs);
    RestorePlacement(*this, ReadIniSection(OptionsIniFile(), Section));
    Refill();
}

TFormResults::~TFormResults() {
    if (!placementSaved)
        SavePlacement();
}

void TFormResults::SavePlacement() {
    WriteIniSection(OptionsIniFile(), Section, PlacementValues(*this));
    placementSaved = true;
}

bool TFormResults::event(QEvent* e) {
    // The titles and the words in the tables follow a language change.
    if (e->type() == TLanguageChangedEvent::EventType()) {
        setWindowTitle(str_Vysledky);
        Refill();
        return true;
    }
    return QWidget::event(e);
}

bool TFormResults::eventFilter(QObject* watched, QEvent* e) {
    const bool copy = (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
                      static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy);
    const auto table = std::find(Tables.begin(), Tables.end(), watched);
    if (!copy || table == Tables.end())
        return QWidget::eventFilter(watched, e);
    // The truss window's Copy has the same keys: the table takes them while it has the focus.
    if (e->type() == QEvent::ShortcutOverride)
        e->accept();
    else
        CopySelection(static_cast<int>(table - Tables.begin()));
    return true;
}

void TFormResults::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (e->isAccepted())
        emit Closed();
}

void TFormResults::Follow(TTrussForm* next) {
    if (next == form && (next || followed.empty()))
        return;
    for (const auto& c : followed)
        disconnect(c);
    followed.clear();
    form = next;
    if (form) {
        followed.push_back(connect(form, &TTrussForm::Refreshed, this, &TFormResults::Refill));
        followed.push_back(connect(form->Selection, &TTrussSelection::Changed, this,
                                   &TFormResults::SelectRowsOfDrawing));
    }
    Refill();
}

void TFormResults::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (stale)
        Refill();
}

void TFormResults::Refill() {
    if (form && !isVisible()) {
        stale = true;
        return;
    }
    stale = false;
    tables.clear();
    if (form)
        tables = ResultTables(ResultsOf(form->Soustava(), form->LastAnalysis()));
    else
        tables = ResultTables(TTrussResults{});
    syncing = true;
    for (int i = 0; i < 3; ++i)
        FillTable(i);
    syncing = false;
    SelectRowsOfDrawing();
}

void TFormResults::FillTable(int index) {
    QTableWidget* t = Tables[static_cast<size_t>(index)];
    const TResultTable& table = tables[static_cast<size_t>(index)];
    Tabs->setTabText(index, table.Title);
    // Filling a sorted table would move rows under the loop: sort once at the end instead.
    t->setSortingEnabled(false);
    t->clearContents();
    t->setColumnCount(static_cast<int>(table.Headers.size()));
    t->setHorizontalHeaderLabels(table.Headers);
    t->setRowCount(static_cast<int>(table.Rows.size()));
    for (size_t r = 0; r < table.Rows.size(); ++r) {
        const auto& row = table.Rows[r];
        for (size_t c = 0; c < row.size(); ++c) {
            auto* item = new TResultItem(row[c]);
            item->setData(ItemRole, static_cast<int>(r));
            t->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
    }
    t->setSortingEnabled(true);
    t->resizeColumnsToContents();
}

std::vector<int> TFormResults::SelectedItems(int table) const {
    const QTableWidget* t = Tables[static_cast<size_t>(table)];
    std::vector<int> items;
    for (const QModelIndex& index : t->selectionModel()->selectedRows())
        items.push_back(index.data(ItemRole).toInt());
    std::sort(items.begin(), items.end());
    return items;
}

void TFormResults::SelectDrawingOfRows(int table) {
    if (!form || table == TabJoints)
        return;
    std::vector<TItemRef> refs;
    const TItemKind kind = table == TabBars ? TItemKind::Bar : TItemKind::Support;
    for (const int i : SelectedItems(table))
        refs.push_back({kind, i});
    syncing = true;
    form->Selection->Set(form->Soustava(), refs);
    syncing = false;
}

void TFormResults::SelectRowsOfDrawing() {
    if (syncing || !form)
        return;
    const TItemIndices chosen = form->Selection->Resolve(form->Soustava());
    syncing = true;
    auto select = [this](int table, const std::vector<int>& items) {
        QTableWidget* t = Tables[static_cast<size_t>(table)];
        QItemSelection rows;
        for (int r = 0; r < t->rowCount(); ++r) {
            const QTableWidgetItem* item = t->item(r, 0);
            if (item &&
                std::binary_search(items.begin(), items.end(), item->data(ItemRole).toInt()))
                rows.select(t->model()->index(r, 0),
                            t->model()->index(r, std::max(0, t->columnCount() - 1)));
        }
        t->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
    };
    select(TabBars, chosen.Bars);
    select(TabSupports, chosen.Supports);
    syncing = false;
}

QString TFormResults::SelectedText(int table) const {
    const QTableWidget* t = Tables[static_cast<size_t>(table)];
    // Rows and columns as the window shows them now: sorted, columns perhaps moved.
    std::vector<int> visualRows;
    for (const QModelIndex& index : t->selectionModel()->selectedRows())
        visualRows.push_back(index.row());
    std::sort(visualRows.begin(), visualRows.end());
    std::vector<int> rows;
    for (const int r : visualRows)
        rows.push_back(t->item(r, 0)->data(ItemRole).toInt());
    std::vector<int> columns;
    for (int v = 0; v < t->columnCount(); ++v)
        columns.push_back(t->horizontalHeader()->logicalIndex(v));
    if (rows.empty())
        return {};
    const bool all = static_cast<int>(rows.size()) == t->rowCount();
    return TableTsv(tables[static_cast<size_t>(table)], rows, columns, all);
}

void TFormResults::CopySelection(int table) const {
    const QString text = SelectedText(table);
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}
