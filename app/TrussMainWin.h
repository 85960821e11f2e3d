// The frame window: menus, tool palette, display options, status bar and the truss windows.
#pragma once

#include "DrawingTool.h"
#include "LastFilesUsed.h"
#include "SettingsStore.h"
#include "TrussFormHost.h"
#include "plsDialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>

#include <array>
#include <functional>
#include <memory>

class TFormMatrix;
class TFormResults;
struct TReportContent;
struct TTrussRenderOptions;
class TFormUpdateProgress;
class TmxWebUpdate;
class TPrutovaSoustava;
class TTrussForm;

// The style the pen bar edits.
struct TDrawingStyle {
    std::uint8_t PenStyle = 0;   // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear
    std::int16_t PenWidth = 0;   // the up-down's position once the size field changed
    std::uint8_t BrushStyle = 0; // 0 solid, 1 clear, 2 horizontal ... 7 diagonal cross
    QColor PenColor = Qt::black;
    QColor BrushColor = Qt::black;
};

class TMainForm : public QMainWindow, public TTrussFormHost {
    Q_OBJECT

public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Opens a truss file, or brings up the window that already shows it; a relative name is
    // taken against the current folder and kept absolute. False when no window shows the file
    // afterwards.
    bool OpenTrussFile(const QString& givenName);
    bool ActivateOpenTrussWindow(const QString& fileName);
    // Refreshes every truss window, front to back.
    void TrussFormsUpdate();
    // Sets DrawingTool from the button or action that sent it; other senders change nothing.
    void SetDrawingTool(QObject* sender);
    TTrussForm* aNewTrussWindowExecute();
    void Open1Click();
    void Save1Click();
    void Saveas1Click();
    void File1Click();
    void Exit1Click();
    // Files from the desktop: those a later start handed over open here, and the window comes
    // to the front, also with no files.
    void OpenHandedOverFiles(const QStringList& fileNames);

    // The update check: at start-up silently, from the menu with a word when nothing is new.
    void StartUpdateCheck();
    void Checkforupdates1Click();
    void ShowNoNewUpdate();
    // "http://host/TrabexUpdateInfo.htm" and the port of the update server: the build's setting
    // or the settings store's section "Update"; an empty host means no check at all.
    QString UpdateServerHost() const;
    unsigned UpdateServerPort() const;
    // The publisher's public key that a downloaded setup file must be signed with: the build's
    // setting or the settings store's "Update"/"PublicKey"; empty trusts no file.
    QString UpdatePublicKey() const;
    // Where the setup file goes: UpdateFolder when a file can be made there, else
    // UpdateDownloadFolder (created if missing); UpdateFolder when neither takes a file.
    QString UpdateTargetFolder() const;
    // Stops a running update check for good: its transfer ends, and no question or message
    // follows. The window calls it when it closes.
    void StopUpdateCheck();
    TFormUpdateProgress* ProgressWindow();

    // The language menu, sorted by language name, the current language checked.
    void BuildLanguageMenu();
    void miChangeLanguageClick(QAction* item);
    // After a language change: texts, dialog captions, this window, the caption, the others.
    void ApplyLanguage();
    // Writes the active window's client area to "<caption>.bmp" in ScreenshotFolder, or in the
    // user's pictures folder where ScreenshotFolder cannot be written.
    void Screenshot1Click();

    // The pen bar.
    void SetPenStyle(QObject* sender);
    void SetBrushStyle(QObject* sender);
    void PenColorClick();
    void BrushColorClick();
    void PenSizeChange();
    void PenButtonClick();

    // The truss windows in the screen's order, front first.
    QList<TTrussForm*> TrussForms() const;
    TTrussForm* ActiveTrussForm() const;

    // What the truss windows read and report.
    TDrawingTool CurrentTool() const override { return DrawingTool; }
    double GridStep() const override;
    double ForceValue() const override;
    TTrussDisplayOptions DisplayOptions() const override;
    void SetStatusText(TStatusPanel panel, const QString& text) override;
    TFormMatrix* MatrixWindow() const override { return FormMatrix; }
    void FileClosed(const QString& fileName) override;

    TDrawingTool DrawingTool = dtPrut;
    QMdiArea* MdiArea;
    TFormMatrix* FormMatrix = nullptr;
    TFormResults* FormResults = nullptr;
    std::unique_ptr<TSettingsStore> SettingsStore;
    std::unique_ptr<TLastFilesUsed> LastFiles;
    // Where screenshots go: the program's folder.
    QString ScreenshotFolder;
    TmxWebUpdate* mxWebUpdate = nullptr;
    // Where an update's setup file goes: the program's folder, or the user's download folder when
    // the program's cannot take it.
    QString UpdateFolder;
    QString UpdateDownloadFolder;
    TFormUpdateProgress* FormUpdateProgress = nullptr;
    TDrawingStyle Style;

    QWidget* Panel1;
    QButtonGroup* ToolButtons;
    QToolButton *btDtSelect, *btDtMove, *btDTPrut, *btDtPevnaPod, *btDtVolPodY, *btDtVolPodX,
        *btDtForceUp, *btDtForceLeft;
    QSpinBox* RxSpinEditSila;
    QSpinBox* RxSpinEditGrid;
    QCheckBox *chbOznaceniPrutu, *ChbZobrazSily, *CheckBox1;
    QToolButton* PenButton;
    // The five panels the truss windows write, then the active window's zoom.
    std::array<QLabel*, 7> StatusPanels{};

    QWidget* PenBar;
    QButtonGroup* PenStyles;
    QButtonGroup* PenBarGroup;
    QToolButton *SolidPen, *DashPen, *DotPen, *DashDotPen, *DashDotDotPen, *ClearPen;
    QToolButton *btDtRoundRect, *btDtRectangle, *btDtLine, *btDtEllipse;
    QToolButton *SolidBrush, *ClearBrush, *HorizontalBrush, *VerticalBrush, *FDiagonalBrush,
        *BDiagonalBrush, *CrossBrush, *DiagCrossBrush;
    QToolButton *PenColor, *BrushColor;
    QSpinBox* PenWidth;

    QMenu *File1, *Insert1, *Edit1, *Nastavit1, *miLanguage, *Window1;
    QActionGroup* LanguageItems;
    QAction *aNewTrussWindow, *Open1, *Save1, *Saveas1, *Screenshot1, *Exit1;
    std::array<QAction*, TLastFilesUsed::Capacity> mFile{};
    QAction *aVolnaPodX, *aVolnaPodY, *Undo1, *Redo1;
    QAction *aShowPrutName, *aShowPrutForce, *aShowStycNo, *aZobrazMatici, *aShowSidePannel,
        *aShowGrid, *aGridAsLine;
    // How the windows solve a redundant truss, and whether they draw its deformed shape.
    QAction *aSolveByStiffness, *aShowDeformed;
    QAction *Internetbackup1, *Checkforupdates1;
    QAction *WindowCascade1, *WindowTileVertical1, *WindowTileHorizontal1, *WindowMinimizeAll1;
    // The view of the active truss window.
    QAction *aZoomIn, *aZoomOut, *aZoomReset, *aZoomFit;
    // Results out of the active truss window (MainFormExport.cpp).
    QMenu *Export1, *Analyza1;
    QAction *aExportCsv, *aExportSvg, *aExportPng, *aExportPdf, *aPrint, *aExportReportPdf;
    QAction *aJointSteps, *aZobrazVysledky;

    // The active window's result tables as CSV, its drawing as an SVG, PNG or PDF file (by the
    // suffix), its report printed or as a PDF file, its solution by joints in a window.
    void ExportResultsCsv();
    void ExportDrawing(const QString& suffix);
    void PrintReport();
    void ExportReportPdf();
    void ShowJointSteps();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Truss files dropped on the window open; other drops are refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void FormCreate();
    void CreateMenus();
    void CreatePalette();
    void CreateStatusBar();
    void CreatePenBar();
    void CreateUpdateCheck();
    // Zoom in, zoom out, 100 % and fit, at the end of the Window menu.
    void CreateViewActions();
    // File → Export, Print and the report; Analysis; the results window's option.
    void CreateResultActions();
    void CreateResultsWindow();
    // Enables them for an active truss window, which the results window follows.
    void UpdateResultActions(TTrussForm* active);
    // What an exported or printed drawing of a window shows.
    TTrussRenderOptions ExportOptions(const TTrussForm& form) const;
    TReportContent ReportContent(const TTrussForm& form) const;
    // A message box of the update check, unless the check was stopped.
    void UpdateMessage(TMsgDlgType kind, const QString& text);
    QAction* DisplayOption(const char* name, const QString& caption, bool checked,
                           const QString& hint = {});
    QCheckBox* BoundCheckBox(const char* name, QAction* action);
    // Enables what depends on the active window and merges its menus into the menu bar.
    void UpdateActions();
    void MergeMenus(TTrussForm* active);
    TTrussForm* AddTrussWindow(std::unique_ptr<TPrutovaSoustava> truss);
    std::unique_ptr<TPrutovaSoustava> NewTrussSystem();

    // The options INI file: read when the window is first shown, written when it closes.
    void RestoreOptions();
    void StoreOptions();

    bool optionsRestored = false;
    bool optionsStored = false;
    bool updateCheckStopped = false;
    TTrussForm* mergedForm = nullptr;
};
