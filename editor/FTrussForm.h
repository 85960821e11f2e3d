// The truss window: one truss drawn on a grid, edited with the mouse, solved after every change.
#pragma once

#include "LabeledEdit.h"
#include "TrussFormHost.h"
#include "TrussSystem.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSplitter>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class TSelectTool;
class TTrussSelection;

// The drawing: shows its picture at its own size and hands its mouse events to the truss window.
class TTrussImage : public QWidget {
    Q_OBJECT

public:
    explicit TTrussImage(QWidget* parent);

    // Makes image the picture and takes its size; the previous picture is discarded.
    void SetPicture(QImage image);
    QImage& Picture() { return picture; }
    const QImage& Picture() const { return picture; }

    // Painted over the picture at every repaint, in the widget's pixels; the picture itself
    // stays as the refresh drew it.
    std::function<void(QPainter&)> Overlay;

signals:
    void MouseDown(Qt::MouseButton button, int x, int y);
    void MouseMove(int x, int y);
    void MouseUp(Qt::MouseButton button, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

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
    // A new empty picture of the drawing's size, with the grid when it is shown.
    void PrepareCanvas();

    // Mouse handlers of the drawing, in drawing pixels.
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

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

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

    TTrussFormHost& host;
    std::unique_ptr<TPrutovaSoustava> soustava;
    // Whether the last refresh solved and drew the truss.
    bool solvedBefore = true;
    bool drawnBefore = true;
    bool frameActive = false;
};
