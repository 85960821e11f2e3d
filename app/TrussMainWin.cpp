// The frame window: creation, menus and palette, options, and the document commands.
#include "TrussMainWin.h"

#include "FTrussForm.h"
#include "FileDialogs.h"
#include "FormPlacement.h"
#include "HintTiming.h"
#include "QtTranslations.h"
#include "ResultsWindow.h"
#include "RutinyUnit.h"
#include "Screenshot.h"
#include "ToolIcons.h"
#include "TrussSystem.h"
#include "UnitMatice.h"
#include "UsageStatistics.h"
#include "plsDialogs.h"
#include "plsLangConsts.h"
#include "plsLangMan.h"
#include "plsTranslateForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int PaletteHeight = 41;
constexpr std::array<int, 6> StatusPanelWidths = {120, 150, 150, 150, 50, 110};
constexpr int DefaultGridStep = 20;
constexpr int DefaultForce = 20;

const QString OptionsSection = QStringLiteral("TMainForm");
const QString TrussFilter = QStringLiteral("Data files (*.trs);;All files (*)");

QString BoolText(bool b) {
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// Lays the child windows that are not minimised side by side (columns) or one under another.
void TileSubWindows(QMdiArea& area, bool sideBySide) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : area.subWindowList(QMdiArea::CreationOrder))
        if (w->isVisible() && !w->isMinimized())
            windows << w;
    if (windows.isEmpty())
        return;
    const QRect space = area.viewport()->rect();
    const int n = static_cast<int>(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow* w = windows[i];
        if (w->isMaximized())
            w->showNormal();
        if (sideBySide) {
            const int x0 = space.width() * i / n, x1 = space.width() * (i + 1) / n;
            w->setGeometry(x0, 0, x1 - x0, space.height());
        } else {
            const int y0 = space.height() * i / n, y1 = space.height() * (i + 1) / n;
            w->setGeometry(0, y0, space.width(), y1 - y0);
        }
    }
}

// The settings of this run cannot be kept: the user hears of it once, not at every write.
void WarnSettingsNotSaved(const QString& fileName) {
    TranslatedMessageDlg(QString(), FormatConst(msg_NastaveniNelzeUlozit, fileName), mtWarning,
                         Btn(mbOK));
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setAcceptDrops(true);
    // Before the first control gets its hint.
    qApp->installEventFilter(new THintTiming(this));
    MdiArea = new QMdiArea(this);
    MdiArea->setObjectName(QStringLiteral("MdiArea"));
    MdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    CreateMenus();
    CreatePalette();
    CreatePenBar();
    CreateStatusBar();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(PenBar);
    layout->addWidget(MdiArea, 1);
    setCentralWidget(central);

    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::UpdateActions);
    FormCreate();
    UpdateActions();
}

void TMainForm::BuildLanguageMenu() {
    for (QAction* old : miLanguage->actions())
        delete old;
    QStringList languages;
    LanguageManager.GetAvailableLanguages(languages);
    for (const QString& entry : languages) {
        const qsizetype eq = entry.indexOf(u'=');
        const QString code = entry.left(eq);
        const QString name = entry.mid(eq + 1);
        auto* item = new QAction(name, miLanguage);
        item->setToolTip(code);
        item->setCheckable(true);
        LanguageItems->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { miChangeLanguageClick(item); });
        // Sorted by name, ordinal comparison; equal names keep the list's order.
        QAction* before = nullptr;
        for (QAction* existing : miLanguage->actions())
            if (QString::compare(existing->text(), name, Qt::CaseSensitive) > 0) {
                before = existing;
                break;
            }
        miLanguage->insertAction(before, item);
        item->setChecked(code == LanguageManager.LanguageCode());
    }
}

void TMainForm::miChangeLanguageClick(QAction* item) {
    LanguageManager.SetLanguageCode(item->toolTip());
    if (!LanguageManager.LastError().isEmpty())
        TranslatedMessageDlg(windowTitle(), LanguageManager.LastError(), mtWarning, Btn(mbOK));
    // Stored even after an error, so the choice is tried again at the next start.
    SettingsStore->WriteString(QStringLiteral("Last"), QStringLiteral("Language"),
                               LanguageManager.LanguageCode());
}

void TMainForm::ApplyLanguage() {
    ApplyQtTranslation(LanguageManager.LanguageCode());
    for (QMdiSubWindow* window : MdiArea->subWindowList())
        RetranslateSystemMenu(*window);
    TranslateDialogTexts();
    TranslateConstants();
    LanguageManager.ClearTranslations(true, false, false);
    if (!TranslateForm(LanguageManager, this))
        TranslatedMessageDlg(QString(), TranslationFailureText(LanguageManager, *this, false),
                             mtWarning, Btn(mbOK));
    setWindowTitle(QApplication::applicationName() + QStringLiteral(" v.") + FileVersion() +
                   QStringLiteral(" (") + LanguageManager.LanguageCode() + u')');
    // Every window answers before the next one hears of the change.
    QList<QWidget*> forms{this};
    for (TTrussForm* form : TrussForms())
        forms << form;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (!forms.contains(w))
            forms << w;
    for (QWidget* form : forms) {
        TLanguageChangedEvent event;
        QCoreApplication::sendEvent(form, &event);
    }
}

TMainForm::~TMainForm() {
    // The widgets of the frame outlive this destructor: the QWidget base deletes them later, and
    // a field that loses its focus meanwhile still signals (editingFinished). From here on no
    // signal may reach a slot of the frame.
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    LanguageManager.OnLanguageChanged = nullptr;
    // No box while the window goes: the start-up's writes have already shown a failing store.
    SetSettingsWriteFailureHandler(nullptr);
    if (!optionsStored)
        StoreOptions();
    // Truss windows go with the frame without their close handling, so the recent-files list
    // keeps them as open for the next start.
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList();
    for (QMdiSubWindow* w : windows)
        delete w;
    if (FormMatrix)
        FormMatrix->SavePlacement();
    if (FormResults)
        FormResults->SavePlacement();
    LastFiles.reset();
    SettingsStore.reset();
}

void TMainForm::FormCreate() {
    setWindowTitle(QStringLiteral("Trabex v.") + FileVersion());
    BuildLanguageMenu();
    LanguageManager.OnLanguageChanged = [this](TLanguageManager&) { ApplyLanguage(); };
    // Without a language the windows keep their built-in Czech until one is chosen.
    if (!LanguageManager.LanguageCode().isEmpty())
        ApplyLanguage();
    const QString version = FileVersion();
    SetSettingsWriteFailureHandler(WarnSettingsNotSaved);
    SettingsStore = std::make_unique<TSettingsStore>();
    if (const auto url = RecordProgramStart(*SettingsStore, version, UsageServerHost))
        UsageUrlOpener(*url);
    LastFiles =
        std::make_unique<TLastFilesUsed>(SettingsStore.get(), QStringLiteral("LastLoad"), mFile[0]);
    LastFiles->OnOpenFile = [this](const QString& name) { OpenTrussFile(name); };
    FormMatrix = new TFormMatrix(this);
    CreateResultsWindow();
    CreateUpdateCheck();
    setWindowIcon(ApplicationIcon());
    FormMatrix->setWindowIcon(windowIcon());
    ScreenshotFolder = GetExeDir();
}

QAction* TMainForm::DisplayOption(const char* name, const QString& caption, bool checked,
                                  const QString& hint) {
    auto* a = new QAction(caption, this);
    a->setObjectName(QString::fromLatin1(name));
    a->setCheckable(true);
    a->setChecked(checked);
    a->setToolTip(hint.isEmpty() ? caption : hint);
    a->setStatusTip(hint);
    a->setProperty("Category", QStringLiteral("Zobrazení"));
    connect(a, &QAction::triggered, this, &TMainForm::TrussFormsUpdate);
    return a;
}

void TMainForm::CreateMenus() {
    auto action = [this](const char* name, const QString& text, const QKeySequence& key = {}) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        return a;
    };
    auto menu = [this](const char* name, const QString& title) {
        QMenu* m = menuBar()->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };

    aNewTrussWindow =
        action("aNewTrussWindow", QStringLiteral("New Truss"), QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = action("Open1", QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = action("Save1", QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    Saveas1 = action("Saveas1", QStringLiteral("Save &as..."));
    Screenshot1 =
        action("Screenshot1", QStringLiteral("Screenshot Save"), QKeySequence(Qt::Key_F2));
    Exit1 = action("Exit1", QStringLiteral("E&xit"));
    Save1->setEnabled(false);
    Saveas1->setEnabled(false);
    connect(aNewTrussWindow, &QAction::triggered, this, [this] { aNewTrussWindowExecute(); });
    connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(Save1, &QAction::triggered, this, &TMainForm::Save1Click);
    connect(Saveas1, &QAction::triggered, this, &TMainForm::Saveas1Click);
    connect(Screenshot1, &QAction::triggered, this, &TMainForm::Screenshot1Click);
    connect(Exit1, &QAction::triggered, this, &TMainForm::Exit1Click);

    File1 = menu("File1", QStringLiteral("&File"));
    File1->addActions({aNewTrussWindow, Open1, Save1, Saveas1, Screenshot1});
    File1->addSeparator()->setObjectName(QStringLiteral("N1"));
    for (size_t i = 0; i < mFile.size(); ++i) {
        mFile[i] = File1->addAction(QString());
        mFile[i]->setObjectName(QStringLiteral("mFile%1").arg(i + 1));
        mFile[i]->setVisible(false);
        connect(mFile[i], &QAction::triggered, this,
                [this, i] { LastFiles->MenuClick(static_cast<int>(i)); });
    }
    File1->addSeparator()->setObjectName(QStringLiteral("N2"));
    File1->addAction(Exit1);
    connect(File1, &QMenu::aboutToShow, this, &TMainForm::File1Click);

    aVolnaPodX = action("aVolnaPodX", QStringLiteral("Podpěra X"));
    aVolnaPodX->setToolTip(QStringLiteral("Vložení podpěry volné ve směru Y"));
    aVolnaPodY = action("aVolnaPodY", QStringLiteral("Podpěra Y"));
    connect(aVolnaPodX, &QAction::triggered, this, [this] { SetDrawingTool(aVolnaPodX); });
    connect(aVolnaPodY, &QAction::triggered, this, [this] { SetDrawingTool(aVolnaPodY); });
    Insert1 = menu("Insert1", QStringLiteral("Insert"));
    Insert1->addAction(aVolnaPodX);
    Insert1->addAction(aVolnaPodY);
    Insert1->menuAction()->setVisible(false);

    // The frame's own Edit menu stands disabled until a truss window brings its working one.
    Edit1 = menu("Edit1", QStringLiteral("&Edit"));
    Undo1 = Edit1->addAction(QStringLiteral("Undo"));
    Undo1->setObjectName(QStringLiteral("Undo1"));
    Redo1 = Edit1->addAction(QStringLiteral("Redo"));
    Redo1->setObjectName(QStringLiteral("Redo1"));
    Edit1->setEnabled(false);

    aShowPrutName = DisplayOption("aShowPrutName", QStringLiteral("Zobrazí označení prutu"), true);
    aShowPrutForce =
        DisplayOption("aShowPrutForce", QStringLiteral("Zobrazit hodnoty sil u prutů"), false,
                      QStringLiteral("Vypíše hodnoty sil.\nZáporné hodnoty = namáhání na tlak,\n"
                                     "Kladné hodnoty = namáhání prutu na tah."));
    aShowStycNo = DisplayOption("aShowStycNo", QStringLiteral("Zobrazit č. styčníku"), false);
    aZobrazMatici = DisplayOption("aZobrazMatici", QStringLiteral("Zobrazení okna s maticí"), false,
                                  QStringLiteral("Zobrazí okno s výpočtovou maticí"));
    aShowSidePannel = DisplayOption("aShowSidePannel", QStringLiteral("aShowSidePannel"), false);
    aShowGrid = DisplayOption("aShowGrid", QStringLiteral("Zobrazit mřížku"), true);
    aGridAsLine = DisplayOption("aGridAsLine", QStringLiteral("aGridAsLine"), true,
                                QStringLiteral("aGridAsLine_Hint"));
    aSolveByStiffness = DisplayOption("aSolveByStiffness", str_ResitTuhostne, true);
    aShowDeformed = DisplayOption("aShowDeformed", str_ZobrazitDeformaci, false);
    Nastavit1 = menu("Nastavit1", QStringLiteral("Nastavit"));
    Nastavit1->addActions({aShowPrutName, aShowPrutForce, aShowStycNo, aZobrazMatici,
                           aShowSidePannel, aShowGrid, aGridAsLine});
    Nastavit1->addSeparator();
    Nastavit1->addActions({aSolveByStiffness, aShowDeformed});
    Nastavit1->addSeparator();
    Internetbackup1 = Nastavit1->addAction(QStringLiteral("Internet backup"));
    Internetbackup1->setObjectName(QStringLiteral("Internetbackup1"));
    Internetbackup1->setCheckable(true);
    Internetbackup1->setEnabled(false);
    Checkforupdates1 = Nastavit1->addAction(QStringLiteral("Check_for_updates"));
    Checkforupdates1->setObjectName(QStringLiteral("Checkforupdates1"));
    connect(Checkforupdates1, &QAction::triggered, this, &TMainForm::Checkforupdates1Click);

    miLanguage = menu("miLanguage", QStringLiteral("Jazyk"));
    LanguageItems = new QActionGroup(this);
    LanguageItems->setExclusive(true);

    Window1 = menu("Window1", QStringLiteral("Window"));
    auto windowCommand = [&](const char* name, const QString& text, const QString& hint,
                             auto slot) {
        QAction* a = action(name, text);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        connect(a, &QAction::triggered, this, slot);
        Window1->addAction(a);
        return a;
    };
    WindowCascade1 =
        windowCommand("WindowCascade1", QStringLiteral("&Cascade"), QStringLiteral("Cascade"),
                      [this] { MdiArea->cascadeSubWindows(); });
    WindowTileVertical1 =
        windowCommand("WindowTileVertical1", QStringLiteral("&Tile Vertically"),
                      QStringLiteral("Tile Vertical"), [this] { TileSubWindows(*MdiArea, true); });
    WindowTileHorizontal1 = windowCommand(
        "WindowTileHorizontal1", QStringLiteral("Tile &Horizontally"),
        QStringLiteral("Tile Horizontal"), [this] { TileSubWindows(*MdiArea, false); });
    WindowMinimizeAll1 = windowCommand("WindowMinimizeAll1", QStringLiteral("&Minimize All"),
                                       QStringLiteral("Minimize All"), [this] {
                                           for (QMdiSubWindow* w : MdiArea->subWindowList())
                                               w->showMinimized();
                                       });
    Window1->addSeparator()->setObjectName(QStringLiteral("N3"));
    CreateViewActions();
    CreateResultActions();
}

void TMainForm::CreateViewActions() {
    auto command = [this](const char* name, const QString& text, const QKeySequence& key,
                          const QString& hint, void (TTrussForm::*execute)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(key);
        a->setToolTip(hint);
        a->setStatusTip(hint);
        connect(a, &QAction::triggered, this, [this, execute] {
            if (TTrussForm* form = ActiveTrussForm())
                (form->*execute)();
        });
        Window1->addAction(a);
        return a;
    };
    aZoomIn = command("aZoomIn", QStringLiteral("Přiblížit"), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                      QStringLiteral("Přiblížit"), &TTrussForm::ZoomIn);
    // Ctrl+= too: on most keyboards "+" needs Shift.
    aZoomIn->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    aZoomOut =
        command("aZoomOut", QStringLiteral("Oddálit"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
                QStringLiteral("Oddálit"), &TTrussForm::ZoomOut);
    aZoomReset = command("aZoomReset", QStringLiteral("Skutečná velikost (100 %)"),
                         QKeySequence(Qt::CTRL | Qt::Key_0), QStringLiteral("Skutečná velikost"),
                         &TTrussForm::ZoomReset);
    aZoomFit =
        command("aZoomFit", QStringLiteral("Celá soustava"), QKeySequence(Qt::CTRL | Qt::Key_F),
                QStringLiteral("Celá soustava"), &TTrussForm::ZoomToFit);
}

QCheckBox* TMainForm::BoundCheckBox(const char* name, QAction* bound) {
    auto* box = new QCheckBox(bound->text(), Panel1);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(bound->isChecked());
    box->setToolTip(bound->toolTip());
    // A click executes the action; the action's state shows in the box.
    connect(box, &QCheckBox::clicked, bound, [bound, box] {
        box->setChecked(bound->isChecked());
        bound->trigger();
    });
    connect(bound, &QAction::toggled, box, &QCheckBox::setChecked);
    connect(bound, &QAction::changed, box, [bound, box] { box->setText(bound->text()); });
    return box;
}

void TMainForm::CreatePalette() {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(PaletteHeight);
    auto* row = new QHBoxLayout(Panel1);
    row->setContentsMargins(4, 2, 4, 2);

    ToolButtons = new QButtonGroup(this);
    ToolButtons->setExclusive(true);
    auto tool = [&](const char* name, TDrawingTool t, const QString& hint) {
        auto* b = new QToolButton(Panel1);
        b->setObjectName(QString::fromLatin1(name));
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(ToolIcon(t));
        b->setIconSize(QSize(24, 24));
        b->setToolTip(hint);
        ToolButtons->addButton(b, t);
        row->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, b] { SetDrawingTool(b); });
        return b;
    };
    btDtSelect =
        tool("btDtSelect", dtSelect,
             QStringLiteral("Výběr: klepnutím vyberete prut, podpěru nebo sílu, tažením vše v "
                            "obdélníku;\nse Shiftem přidáváte k výběru, dvojitým klepnutím "
                            "upravíte hodnoty."));
    btDtMove =
        tool("btDtMove", dtMove,
             QStringLiteral("Editace umožňuje uchopením a tažením\npřesouvat styčníky se silami."));
    btDTPrut = tool("btDTPrut", dtPrut, QStringLiteral("Prut nosníku"));
    btDtPevnaPod = tool("btDtPevnaPod", dtPevnaPod,
                        QStringLiteral("Pevná podpěra\n(dvě reakce - v osách X a Y)"));
    btDtVolPodY = tool("btDtVolPodY", dtVolPodY, aVolnaPodY->toolTip());
    btDtVolPodX = tool("btDtVolPodX", dtVolPodX, aVolnaPodX->toolTip());
    btDtForceUp = tool("btDtForceUp", dtForceUp, QStringLiteral("Síla v ose Y"));
    btDtForceLeft = tool("btDtForceLeft", dtForceLeft, QStringLiteral("Síla v ose X"));
    btDTPrut->setChecked(true);
    row->addSpacing(8);

    auto spin = [&](const char* name, int min, int max, int value, const QString& hint) {
        auto* s = new QSpinBox(Panel1);
        s->setObjectName(QString::fromLatin1(name));
        s->setRange(min, max);
        s->setValue(value);
        s->setToolTip(hint);
        return s;
    };
    RxSpinEditSila = spin("RxSpinEditSila", -1000, 1000, DefaultForce, QStringLiteral("Sila"));
    row->addWidget(RxSpinEditSila);
    chbOznaceniPrutu = BoundCheckBox("chbOznaceniPrutu", aShowPrutName);
    ChbZobrazSily = BoundCheckBox("ChbZobrazSily", aShowPrutForce);
    CheckBox1 = BoundCheckBox("CheckBox1", aShowStycNo);
    row->addWidget(chbOznaceniPrutu);
    row->addWidget(ChbZobrazSily);
    row->addWidget(CheckBox1);
    RxSpinEditGrid = spin("RxSpinEditGrid", 2, 100, DefaultGridStep, QStringLiteral("Grid"));
    row->addWidget(RxSpinEditGrid);
    // The new step reaches the open windows when the field is left.
    connect(RxSpinEditGrid, &QSpinBox::editingFinished, this, &TMainForm::TrussFormsUpdate);
    PenButton = new QToolButton(Panel1);
    PenButton->setObjectName(QStringLiteral("PenButton"));
    PenButton->setCheckable(true);
    PenButton->setVisible(false);
    PenButton->setToolTip(QStringLiteral("Pen"));
    connect(PenButton, &QToolButton::clicked, this, &TMainForm::PenButtonClick);
    row->addWidget(PenButton);
    row->addStretch(1);
}

void TMainForm::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    for (size_t i = 0; i < StatusPanelWidths.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        panel->setFixedWidth(StatusPanelWidths[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(panel);
        StatusPanels[i] = panel;
    }
    // Permanent widgets line up on the right; the last panel stretches and keeps the others on
    // the left. It has no frame, so it looks like empty space until an analysis writes in it.
    auto* last = new QLabel(bar);
    last->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(spAnalysis));
    bar->addPermanentWidget(last, 1);
    StatusPanels[spAnalysis] = last;
}

void TMainForm::SetStatusText(TStatusPanel panel, const QString& text) {
    StatusPanels[static_cast<size_t>(panel)]->setText(text);
}

double TMainForm::GridStep() const {
    return RxSpinEditGrid->value();
}

double TMainForm::ForceValue() const {
    return RxSpinEditSila->value();
}

TTrussDisplayOptions TMainForm::DisplayOptions() const {
    return {aShowPrutName->isChecked(), aShowPrutForce->isChecked(),    aShowStycNo->isChecked(),
            aZobrazMatici->isChecked(), aShowSidePannel->isChecked(),   aShowGrid->isChecked(),
            aGridAsLine->isChecked(),   aSolveByStiffness->isChecked(), aShowDeformed->isChecked()};
}

void TMainForm::FileClosed(const QString& fileName) {
    LastFiles->FileClosed(fileName);
}

void TMainForm::SetDrawingTool(QObject* sender) {
    if (sender == aVolnaPodX)
        sender = btDtVolPodX;
    else if (sender == aVolnaPodY)
        sender = btDtVolPodY;
    auto* button = qobject_cast<QAbstractButton*>(sender);
    if (!button)
        return;
    int id = ToolButtons->id(button);
    // The pen bar's shape buttons share their group with the brush buttons.
    if (id < 0 && button->property("shapeTool").isValid())
        id = button->property("shapeTool").toInt();
    if (id < 0)
        return;
    DrawingTool = static_cast<TDrawingTool>(id);
    button->setChecked(true);
}

QList<TTrussForm*> TMainForm::TrussForms() const {
    QList<TTrussForm*> forms;
    const QList<QMdiSubWindow*> windows = MdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (auto* form = qobject_cast<TTrussForm*>((*it)->widget()))
            forms << form;
    return forms;
}

TTrussForm* TMainForm::ActiveTrussForm() const {
    QMdiSubWindow* active = MdiArea->activeSubWindow();
    return active ? qobject_cast<TTrussForm*>(active->widget()) : nullptr;
}

void TMainForm::TrussFormsUpdate() {
    for (TTrussForm* form : TrussForms())
        form->RefreshTruss();
}

void TMainForm::UpdateActions() {
    TTrussForm* active = ActiveTrussForm();
    Save1->setEnabled(active);
    Saveas1->setEnabled(active);
    const bool anyWindow = !MdiArea->subWindowList().isEmpty();
    for (QAction* a :
         {WindowCascade1, WindowTileVertical1, WindowTileHorizontal1, WindowMinimizeAll1})
        a->setEnabled(anyWindow);
    for (QAction* a : {aZoomIn, aZoomOut, aZoomReset, aZoomFit})
        a->setEnabled(active);
    SetStatusText(spZoom, active ? active->ZoomText() : QString());
    UpdateResultActions(active);
    MergeMenus(active);
}

void TMainForm::MergeMenus(TTrussForm* active) {
    if (mergedForm == active)
        return;
    if (mergedForm) {
        menuBar()->removeAction(mergedForm->Insert1->menuAction());
        menuBar()->removeAction(mergedForm->Edit1->menuAction());
        mergedForm->aUndo->setEnabled(false);
        mergedForm->aRedo->setEnabled(false);
        mergedForm->SetFrameActive(false);
        disconnect(mergedForm, &QObject::destroyed, this, nullptr);
    }
    mergedForm = active;
    // While a truss window is active its Insert and Edit menus stand in for the frame's.
    Insert1->menuAction()->setVisible(false);
    Edit1->menuAction()->setVisible(!active);
    if (!active)
        return;
    menuBar()->insertMenu(Edit1->menuAction(), active->Insert1);
    menuBar()->insertMenu(Edit1->menuAction(), active->Edit1);
    // The truss window's Insert menu, unlike the frame's, has commands of its own.
    active->Insert1->menuAction()->setVisible(true);
    active->aUndo->setEnabled(true);
    active->aRedo->setEnabled(true);
    active->SetFrameActive(true);
    connect(active, &QObject::destroyed, this, [this] {
        mergedForm = nullptr;
        UpdateActions();
    });
}

std::unique_ptr<TPrutovaSoustava> TMainForm::NewTrussSystem() {
    auto truss = std::make_unique<TPrutovaSoustava>();
    truss->OnFileUsed = [this](const QString& name, const QString& caption) {
        LastFiles->FileUsed(name, caption);
    };
    return truss;
}

TTrussForm* TMainForm::AddTrussWindow(std::unique_ptr<TPrutovaSoustava> truss) {
    auto* form = new TTrussForm(*this, std::move(truss));
    QMdiSubWindow* window = MdiArea->addSubWindow(form);
    TagSystemMenu(*window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    window->show();
    // A new window opens at the design size of its client area, or maximised as the one before.
    if (!window->isMaximized())
        window->resize(window->size() - form->size() + TTrussForm::DesignSize());
    form->FitIfOutside();
    form->setFocus();
    UpdateActions();
    return form;
}

TTrussForm* TMainForm::aNewTrussWindowExecute() {
    return AddTrussWindow(NewTrussSystem());
}

bool TMainForm::ActivateOpenTrussWindow(const QString& fileName) {
    for (TTrussForm* form : TrussForms()) {
        if (form->Soustava().FileName != fileName)
            continue;
        auto* window = qobject_cast<QMdiSubWindow*>(form->parentWidget());
        window->showNormal();
        MdiArea->setActiveSubWindow(window);
        return true;
    }
    return false;
}

bool TMainForm::OpenTrussFile(const QString& givenName) {
    // One full name serves the recent-files list, the next start and the "already open" check,
    // whatever folder a relative name was given against.
    const QString fileName =
        givenName.isEmpty() ? givenName : QDir::current().absoluteFilePath(givenName);
    auto missing = [&] {
        TranslatedMessageDlg(msg_Chyba, FormatConst(msg_SouborNeexistuje, fileName), mtError,
                             Btn(mbOK));
        return false;
    };
    if (!QFileInfo::exists(fileName))
        return missing();
    if (ActivateOpenTrussWindow(fileName))
        return true;
    std::unique_ptr<TPrutovaSoustava> truss = NewTrussSystem();
    try {
        if (!truss->LoadFromFile(fileName))
            return missing();
    } catch (const std::exception& e) {
        // Nothing of a file that cannot be read stays open.
        TranslatedMessageDlg(msg_Chyba,
                             FormatConst(msg_NelzeOtevrit, fileName) + QStringLiteral("\n\n") +
                                 QString::fromUtf8(e.what()),
                             mtError, Btn(mbOK));
        return false;
    }
    AddTrussWindow(std::move(truss));
    return true;
}

void TMainForm::Open1Click() {
    TFileDialogRequest request;
    request.Caption = Open1->text().remove(u'&');
    request.Filter = TrussFilter;
    request.DefaultSuffix = QStringLiteral("trs");
    const QString name = AskFileName(this, request);
    if (!name.isEmpty())
        OpenTrussFile(name);
}

void TMainForm::Save1Click() {
    if (TTrussForm* form = ActiveTrussForm())
        form->aFileSaveExecute();
}

void TMainForm::Saveas1Click() {
    if (TTrussForm* form = ActiveTrussForm())
        form->aFileSaveAsExecute();
}

void TMainForm::File1Click() {
    const bool truss = ActiveTrussForm() != nullptr;
    Save1->setEnabled(truss);
    Saveas1->setEnabled(truss);
    LastFiles->UpdateMenu();
}

void TMainForm::Exit1Click() {
    close();
}

void TMainForm::showEvent(QShowEvent* event) {
    if (!optionsRestored) {
        optionsRestored = true;
        RestoreOptions();
    }
    QMainWindow::showEvent(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Every changed document is offered for saving; Cancel keeps the program running.
    for (TTrussForm* form : TrussForms()) {
        if (!form->QuerySave()) {
            event->ignore();
            return;
        }
    }
    StoreOptions();
    if (FormMatrix)
        FormMatrix->SavePlacement();
    if (FormResults)
        FormResults->SavePlacement();
    StopUpdateCheck();
    event->accept();
}

void TMainForm::RestoreOptions() {
    const QMap<QString, QString> section = ReadIniSection(OptionsIniFile(), OptionsSection);
    if (!RestorePlacement(*this, section))
        PlaceOnFirstStart(*this);
    auto number = [&](QSpinBox* spin, int def) {
        bool ok = false;
        const double v =
            IniValue(section, spin->objectName() + QStringLiteral("_Value")).toDouble(&ok);
        spin->setValue(ok ? static_cast<int>(std::lround(v)) : def);
    };
    number(RxSpinEditGrid, DefaultGridStep);
    number(RxSpinEditSila, DefaultForce);
    for (QAction* a :
         {aShowPrutForce, aShowPrutName, aZobrazMatici, aShowGrid, aShowSidePannel, aShowStycNo,
          aGridAsLine, aSolveByStiffness, aShowDeformed, aZobrazVysledky}) {
        const QString v = IniValue(section, a->objectName() + QStringLiteral("_Checked"));
        if (v.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
            a->setChecked(true);
        else if (v.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
            a->setChecked(false);
    }
}

void TMainForm::StoreOptions() {
    optionsStored = true;
    QMap<QString, QString> values = PlacementValues(*this);
    values.insert(QStringLiteral("RxSpinEditGrid_Value"), QString::number(RxSpinEditGrid->value()));
    values.insert(QStringLiteral("RxSpinEditSila_Value"), QString::number(RxSpinEditSila->value()));
    for (QAction* a : {aShowPrutForce, aShowPrutName, aZobrazMatici, aShowGrid, aShowSidePannel,
                       aShowStycNo, aGridAsLine, aSolveByStiffness, aShowDeformed, aZobrazVysledky})
        values.insert(a->objectName() + QStringLiteral("_Checked"), BoolText(a->isChecked()));
    WriteIniSection(OptionsIniFile(), OptionsSection, values);
}
