// The truss window: one truss drawn on a grid, edited with the mouse, solved after every change.
#pragma once

#include "Analysis.h"
#include "LabeledEdit.h"
#include "TrussFormHost.h"
#include "TrussSystem.h"
#include "ViewTransform.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

class QLabel;
class TSelectTool;
class TTrussSelection;

// The drawing: shows its picture at its own size and hands its mouse and wheel events, in its
// own pixels, to the truss window.
class TTrussImage : public QWidget {
    Q_OBJECT

public:
    explicit TTrussImage(QWidget* parent);

    // Makes image the picture and takes its size; the previous picture is discarded.
    void SetPicture(QImage image);
    QImage& Picture() { return picture; }
    const QImage& Picture() const { return picture; }

    // Paints over the picture at every paint; the picture itself is left as it is.
    std::function<void(QPainter&)> PaintOverlays;

signals:
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);
    void Wheel(QPointF position, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    void FocusLost();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QImage picture;
};

class TTrussForm : public QWidget {
    Q_OBJECT

public:
    // Takes over the truss; it lives as long as the window.
    TTrussForm(TTrussFormHost& host, std::unique_ptr<TPrutovaSoustava> soustava,
               QWidget* parent = nullptr);
    ~TTrussForm() override;

    // Size of a new window's client area.
    static QSize DesignSize();

    TPrutovaSoustava& Soustava() { return *soustava; }
    const TPrutovaSoustava& Soustava() const { return *soustava; }

    // Solves the truss again and brings everything the window shows up to date.
    void RefreshTruss();
    // What the last refresh found: the method used, displacements, a mechanism.
    const TAnalysis& LastAnalysis() const { return lastAnalysis; }
    // A new empty picture of the drawing's size, with the grid when it is shown.
    void PrepareCanvas();

    // Mouse handlers of the drawing, in drawing units (the drawing's pixels at 100 %).
    void FormMouseDown(Qt::MouseButton button, int x, int y);
    void FormMouseMove(int x, int y);
    void FormMouseUp(Qt::MouseButton button, int x, int y);
    QPoint SnapPoint(int x, int y) const;

    // The 7 x 7 probe labels around the joint at (sx, sy); nothing when no joint lies there.
    void ShowProbe(int sx, int sy);

    // Save under the current name (Save As without one); false when nothing was saved.
    bool aFileSaveExecute();
    // Asks for a name and saves under it; false when cancelled or failed.
    bool aFileSaveAsExecute();
    bool aFileSaveAsAccept(const QString& fileName);
    void aUndoExecute();
    void aRedoExecute();

    // Selecting, the clipboard, and values typed in (TrussFormEditing.cpp).
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void aDeleteExecute();
    void aSelectAllExecute();
    void aSelectNoneExecute();
    void aInsertPrutExecute();
    void aInsertPodperaExecute();
    void aInsertSilaExecute();
    // Edits the joint under a point of the drawing widget, else the item under it, in its
    // dialog; false when nothing lies there or the dialog was cancelled.
    bool EditAt(QPointF screen);
    // Whether this window's menus are the frame's now: only then do its commands take their keys.
    void SetFrameActive(bool active);
    // Enables the commands by the selection, the clipboard and whether the window is the frame's.
    void UpdateEditActions();
    // A point of the drawing (drawing units) in the drawing widget's pixels.
    QPointF DrawingToScreen(QPointF p) const;

    // Asks whether to save a changed truss: true when the window may close (saved or declined).
    bool QuerySave();
    // Translates the window and refreshes it.
    void TranslateSelf();

    // The view: zoom and pan of the drawing. Everything the truss holds and every mouse position
    // handed to the tools is in drawing units; View maps them to the drawing's pixels and back.
    const TViewTransform& View() const { return view; }
    // Sets the view and draws the picture again; the truss is not solved again.
    void SetView(const TViewTransform& v);
    // Zoom by one step about the middle of the drawing, or about a pixel of it.
    void ZoomIn();
    void ZoomOut();
    void ZoomAt(QPointF anchor, double factor);
    // 100 % with no pan: the drawing as the window shows it unzoomed.
    void ZoomReset();
    // The whole truss (its bounding box) fills the drawing, less FitMargin pixels on each side.
    void ZoomToFit();
    // After a document is opened: fits it when some of it lies outside the drawing, zooming
    // out only.
    void FitIfOutside();
    void PanBy(QPointF delta);
    // The space bar is held or a pan is under way: the drawing's mouse belongs to the pan.
    bool PanActive() const { return spaceHeld || panning; }
    // The text of the zoom in the status bar, e.g. "Měřítko: 250 %".
    QString ZoomText() const;
    // Pixels left free around the truss by ZoomToFit.
    static constexpr double FitMargin = 30;

    // Painters of what is shown over the picture without being part of it (a selection, the
    // motion of a mechanism, a deformed shape). They are called in the order added, at every
    // paint of the drawing, with a painter in the drawing's pixels and the window's view, after
    // the picture; a redraw of the picture never loses them and they never change it. Call
    // UpdateOverlays when what they show changes.
    using TOverlayPainter = std::function<void(QPainter&, const TViewTransform&)>;
    int AddOverlay(TOverlayPainter painter);
    void RemoveOverlay(int id);
    void UpdateOverlays();

    bool Dragging = false;
    QPoint DownPoint;
    QPoint StartPoint;
    QPoint EndPoint;

    QScrollArea* ScrollBox;
    TTrussImage* Image;
    QWidget* Panel4;
    QWidget* Panel3;
    QSplitter* RxSplitter1;
    QPlainTextEdit* Memo1;
    TLabeledEdit* PocetPrutu;
    TLabeledEdit* PocetStycniku;
    QLabel* LabelMax;
    TLabeledEdit* PocetVazeb;
    TLabeledEdit* PocetPusobicichSil;
    TLabeledEdit* StupStNeu;
    TLabeledEdit* LabeledERR;
    TLabeledEdit* LEMass1;
    TLabeledEdit* LEMass2;
    TImageList ImageListDrawPodpery;
    QAction* aUndo;
    QAction* aRedo;
    QAction* aFileSaveAs;
    QAction* aFileSave;
    QAction *Cut1, *Copy1, *Paste1, *aDelete, *aSelectAll, *aSelectNone;
    QAction *aInsertPrut, *aInsertPodpera, *aInsertSila;
    // The items picked with the Select tool, and the tool itself.
    TTrussSelection* Selection;
    TSelectTool* SelectTool;
    // The menus merged into the frame's menu bar while this window is active.
    QMenu* Insert1;
    QMenu* Edit1;

signals:
    // At the end of every refresh, when LastAnalysis holds its results.
    void Refreshed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void CreatePanel();
    void CreateActions();
    void CreateEditActions();
    // Moves the joint at a point to the point typed in its dialog; one undo step.
    bool EditJoint(QPoint at);
    // The truss after an edit of whole items: the selection becomes items, then a refresh.
    void AfterItemsEdit(const TItemIndices& items);
    // The refresh after the solve: matrix window, panel, caption and picture.
    void ShowResults(std::uint8_t err, const TTrussDisplayOptions& options,
                     const QStringList& failures);
    void FillPanel(std::uint8_t err);
    // The memo with the reasons of the failures above the truss's description.
    void FillMemo(const QStringList& failures);
    static QString FailureText(const std::exception& e);
    // Warns once when a refresh starts failing to solve or to draw the truss.
    void ReportFailures(bool solves, bool draws, const QStringList& failures);
    void WarnOfFailure(const QStringList& failures);
    void DrawRubberBand(QPoint from, QPoint to, QPainter::CompositionMode mode);
    void ShowError(const QString& text);
    // The size of a new picture: the scroll box's less a margin.
    QSize CanvasSize() const;
    // A new picture of the truss through the view, with the labels of the options and the
    // colours of the solve that ended with err.
    void DrawPicture(const TTrussDisplayOptions& options, std::uint8_t err);
    // The picture drawn again after a change of the view, with the rubber band of a drag.
    void RedrawPicture();
    void ShowZoom();
    // The drawing's mouse and wheel events, in its pixels: a pan with the space bar held, or the
    // tools through the view.
    void ImageMouseDown(Qt::MouseButton button, int x, int y);
    void ImageMouseMove(int x, int y);
    void ImageMouseUp(Qt::MouseButton button, int x, int y);
    void ImageWheel(QPointF position, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    void SetSpaceHeld(bool held);

    TTrussFormHost& host;
    std::unique_ptr<TPrutovaSoustava> soustava;
    // Whether the last refresh solved and drew the truss.
    bool solvedBefore = true;
    bool drawnBefore = true;
    bool frameActive = false;
    // The error code of the last solve: a redraw colours the bars by it without solving again.
    std::uint8_t solveErr = 0;
    // Kept for the window's life: a drag then reuses the factorisation's analysis.
    TStiffnessSolver stiffness;
    TAnalysis lastAnalysis;
    TViewTransform view;
    // The space bar is held: a left drag pans instead of using the tool.
    bool spaceHeld = false;
    bool panning = false;
    QPoint panFrom;
    std::map<int, TOverlayPainter> overlays;
    int nextOverlay = 1;
};
