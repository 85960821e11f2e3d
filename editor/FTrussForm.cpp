// The truss window: its components, mouse tools and document commands.
#include "FTrussForm.h"

#include "FileDialogs.h"
#include "HintTiming.h"
#include "RutinyUnit.h"
#include "SelectTool.h"
#include "ToolActions.h"
#include "TrussPicture.h"
#include "TrussSelection.h"
#include "plsDialogs.h"
#include "plsLangConsts.h"
#include "plsTranslateForm.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int DesignWidth = 657;
constexpr int DesignHeight = 396;
constexpr int SidePanelWidth = 248;
// The designed fields and one more for the method.
constexpr int InfoPanelHeight = 217 + 24;
constexpr int SplitterWidth = 3;
constexpr int FieldLeft = 128;
constexpr int FieldWidth = 100;
constexpr int FieldPitch = 24;
constexpr int FieldTop = 8;

const QString TrussFilter = QStringLiteral("Data file (*.trs);;All files (*)");

// Screen pixels one notch of the wheel pans by: three steps of the default grid.
constexpr double WheelPanPixels = 60;
// One notch of a wheel in the units of QWheelEvent::angleDelta.
constexpr double WheelNotch = 120;

QString ErrorHint() {
    return QStringLiteral("Errors : 0: No errors\n"
                          "            1: Dimen < 1\n"
                          "            2: no inverse exists");
}

} // namespace

TTrussImage::TTrussImage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Image"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

void TTrussImage::SetPicture(QImage image) {
    picture = std::move(image);
    setFixedSize(picture.size());
    update();
}

void TTrussImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, picture);
    if (PaintOverlays)
        PaintOverlays(p);
}

void TTrussImage::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseDown(event->button(), p.x(), p.y());
}

void TTrussImage::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseMove(p.x(), p.y());
}

void TTrussImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit MouseUp(event->button(), p.x(), p.y());
}

void TTrussImage::wheelEvent(QWheelEvent* event) {
    emit Wheel(event->position(), event->angleDelta(), event->modifiers());
    event->accept();
}

void TTrussImage::focusOutEvent(QFocusEvent* event) {
    emit FocusLost();
    QWidget::focusOutEvent(event);
}

TTrussForm::TTrussForm(TTrussFormHost& host, std::unique_ptr<TPrutovaSoustava> truss,
                       QWidget* parent)
    : QWidget(parent), ImageListDrawPodpery(MakeSupportImages()), host(host),
      soustava(std::move(truss)) {
    setObjectName(QStringLiteral("TrussForm"));

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox->setCursor(Qt::CrossCursor);
    ScrollBox->setWidgetResizable(false);
    Image = new TTrussImage(ScrollBox);
    ScrollBox->setWidget(Image);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CreatePanel();
    Selection = new TTrussSelection(this);
    CreateActions();
    SelectTool = new TSelectTool(host, *this);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox, 1);
    layout->addWidget(Panel4);

    connect(Image, &TTrussImage::MouseDown, this, &TTrussForm::ImageMouseDown);
    connect(Image, &TTrussImage::MouseMove, this, &TTrussForm::ImageMouseMove);
    connect(Image, &TTrussImage::MouseUp, this, &TTrussForm::ImageMouseUp);
    connect(Image, &TTrussImage::Wheel, this, &TTrussForm::ImageWheel);
    // A space bar released while another window has the keyboard never reaches this one.
    connect(Image, &TTrussImage::FocusLost, this, [this] { SetSpaceHeld(false); });
    Image->PaintOverlays = [this](QPainter& p) {
        for (const auto& [id, painter] : overlays)
            painter(p, view);
    };

    AddOverlay([this](QPainter& p, const TViewTransform&) { SelectTool->PaintOverlay(p); });

    LabelMax->setText(QStringLiteral("(max.%1)").arg(MaxStycniky));
    PrepareCanvas();
    TranslateSelf();
}

TTrussForm::~TTrussForm() {
    // The drawing outlives this window's own part: its tool and overlay must not reach back.
    Image->PaintOverlays = nullptr;
    delete SelectTool;
}

QSize TTrussForm::DesignSize() {
    return {DesignWidth, DesignHeight};
}

void TTrussForm::CreatePanel() {
    Panel4 = new QWidget(this);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFixedWidth(SidePanelWidth);
    Panel4->setVisible(false);
    RxSplitter1 = new QSplitter(Qt::Vertical, Panel4);
    RxSplitter1->setObjectName(QStringLiteral("RxSplitter1"));
    RxSplitter1->setHandleWidth(SplitterWidth);
    Panel3 = new QWidget(RxSplitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setMinimumHeight(InfoPanelHeight);
    Memo1 = new QPlainTextEdit(RxSplitter1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFrameShape(QFrame::NoFrame);
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    Memo1->setPalette(p);
    RxSplitter1->addWidget(Panel3);
    RxSplitter1->addWidget(Memo1);
    RxSplitter1->setSizes({InfoPanelHeight, DesignHeight - InfoPanelHeight});
    auto* layout = new QHBoxLayout(Panel4);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RxSplitter1);

    int row = 0;
    auto field = [&](const char* name, const char* caption, const QString& hint = {}) {
        auto* edit =
            new TLabeledEdit(QString::fromLatin1(name), QString::fromUtf8(caption), Panel3);
        edit->Place(FieldLeft, FieldTop + FieldPitch * row++, FieldWidth);
        edit->setToolTip(hint);
        edit->EditLabel->setToolTip(hint);
        return edit;
    };
    PocetPrutu = field("PocetPrutu", "Pocet prutu");
    PocetStycniku = field("PocetStycniku", "Počet styčníků");
    PocetStycniku->setFixedWidth(FieldWidth / 2);
    LabelMax = new QLabel(Panel3);
    LabelMax->setObjectName(QStringLiteral("LabelMax"));
    LabelMax->move(PocetStycniku->geometry().right() + 4, PocetStycniku->y() + 3);
    PocetVazeb =
        field("PocetVazeb", "Počet vněj. vazeb ", QStringLiteral("Počet sil X a Y vnějších vazeb"));
    PocetPusobicichSil = field("PocetPusobicichSil", "Počet vnějších sil  ",
                               QStringLiteral("Počet vnějších sil působících na soustavu"));
    StupStNeu = field("StupStNeu", "Stup.stat.neurč.",
                      QStringLiteral("Stupeň statické neurčitosti soustavy"));
    LabeledERR = field("LabeledERR", "Stav výpočtu:", ErrorHint());
    for (TLabeledEdit* bold : {StupStNeu, LabeledERR}) {
        QFont f = bold->font();
        f.setBold(true);
        bold->setFont(f);
        bold->EditLabel->setFont(f);
        bold->SetCaption(bold->Caption());
    }
    LEMass1 = field("LEMass1", "Mass1 (součet):");
    LEMass2 = field("LEMass2", "Mass2 (q souč.):");
    LEMetoda = field("LEMetoda", "Metoda");
}

void TTrussForm::CreateActions() {
    auto action = [this](const char* name, const QString& text, const QKeySequence& key = {}) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        addAction(a);
        return a;
    };
    aUndo = action("aUndo", QStringLiteral("Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    aRedo = action("aRedo", QStringLiteral("Redo"), QKeySequence(Qt::CTRL | Qt::Key_Y));
    aFileSaveAs = action("aFileSaveAs", QStringLiteral("Save &As..."));
    aFileSaveAs->setToolTip(QStringLiteral("Save As"));
    aFileSaveAs->setStatusTip(QStringLiteral("Saves the active file with a new name"));
    aFileSave = action("aFileSave", QStringLiteral("Save"));
    // Only the active window's Undo and Redo take the keys; the frame enables them.
    aUndo->setEnabled(false);
    aRedo->setEnabled(false);
    connect(aUndo, &QAction::triggered, this, &TTrussForm::aUndoExecute);
    connect(aRedo, &QAction::triggered, this, &TTrussForm::aRedoExecute);
    connect(aFileSaveAs, &QAction::triggered, this, &TTrussForm::aFileSaveAsExecute);
    connect(aFileSave, &QAction::triggered, this, &TTrussForm::aFileSaveExecute);

    Insert1 = new QMenu(QStringLiteral("Insert"), this);
    Insert1->setObjectName(QStringLiteral("Insert1"));
    Insert1->menuAction()->setVisible(false);
    Edit1 = new QMenu(QStringLiteral("&Edit"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->addAction(aUndo);
    Edit1->addAction(aRedo);
    CreateEditActions();
}

QPoint TTrussForm::SnapPoint(int x, int y) const {
    return SnapToGrid({x, y}, host.GridStep());
}

void TTrussForm::FormMouseDown(Qt::MouseButton button, int x, int y) {
    const QPoint s = SnapPoint(x, y);
    switch (button) {
    case Qt::LeftButton:
        Dragging = true;
        DownPoint = StartPoint = EndPoint = s;
        break;
    case Qt::RightButton:
        if (!Image->toolTip().isEmpty())
            QToolTip::showText(Image->mapToGlobal(view.ToScreenPoint(s)), Image->toolTip(), Image,
                               QRect(), HintHidePause);
        break;
    case Qt::MiddleButton:
        ShowProbe(s.x(), s.y());
        break;
    default:
        break;
    }
}

void TTrussForm::FormMouseMove(int x, int y) {
    if (Dragging) {
        const QPoint s = SnapPoint(x, y);
        host.SetStatusText(spDrag, QStringLiteral("[%1,%2] -> [%3,%4]")
                                       .arg(DownPoint.x())
                                       .arg(DownPoint.y())
                                       .arg(s.x())
                                       .arg(s.y()));
        if (host.CurrentTool() == dtMove) {
            if (StartPoint != s) {
                soustava->MoveStycnik(StartPoint, s);
                StartPoint = s;
                RefreshTruss();
            }
        } else {
            DrawRubberBand(StartPoint, EndPoint, QPainter::RasterOp_NotSourceXorDestination);
            EndPoint = s;
            DrawRubberBand(StartPoint, EndPoint, QPainter::RasterOp_NotSourceXorDestination);
        }
    }
    host.SetStatusText(spCursor, str_Souradnice + QStringLiteral(": [%1, %2]").arg(x).arg(y));
}

void TTrussForm::FormMouseUp(Qt::MouseButton button, int x, int y) {
    if (button != Qt::MiddleButton && Dragging) {
        const QPoint r = SnapPoint(x, y);
        DrawRubberBand(StartPoint, r, QPainter::CompositionMode_SourceOver);
        Dragging = false;
        ApplyToolAtRelease(*soustava, host.CurrentTool(), StartPoint, r, host.ForceValue());
        RefreshTruss();
    }
    host.SetStatusText(spDrag, QString());
}

void TTrussForm::DrawRubberBand(QPoint from, QPoint to, QPainter::CompositionMode mode) {
    if (!HasRubberBand(host.CurrentTool()) || Image->Picture().isNull())
        return;
    QPainter canvas(&Image->Picture());
    canvas.setCompositionMode(mode);
    const QPoint a = view.ToScreenPoint(from);
    const QPoint b = view.ToScreenPoint(to);
    DrawPrutLine(canvas, a.x(), a.y(), b.x(), b.y(), 0, 0, 0);
    canvas.end();
    Image->update();
}

void TTrussForm::ImageMouseDown(Qt::MouseButton button, int x, int y) {
    if (spaceHeld && button == Qt::LeftButton && !Dragging) {
        panning = true;
        panFrom = QPoint(x, y);
        Image->setCursor(Qt::ClosedHandCursor);
        return;
    }
    const QPoint m = view.ToModelPoint({x, y});
    FormMouseDown(button, m.x(), m.y());
}

void TTrussForm::ImageMouseMove(int x, int y) {
    if (panning) {
        PanBy(QPoint(x, y) - panFrom);
        panFrom = QPoint(x, y);
        return;
    }
    const QPoint m = view.ToModelPoint({x, y});
    FormMouseMove(m.x(), m.y());
}

void TTrussForm::ImageMouseUp(Qt::MouseButton button, int x, int y) {
    if (panning) {
        if (button == Qt::LeftButton) {
            panning = false;
            SetSpaceHeld(spaceHeld);
        }
        return;
    }
    const QPoint m = view.ToModelPoint({x, y});
    FormMouseUp(button, m.x(), m.y());
}

void TTrussForm::ImageWheel(QPointF position, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::ControlModifier) {
        ZoomAt(position, std::pow(TViewTransform::StepFactor, angleDelta.y() / WheelNotch));
        return;
    }
    QPointF delta(angleDelta.x(), angleDelta.y());
    // Shift turns the wheel sideways where the platform has not done so already.
    if ((modifiers & Qt::ShiftModifier) && delta.x() == 0)
        delta = QPointF(delta.y(), 0);
    PanBy(delta * (WheelPanPixels / WheelNotch));
}

void TTrussForm::SetSpaceHeld(bool held) {
    spaceHeld = held;
    if (panning)
        return;
    if (held)
        Image->setCursor(Qt::OpenHandCursor);
    else
        Image->unsetCursor();
}

void TTrussForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->modifiers()) {
        if (!event->isAutoRepeat())
            SetSpaceHeld(true);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TTrussForm::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            SetSpaceHeld(false);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TTrussForm::SetView(const TViewTransform& v) {
    view = v;
    RedrawPicture();
}

void TTrussForm::ZoomAt(QPointF anchor, double factor) {
    TViewTransform v = view;
    v.ZoomAt(anchor, factor);
    SetView(v);
}

void TTrussForm::ZoomIn() {
    ZoomAt(QRectF(QPointF(0, 0), QSizeF(CanvasSize())).center(), TViewTransform::StepFactor);
}

void TTrussForm::ZoomOut() {
    ZoomAt(QRectF(QPointF(0, 0), QSizeF(CanvasSize())).center(), 1 / TViewTransform::StepFactor);
}

void TTrussForm::ZoomReset() {
    SetView(TViewTransform());
}

void TTrussForm::ZoomToFit() {
    TViewTransform v;
    if (const auto bounds = soustava->Bounds())
        v.Fit(*bounds, QSizeF(CanvasSize()), FitMargin);
    SetView(v);
}

void TTrussForm::FitIfOutside() {
    const auto bounds = soustava->Bounds();
    if (!bounds)
        return;
    const QSize size = CanvasSize();
    auto inside = [&](QPointF model) {
        const QPointF p = view.ToScreen(model);
        return p.x() >= 0 && p.y() >= 0 && p.x() <= size.width() - 1 && p.y() <= size.height() - 1;
    };
    if (inside(bounds->topLeft()) && inside(bounds->bottomRight()))
        return;
    TViewTransform v;
    v.Fit(*bounds, QSizeF(size), FitMargin, 1);
    SetView(v);
}

void TTrussForm::PanBy(QPointF delta) {
    TViewTransform v = view;
    v.PanBy(delta);
    SetView(v);
}

QString TTrussForm::ZoomText() const {
    return FormatConst(str_Meritko, QString::number(std::lround(view.Scale() * 100)));
}

void TTrussForm::ShowZoom() {
    host.SetStatusText(spZoom, ZoomText());
}

int TTrussForm::AddOverlay(TOverlayPainter painter) {
    const int id = nextOverlay++;
    overlays.emplace(id, std::move(painter));
    Image->update();
    return id;
}

void TTrussForm::RemoveOverlay(int id) {
    if (overlays.erase(id))
        Image->update();
}

void TTrussForm::UpdateOverlays() {
    Image->update();
}

void TTrussForm::aUndoExecute() {
    soustava->Undo();
    RefreshTruss();
}

void TTrussForm::aRedoExecute() {
    soustava->Redo();
    RefreshTruss();
}

void TTrussForm::ShowError(const QString& text) {
    TranslatedMessageDlg(msg_Chyba, text, mtError, Btn(mbOK));
}

bool TTrussForm::aFileSaveExecute() {
    const QString& name = soustava->FileName;
    if (name.isEmpty())
        return aFileSaveAsExecute();
    if (!QFileInfo(name).isFile()) {
        // The file was deleted or moved since it was loaded or saved: offer another name.
        if (TranslatedMessageDlg(windowTitle(), FormatConst(que_SouborZmizel, name), mtWarning,
                                 Btn(mbYes) | Btn(mbNo)) != mrYes)
            return false;
        return aFileSaveAsExecute();
    }
    try {
        return soustava->Save();
    } catch (const std::exception& e) {
        ShowError(FormatConst(msg_NelzeUlozit, name) + QStringLiteral("\n\n") +
                  QString::fromUtf8(e.what()));
        return false;
    }
}

bool TTrussForm::aFileSaveAsExecute() {
    TFileDialogRequest request;
    request.Save = true;
    request.Caption = aFileSaveAs->toolTip();
    request.Filter = TrussFilter;
    request.DefaultSuffix = QStringLiteral("trs");
    request.InitialName = soustava->FileName;
    const QString name = AskFileName(this, request);
    return !name.isEmpty() && aFileSaveAsAccept(name);
}

bool TTrussForm::aFileSaveAsAccept(const QString& fileName) {
    host.FileClosed(soustava->FileName);
    bool saved = false;
    try {
        saved = soustava->SaveToFile(fileName);
    } catch (const std::exception& e) {
        ShowError(FormatConst(msg_NelzeUlozit, fileName) + QStringLiteral("\n\n") +
                  QString::fromUtf8(e.what()));
    }
    RefreshTruss();
    return saved;
}

bool TTrussForm::QuerySave() {
    if (!soustava->IsModified())
        return true;
    const QString name = soustava->FileName.isEmpty() ? str_BezNazvu : soustava->FileName;
    switch (TranslatedMessageDlg(windowTitle(), FormatConst(que_UlozitZmeny, name), mtConfirmation,
                                 Btn(mbYes) | Btn(mbNo) | Btn(mbCancel))) {
    case mrYes:
        return aFileSaveExecute();
    case mrNo:
        return true;
    default:
        return false;
    }
}

void TTrussForm::closeEvent(QCloseEvent* event) {
    if (!QuerySave()) {
        event->ignore();
        return;
    }
    host.FileClosed(soustava->FileName);
    event->accept();
}

void TTrussForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (soustava) {
        layout()->activate();
        RefreshTruss();
    }
}

void TTrussForm::TranslateSelf() {
    ::TranslateSelf(this);
    RefreshTruss();
}

bool TTrussForm::event(QEvent* event) {
    if (event->type() == TLanguageChangedEvent::EventType()) {
        TranslateSelf();
        return true;
    }
    return QWidget::event(event);
}
