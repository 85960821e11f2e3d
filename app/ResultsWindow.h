// The results window: the bars, supports and joints tables of the active truss window.
#pragma once

#include "ResultTables.h"

#include <QMetaObject>
#include <QPointer>
#include <QTabWidget>
#include <QTableWidget>
#include <QWidget>

#include <array>
#include <vector>

#include "FTrussForm.h"

class TFormResults : public QWidget {
    Q_OBJECT

public:
    explicit TFormResults(QWidget* owner);
    ~TFormResults() override;

    // Shows the results of form and follows its refreshes and its selection; none empties the
    // tables.
    void Follow(TTrussForm* form);
    TTrussForm* Followed() const { return form; }
    // Reads the followed window's truss and last analysis into the tables again, keeping the
    // sort and selecting the rows of the drawing's selection.
    void Refill();
    // The selected rows of a table, as tab-separated text with the column headers when every
    // row is selected; what Ctrl+C puts on the clipboard.
    QString SelectedText(int table) const;
    // Writes the window's placement to the options INI file.
    void SavePlacement();

    QTabWidget* Tabs;
    // Bars, supports, joints.
    std::array<QTableWidget*, 3> Tables{};

signals:
    // The user closed the window.
    void Closed();

protected:
    bool event(QEvent* event) override;
    // Ctrl+C on a table copies its selected rows (the view's own copy takes one cell).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A hidden window is not filled at every refresh (a drag refreshes at every mouse move): it
    // catches up when it is shown.
    void showEvent(QShowEvent* event) override;

private:
    void FillTable(int index);
    // The drawing's selection to the rows, and the rows to the drawing's selection.
    void SelectRowsOfDrawing();
    void SelectDrawingOfRows(int table);
    void CopySelection(int table) const;
    // The items' positions in the truss's lists of the selected rows of a table, ascending.
    std::vector<int> SelectedItems(int table) const;

    QPointer<TTrussForm> form;
    std::vector<QMetaObject::Connection> followed;
    std::vector<TResultTable> tables;
    // While the window sets a selection itself, the echo of it is not taken back.
    bool syncing = false;
    bool placementSaved = false;
    bool stale = false;
};
