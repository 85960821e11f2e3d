// The Select tool's mouse handling and the highlight of the selection over the drawing.
#include "SelectTool.h"

#include "FTrussForm.h"
#include "TrussHitTest.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

// A translucent blue over the item, wide enough to be seen around a bar's 5-pixel line.
const QColor Highlight(30, 144, 255, 120);
constexpr double HighlightWidth = 11;
const QColor RubberLine(30, 100, 200);
const QColor RubberFill(30, 144, 255, 40);

QPointF At(int x, int y) {
    return {static_cast<double>(x), static_cast<double>(y)};
}

} // namespace

TSelectTool::TSelectTool(TTrussFormHost& host, TTrussForm& form)
    : QObject(&form), host(host), form(form) {
    form.Image->installEventFilter(this);
}

bool TSelectTool::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form.Image)
        return false;
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)
        ShowCursor();
    if (host.CurrentTool() != dtSelect || form.PanActive()) {
        if (pressed) {
            pressed = dragging = false;
            form.Image->update();
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return Press(*static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        Move(*static_cast<QMouseEvent*>(event));
        // The window still shows where the cursor is.
        return false;
    case QEvent::MouseButtonRelease:
        return Release(*static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonDblClick: {
        const auto& e = *static_cast<QMouseEvent*>(event);
        if (e.button() != Qt::LeftButton)
            return false;
        pressed = dragging = false;
        form.EditAt(e.position());
        return true;
    }
    default:
        return false;
    }
}

void TSelectTool::ShowCursor() {
    // The drawing's cross is for placing things on the grid; picking them takes the arrow.
    const bool selecting = host.CurrentTool() == dtSelect;
    if (selecting == arrowShown)
        return;
    arrowShown = selecting;
    if (selecting)
        form.Image->setCursor(Qt::ArrowCursor);
    else
        form.Image->unsetCursor();
}

bool TSelectTool::Press(const QMouseEvent& e) {
    if (e.button() != Qt::LeftButton)
        return false;
    pressed = true;
    dragging = false;
    adding = e.modifiers().testFlag(Qt::ShiftModifier);
    pressAt = e.position().toPoint();
    return true;
}

void TSelectTool::Move(const QMouseEvent& e) {
    if (!pressed)
        return;
    const QPoint at = e.position().toPoint();
    if (!dragging && (at - pressAt).manhattanLength() >= QApplication::startDragDistance())
        dragging = true;
    if (dragging) {
        rubber = QRect(pressAt, at).normalized();
        form.Image->update();
    }
}

bool TSelectTool::Release(const QMouseEvent& e) {
    if (e.button() != Qt::LeftButton)
        return false;
    // The release that follows a double click has no press of its own.
    if (!pressed)
        return true;
    pressed = false;
    const TPrutovaSoustava& truss = form.Soustava();
    const TToScreen toScreen = [this](QPointF p) { return form.DrawingToScreen(p); };
    std::vector<TItemRef> items;
    if (dragging) {
        dragging = false;
        items = ItemsInside(truss, QRect(pressAt, e.position().toPoint()).normalized(), toScreen);
        form.Image->update();
    } else if (const auto hit = PickItem(truss, e.position(), toScreen)) {
        items.push_back(*hit);
    }
    if (adding)
        form.Selection->Add(truss, items);
    else
        form.Selection->Set(truss, items);
    return true;
}

void TSelectTool::PaintOverlay(QPainter& painter) const {
    if (!form.Selection->IsEmpty())
        PaintSelection(painter);
    if (dragging) {
        painter.setPen(QPen(RubberLine, 1, Qt::DashLine));
        painter.setBrush(RubberFill);
        painter.drawRect(rubber);
    }
}

void TSelectTool::PaintSelection(QPainter& painter) const {
    const TPrutovaSoustava& truss = form.Soustava();
    const TItemIndices selected = form.Selection->Resolve(truss);
    auto screen = [this](QPointF p) { return form.DrawingToScreen(p); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Highlight, HighlightWidth, Qt::SolidLine, Qt::RoundCap);
    pen.setCosmetic(true);
    painter.setPen(pen);
    for (const int i : selected.Bars) {
        const TPrut& p = truss.Prut(i);
        painter.drawLine(screen(At(p.Sa_X, p.Sa_Y)), screen(At(p.Sb_X, p.Sb_Y)));
    }
    for (const int i : selected.Loads) {
        const TSila& f = truss.Sila(i);
        painter.drawLine(screen(At(f.X, f.Y)), screen(LoadTip(f)));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Highlight);
    const double half = SupportImageSize / 2.0;
    for (const int i : selected.Supports) {
        const TPodpera& s = truss.Podpera(i);
        painter.drawRect(QRectF(screen(At(s.X, s.Y) - QPointF(half, half)),
                                screen(At(s.X, s.Y) + QPointF(half, half))));
    }
    painter.restore();
}
