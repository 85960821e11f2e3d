// The frame's commands that take results out of the program: the exports of the File menu,
// printing, the report as PDF, the solution by joints and the results window.
#include "TrussMainWin.h"

#include "DrawingExport.h"
#include "FTrussForm.h"
#include "FileDialogs.h"
#include "JointStepsWindow.h"
#include "PrintedReport.h"
#include "ResultExports.h"
#include "ResultsWindow.h"
#include "TableText.h"
#include "plsLangConsts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>

std::function<std::optional<QSize>(QSize)> PictureSizeHandler;
std::function<bool(QPrinter&)> PrintDialogHandler;

namespace {

constexpr int MaxPictureSide = 20000;

// What an export shows: the labels the window shows, coloured by its last solve, no grid.
TTrussRenderOptions ExportOptionsOf(const TTrussDisplayOptions& display, std::uint8_t err) {
    TTrussRenderOptions o;
    o.Flags = static_cast<std::uint8_t>((display.ShowPrutName ? dfPrutName : 0) |
                                        (display.ShowPrutForce ? dfPrutForce : 0) |
                                        (display.ShowStycNo ? dfStycNo : 0));
    o.Err = err;
    return o;
}

// The name a file of the truss gets by default: the truss file's with another suffix.
QString SuggestedName(const TPrutovaSoustava& truss, const QString& suffix) {
    if (truss.FileName.isEmpty())
        return str_BezNazvu + u'.' + suffix;
    const QFileInfo file(truss.FileName);
    return file.dir().filePath(file.completeBaseName() + u'.' + suffix);
}

QString AskExportName(QWidget* parent, const QAction* action, const TPrutovaSoustava& truss,
                      const QString& filter, const QString& suffix) {
    TFileDialogRequest request;
    request.Save = true;
    request.Caption = action->text().remove(u'&');
    request.Filter = filter;
    request.DefaultSuffix = suffix;
    request.InitialName = SuggestedName(truss, suffix);
    return AskFileName(parent, request);
}

void ShowExportError(const QString& fileName, const std::exception& e) {
    TranslatedMessageDlg(msg_Chyba,
                         FormatConst(msg_NelzeUlozit, fileName) + QStringLiteral("\n\n") +
                             QString::fromUtf8(e.what()),
                         mtError, Btn(mbOK));
}

} // namespace

std::optional<QSize> AskPictureSize(QWidget* parent, QSize def) {
    if (PictureSizeHandler)
        return PictureSizeHandler(def);
    QDialog dialog(parent);
    dialog.setWindowTitle(str_VelikostObrazku);
    auto* form = new QFormLayout(&dialog);
    auto side = [&](int value) {
        auto* spin = new QSpinBox(&dialog);
        spin->setRange(1, MaxPictureSide);
        spin->setValue(value);
        return spin;
    };
    QSpinBox* width = side(def.width());
    QSpinBox* height = side(def.height());
    form->addRow(str_SirkaObrazku, width);
    form->addRow(str_VyskaObrazku, height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return QSize(width->value(), height->value());
}

void TMainForm::CreateResultActions() {
    auto action = [this](const char* name, const QString& text) {
        auto* a = new QAction(text, this);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    aExportCsv = action("aExportCsv", QStringLiteral("Výsledky jako CSV…"));
    aExportSvg = action("aExportSvg", QStringLiteral("Výkres jako SVG…"));
    aExportPng = action("aExportPng", QStringLiteral("Výkres jako PNG…"));
    aExportPdf = action("aExportPdf", QStringLiteral("Výkres jako PDF…"));
    aPrint = action("aPrint", QStringLiteral("Tisk…"));
    aPrint->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    aExportReportPdf = action("aExportReportPdf", QStringLiteral("Exportovat zprávu do PDF…"));
    aJointSteps = action("aJointSteps", QStringLiteral("Řešení po styčnících"));
    connect(aExportCsv, &QAction::triggered, this, &TMainForm::ExportResultsCsv);
    connect(aExportSvg, &QAction::triggered, this,
            [this] { ExportDrawing(QStringLiteral("svg")); });
    connect(aExportPng, &QAction::triggered, this,
            [this] { ExportDrawing(QStringLiteral("png")); });
    connect(aExportPdf, &QAction::triggered, this,
            [this] { ExportDrawing(QStringLiteral("pdf")); });
    connect(aPrint, &QAction::triggered, this, &TMainForm::PrintReport);
    connect(aExportReportPdf, &QAction::triggered, this, &TMainForm::ExportReportPdf);
    connect(aJointSteps, &QAction::triggered, this, &TMainForm::ShowJointSteps);

    Export1 = new QMenu(QStringLiteral("Exportovat"), this);
    Export1->setObjectName(QStringLiteral("Export1"));
    Export1->addActions({aExportCsv, aExportSvg, aExportPng, aExportPdf});
    // Below the recent files, above Exit: the items above them keep their places.
    File1->insertMenu(Exit1, Export1);
    File1->insertAction(Exit1, aPrint);
    File1->insertAction(Exit1, aExportReportPdf);
    File1->insertSeparator(Exit1)->setObjectName(QStringLiteral("N4"));

    Analyza1 = new QMenu(QStringLiteral("Analýza"), this);
    Analyza1->setObjectName(QStringLiteral("Analyza1"));
    Analyza1->addAction(aJointSteps);
    // Before Window, so that the menus before it keep their places.
    menuBar()->insertMenu(Window1->menuAction(), Analyza1);

    aZobrazVysledky = DisplayOption("aZobrazVysledky", QStringLiteral("Zobrazení okna s výsledky"),
                                    false, QStringLiteral("Zobrazí okno s tabulkami výsledků"));
    // The results window shows and hides by itself; no truss needs to be solved again.
    disconnect(aZobrazVysledky, &QAction::triggered, this, &TMainForm::TrussFormsUpdate);
    connect(aZobrazVysledky, &QAction::toggled, this, [this](bool on) {
        if (FormResults)
            FormResults->setVisible(on);
    });
    const QList<QAction*> settings = Nastavit1->actions();
    const qsizetype matrix = settings.indexOf(aZobrazMatici);
    Nastavit1->insertAction(matrix >= 0 && matrix + 1 < settings.size() ? settings[matrix + 1]
                                                                        : nullptr,
                            aZobrazVysledky);
}

void TMainForm::CreateResultsWindow() {
    FormResults = new TFormResults(this);
    FormResults->setWindowIcon(windowIcon());
    // Closing the window unchecks its option, as unchecking it hides the window.
    connect(FormResults, &TFormResults::Closed, this,
            [this] { aZobrazVysledky->setChecked(false); });
}

void TMainForm::UpdateResultActions(TTrussForm* active) {
    for (QAction* a :
         {aExportCsv, aExportSvg, aExportPng, aExportPdf, aPrint, aExportReportPdf, aJointSteps})
        a->setEnabled(active);
    Export1->setEnabled(active);
    if (FormResults)
        FormResults->Follow(active);
}

TTrussRenderOptions TMainForm::ExportOptions(const TTrussForm& form) const {
    return ExportOptionsOf(DisplayOptions(), form.LastAnalysis().Err);
}

void TMainForm::ExportResultsCsv() {
    TTrussForm* form = ActiveTrussForm();
    if (!form)
        return;
    const TPrutovaSoustava& truss = form->Soustava();
    const QString name =
        AskExportName(this, aExportCsv, truss, str_FiltrCsv, QStringLiteral("csv"));
    if (name.isEmpty())
        return;
    const QByteArray bytes =
        ResultsCsv(ResultTables(ResultsOf(truss, form->LastAnalysis()))).toUtf8();
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        ShowExportError(name, std::runtime_error(file.errorString().toStdString()));
        return;
    }
}

void TMainForm::ExportDrawing(const QString& suffix) {
    TTrussForm* form = ActiveTrussForm();
    if (!form)
        return;
    const QAction* action = suffix == QLatin1String("svg")   ? aExportSvg
                            : suffix == QLatin1String("png") ? aExportPng
                                                             : aExportPdf;
    const QString filter = suffix == QLatin1String("svg")   ? str_FiltrSvg
                           : suffix == QLatin1String("png") ? str_FiltrPng
                                                            : str_FiltrPdf;
    const QString name = AskExportName(this, action, form->Soustava(), filter, suffix);
    if (name.isEmpty())
        return;
    // The size the window draws the truss at; a PNG asks, starting from it.
    QSize size =
        form->Image->Picture().isNull() ? TTrussForm::DesignSize() : form->Image->Picture().size();
    if (suffix == QLatin1String("png")) {
        const auto asked = AskPictureSize(this, size);
        if (!asked)
            return;
        size = *asked;
    }
    try {
        // The format is the command's, whatever the name typed ends in.
        const TTrussRenderOptions options = ExportOptions(*form);
        if (suffix == QLatin1String("svg"))
            WriteDrawingSvg(name, form->Soustava(), options, size);
        else if (suffix == QLatin1String("png"))
            WriteDrawingPng(name, form->Soustava(), options, size);
        else
            WriteDrawingPdf(name, form->Soustava(), options, size);
    } catch (const std::exception& e) {
        ShowExportError(name, e);
    }
}

TReportContent TMainForm::ReportContent(const TTrussForm& form) const {
    TReportContent content =
        ReportContentOf(form.Soustava(), form.LastAnalysis(), ExportOptions(form));
    // The report the side panel shows, failures included, when it is shown.
    if (!form.Memo1->toPlainText().isEmpty() && form.Panel4->isVisible())
        content.Text = form.Memo1->toPlainText();
    return content;
}

void TMainForm::PrintReport() {
    TTrussForm* form = ActiveTrussForm();
    if (!form)
        return;
    // The screen's resolution keeps the drawing's lines and labels as the window has them.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(ReportContent(*form).Title);
    if (PrintDialogHandler) {
        if (!PrintDialogHandler(printer))
            return;
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    try {
        PaintReport(printer, form->Soustava(), ReportContent(*form));
    } catch (const std::exception& e) {
        ShowExportError(printer.outputFileName().isEmpty() ? printer.printerName()
                                                           : printer.outputFileName(),
                        e);
    }
}

void TMainForm::ExportReportPdf() {
    TTrussForm* form = ActiveTrussForm();
    if (!form)
        return;
    const QString name = AskExportName(this, aExportReportPdf, form->Soustava(), str_FiltrPdf,
                                       QStringLiteral("pdf"));
    if (name.isEmpty())
        return;
    try {
        WriteReportPdf(name, form->Soustava(), ReportContent(*form));
    } catch (const std::exception& e) {
        ShowExportError(name, e);
    }
}

void TMainForm::ShowJointSteps() {
    TTrussForm* form = ActiveTrussForm();
    if (!form)
        return;
    auto* window = new TFormJointSteps(this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowIcon(windowIcon());
    window->ShowSteps(form->Soustava(), form->LastAnalysis());
    window->show();
}
