// The Select tool of a truss window: picking by click and rectangle, and the selection's overlay.
#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

class QMouseEvent;
class QPainter;
class TTrussForm;
class TTrussFormHost;

// Watches the drawing's mouse while the palette's tool is dtSelect and takes the left button's
// events for itself: a click selects the item under the cursor (with Shift, adds it), a drag
// selects what its rectangle encloses, a double click edits the joint or item under the cursor.
// The cursor position still reaches the window's status bar, the middle and right buttons
// still work as with any tool. Its overlay highlights the selection over the drawing's picture.
class TSelectTool : public QObject {
    Q_OBJECT

public:
    TSelectTool(TTrussFormHost& host, TTrussForm& form);

    // Paints the highlights of the selected items and the rectangle being dragged, in the
    // drawing widget's pixels; the picture under them stays as it is.
    void PaintOverlay(QPainter& painter) const;

    // The rectangle being dragged, empty when none.
    QRect Rubber() const { return dragging ? rubber : QRect(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Press(const QMouseEvent& e);
    void Move(const QMouseEvent& e);
    bool Release(const QMouseEvent& e);
    void PaintSelection(QPainter& painter) const;
    // The arrow over the drawing while the tool is dtSelect, the scroll box's cross otherwise.
    void ShowCursor();

    TTrussFormHost& host;
    TTrussForm& form;
    bool pressed = false;
    bool dragging = false;
    bool adding = false;
    bool arrowShown = false;
    QPoint pressAt;
    QRect rubber;
};
