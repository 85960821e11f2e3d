// Results out of the frame: the File menu's exports and print, the solution by joints and the
// results window, on the loaded triangle whose forces are worked out by hand.
#include "GuiFixture.h"
#include "JointStepsWindow.h"
#include "ResultExports.h"
#include "ResultsWindow.h"
#include "TrussSelection.h"

#include <QClipboard>
#include <QHeaderView>
#include <QImage>
#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>

#include <cmath>

namespace {

// tests/data/triangle.trs: base (40,140)-(240,140), apex (140,40), 10 down at the apex, a pin on
// the left, a y roller on the right. By hand: 5 up at each support, the sloping bars
// -10 / (2 sin 45°) = -5√2 (compression), the base +5 (tension) and 200 long.
const double Sloping = -5 * std::sqrt(2.0);

class ResultsOut : public TMainFormTest {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        TMainFormTest::SetUp();
        ASSERT_TRUE(Main->OpenTrussFile(Data("triangle.trs")));
        Form = Main->ActiveTrussForm();
        ASSERT_TRUE(Form);
    }
    void TearDown() override {
        PictureSizeHandler = nullptr;
        PrintDialogHandler = nullptr;
        TMainFormTest::TearDown();
    }

    QString Read(const QString& path) const {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

    static std::optional<QString> PdfText(const QString& path) {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            return std::nullopt;
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTableWidget* Bars() const { return Main->FormResults->Tables[0]; }
    // The text of a cell of the row of bar (0-based list position) in the bars table.
    QString BarCell(int bar, int column) const {
        for (int r = 0; r < Bars()->rowCount(); ++r)
            if (Bars()->item(r, 0)->text() == QString::number(Form->Soustava().Prut(bar).Number))
                return Bars()->item(r, column)->text();
        return {};
    }

    TTrussForm* Form = nullptr;
};

TEST_F(ResultsOut, CommandsNeedATrussWindow) {
    for (QAction* a : {Main->aExportCsv, Main->aExportSvg, Main->aPrint, Main->aExportReportPdf,
                       Main->aJointSteps})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    Main->MdiArea->closeAllSubWindows();
    QTest::qWait(0);
    for (QAction* a : {Main->aExportCsv, Main->aExportPng, Main->aPrint, Main->aJointSteps})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(Main->FormResults->Followed(), nullptr);
    EXPECT_EQ(Bars()->rowCount(), 0);
}

TEST_F(ResultsOut, CsvHoldsTheHandForces) {
    const QString path = Dir.filePath(QStringLiteral("t.csv"));
    FileAnswers = {path};
    Main->aExportCsv->trigger();
    ASSERT_EQ(Dialogs.size(), 1u);
    EXPECT_TRUE(Dialogs[0].InitialName.endsWith(QStringLiteral("triangle.csv")));
    const QStringList lines = Read(path).split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], QStringLiteral("Pruty"));
    // Number, joint A, joint B, length, force, sense.
    const QStringList base = lines[2].split(u',');
    ASSERT_EQ(base.size(), 6);
    EXPECT_EQ(base[3].toDouble(), 200);
    EXPECT_NEAR(base[4].toDouble(), 5, 1e-9);
    EXPECT_EQ(base[5], QStringLiteral("tah"));
    EXPECT_NEAR(lines[3].split(u',')[4].toDouble(), Sloping, 1e-9);
}

TEST_F(ResultsOut, DrawingExportsHaveTheirFormatsAndSizes) {
    const QString svg = Dir.filePath(QStringLiteral("t.svg")),
                  png = Dir.filePath(QStringLiteral("t.png")),
                  pdf = Dir.filePath(QStringLiteral("t.pdf"));
    FileAnswers = {svg, png, pdf};
    std::optional<QSize> offered;
    PictureSizeHandler = [&](QSize def) {
        offered = def;
        return std::optional<QSize>(QSize(321, 123));
    };
    Main->aExportSvg->trigger();
    Main->aExportPng->trigger();
    Main->aExportPdf->trigger();
    EXPECT_TRUE(Read(svg).contains(QStringLiteral("<svg")));
    ASSERT_TRUE(offered.has_value());
    EXPECT_EQ(*offered, Form->Image->Picture().size()) << "the window's drawing size";
    EXPECT_EQ(QImage(png).size(), QSize(321, 123));
    EXPECT_TRUE(Read(pdf).startsWith(QStringLiteral("%PDF-")));
}

TEST_F(ResultsOut, PrintAndReportPdfShowTheHandForces) {
    const QString printed = Dir.filePath(QStringLiteral("printed.pdf"));
    PrintDialogHandler = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    Main->aPrint->trigger();
    const QString report = Dir.filePath(QStringLiteral("report.pdf"));
    FileAnswers = {report};
    Main->aExportReportPdf->trigger();
    for (const QString& path : {printed, report}) {
        const auto text = PdfText(path);
        if (!text)
            GTEST_SKIP() << "pdftotext is not installed";
        EXPECT_TRUE(text->contains(QStringLiteral("triangle.trs")));
        EXPECT_TRUE(text->contains(QStringLiteral("-7.07107"))) << path.toStdString();
        EXPECT_TRUE(text->contains(QStringLiteral("Strana 1 z")));
    }
    // A cancelled print dialog prints nothing.
    QFile::remove(printed);
    PrintDialogHandler = [](QPrinter&) { return false; };
    Main->aPrint->trigger();
    EXPECT_FALSE(QFile::exists(printed));
}

TEST_F(ResultsOut, SolutionByJointsShowsAndSavesTheSteps) {
    Main->aJointSteps->trigger();
    const auto windows = Main->findChildren<TFormJointSteps*>();
    ASSERT_EQ(windows.size(), 1);
    TFormJointSteps* steps = windows[0];
    EXPECT_TRUE(steps->isVisible());
    const QString text = steps->Browser->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Řešení po styčnících")));
    // Five significant digits: -7.0711 for each sloping bar.
    EXPECT_TRUE(text.contains(QStringLiteral("-7.0711"))) << text.toStdString();
    const QString html = Dir.filePath(QStringLiteral("s.html")),
                  pdf = Dir.filePath(QStringLiteral("s.pdf"));
    FileAnswers = {html, pdf};
    QTest::mouseClick(steps->btSaveHtml, Qt::LeftButton);
    QTest::mouseClick(steps->btSavePdf, Qt::LeftButton);
    EXPECT_TRUE(Read(html).contains(QStringLiteral("-7.0711")));
    const auto pdfText = PdfText(pdf);
    if (pdfText) {
        EXPECT_TRUE(pdfText->contains(QStringLiteral("-7.0711")));
    }
}

TEST_F(ResultsOut, ResultsWindowShowsFollowsAndSortsNumerically) {
    Main->aZobrazVysledky->trigger();
    TFormResults* results = Main->FormResults;
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(results->Followed(), Form);
    ASSERT_EQ(Bars()->rowCount(), 3);
    EXPECT_EQ(BarCell(0, 4), QStringLiteral("5"));
    EXPECT_EQ(BarCell(0, 5), QStringLiteral("tah"));
    EXPECT_EQ(BarCell(1, 4), QStringLiteral("-7.07107"));
    EXPECT_EQ(BarCell(2, 5), QStringLiteral("tlak"));

    // Joint x: 40, 240, 140. Sorted as numbers 40 < 140 < 240; as text "140" would come first.
    QTableWidget* joints = results->Tables[2];
    joints->sortItems(1, Qt::AscendingOrder);
    EXPECT_EQ(joints->item(0, 1)->text(), QStringLiteral("40"));
    EXPECT_EQ(joints->item(1, 1)->text(), QStringLiteral("140"));
    EXPECT_EQ(joints->item(2, 1)->text(), QStringLiteral("240"));

    // A second load of 10 down at the apex: twice every force, after the window's refresh.
    Form->Soustava().AddSila(140, 40, 10, 90);
    Form->RefreshTruss();
    EXPECT_EQ(BarCell(1, 4), QStringLiteral("-14.1421"));

    // Closing the window unchecks its option.
    results->close();
    EXPECT_FALSE(Main->aZobrazVysledky->isChecked());
}

TEST_F(ResultsOut, CopiedRowsAndSelectionsMatchTheDrawing) {
    Main->aZobrazVysledky->trigger();
    TFormResults* results = Main->FormResults;
    // The row of the base bar: selecting it selects the bar in the drawing.
    int baseRow = -1;
    for (int r = 0; r < Bars()->rowCount(); ++r)
        if (Bars()->item(r, 0)->text() == QString::number(Form->Soustava().Prut(0).Number))
            baseRow = r;
    ASSERT_GE(baseRow, 0);
    Bars()->selectRow(baseRow);
    EXPECT_TRUE(Form->Selection->Contains(Form->Soustava(), {TItemKind::Bar, 0}));
    EXPECT_EQ(Form->Selection->Count(), 1);

    Bars()->setFocus();
    QTest::keyClick(Bars(), Qt::Key_C, Qt::ControlModifier);
    const QStringList fields = QApplication::clipboard()->text().trimmed().split(u'\t');
    ASSERT_EQ(fields.size(), 6) << QApplication::clipboard()->text().toStdString();
    EXPECT_EQ(fields[3].toDouble(), 200);
    EXPECT_NEAR(fields[4].toDouble(), 5, 1e-9);
    EXPECT_EQ(fields[5], QStringLiteral("tah"));

    // The drawing's selection of the roller (support 1) selects its row, and no bar row.
    Form->Selection->Set(Form->Soustava(), std::vector<TItemRef>{{TItemKind::Support, 1}});
    QTableWidget* supports = results->Tables[1];
    const auto rows = supports->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(supports->item(rows[0].row(), 3)->text(), QStringLiteral("y"));
    EXPECT_TRUE(Bars()->selectionModel()->selectedRows().isEmpty());
}

TEST_F(ResultsOut, TheResultsWindowIsRememberedInTheOptions) {
    Main->aZobrazVysledky->trigger();
    Main->close();
    Main.reset();
    EXPECT_EQ(IniValue(ReadIniSection(OptionsIniFile(), QStringLiteral("TMainForm")),
                       QStringLiteral("aZobrazVysledky_Checked")),
              QStringLiteral("True"));
    Main = std::make_unique<TMainForm>();
    Main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main.get()));
    EXPECT_TRUE(Main->aZobrazVysledky->isChecked());
    EXPECT_TRUE(Main->FormResults->isVisible());
}

} // namespace
