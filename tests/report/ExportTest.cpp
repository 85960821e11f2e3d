// The drawing as SVG, PNG and PDF fitted to the output, and the printed report as PDF, checked
// against positions and forces worked out by hand and, for PDF, with poppler's tools.
#include "DrawingExport.h"
#include "PrintedReport.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>

namespace {

// tests/data/triangle.trs: base (40,140)-(240,140), apex (140,40), 10 down at the apex, a pin
// on the left and a y roller on the right. By hand: reactions 5 up at each support, the two
// sloping bars -10 / (2 sin 45°) = -5√2 = -7.07107 (compression), the base +5 (tension).
std::unique_ptr<TPrutovaSoustava> triangle() {
    auto t = std::make_unique<TPrutovaSoustava>();
    t->LoadFromFile(QStringLiteral(TRABEX_TEST_DATA "/triangle.trs"));
    return t;
}

TTrussRenderOptions solvedOptions(TPrutovaSoustava& t) {
    TTrussRenderOptions o;
    o.Flags = dfPrutName | dfPrutForce | dfStycNo;
    o.Err = t.Solve();
    return o;
}

// A segment as its two end pixels, the smaller first, so that direction does not matter.
using TSegment = std::pair<std::pair<int, int>, std::pair<int, int>>;
TSegment segment(int x1, int y1, int x2, int y2) {
    return std::minmax(std::pair(x1, y1), std::pair(x2, y2));
}

// The segments of every 2-point polyline or line drawn with a stroke of the given width.
std::multiset<TSegment> svgSegments(const QString& path, const QString& width, QString* error) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QXmlStreamReader xml(&f);
    std::multiset<TSegment> out;
    std::vector<QString> widths{QStringLiteral("1")};
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == QLatin1String("g"))
            widths.pop_back();
        if (!xml.isStartElement())
            continue;
        const auto attrs = xml.attributes();
        if (xml.name() == QLatin1String("g")) {
            widths.push_back(attrs.hasAttribute("stroke-width")
                                 ? attrs.value("stroke-width").toString()
                                 : widths.back());
        } else if (widths.back() == width && xml.name() == QLatin1String("polyline")) {
            const QStringList pts =
                attrs.value("points").toString().split(u' ', Qt::SkipEmptyParts);
            if (pts.size() == 2) {
                const QStringList a = pts[0].split(u','), b = pts[1].split(u',');
                out.insert(segment(a[0].toInt(), a[1].toInt(), b[0].toInt(), b[1].toInt()));
            }
        } else if (widths.back() == width && xml.name() == QLatin1String("line")) {
            out.insert(segment(attrs.value("x1").toInt(), attrs.value("y1").toInt(),
                               attrs.value("x2").toInt(), attrs.value("y2").toInt()));
        }
    }
    *error = xml.hasError() ? xml.errorString() : QString();
    return out;
}

// Runs a poppler tool; empty when it is not installed.
std::optional<QString> poppler(const QString& tool, const QStringList& args) {
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return std::nullopt;
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(DrawingExport, FitsTheTrussWithItsMarginAndCentresIt) {
    // 200 x 100 units in 400 x 300 pixels less 30 on each side: the width limits, 340 / 200.
    const TViewMapping m = FitMapping(QRectF(40, 40, 200, 100), QSizeF(400, 300), 30);
    EXPECT_DOUBLE_EQ(m.Scale, 1.7);
    EXPECT_EQ(m.ToScreen(QPointF(40, 140)), QPointF(30, 235));
    EXPECT_EQ(m.ToScreen(QPointF(140, 90)), QPointF(200, 150));
    // A vertical bar has no width: only its height limits.
    EXPECT_DOUBLE_EQ(FitMapping(QRectF(0, 0, 0, 60), QSizeF(400, 300), 30).Scale, 4);
    EXPECT_TRUE(FitMapping(std::nullopt, QSizeF(400, 300), 30).IsIdentity());
}

TEST(DrawingExport, SvgIsWellFormedWithOneOutlinePerBar) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.svg"));
    auto t = triangle();
    WriteDrawing(path, *t, solvedOptions(*t), QSize(400, 300));
    QString error;
    // Bars have a 5-pixel black outline; the fit above puts the joints at these pixels.
    const auto bars = svgSegments(path, QStringLiteral("5"), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    const std::multiset<TSegment> expected{segment(30, 235, 370, 235), segment(370, 235, 200, 65),
                                           segment(200, 65, 30, 235)};
    EXPECT_EQ(bars.size(), static_cast<size_t>(t->PrutCount()));
    EXPECT_EQ(bars, expected);
}

TEST(DrawingExport, PngHasTheAskedSizeAndTheBarsWhereTheFitPutsThem) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.png"));
    auto t = triangle();
    WriteDrawingPng(path, *t, solvedOptions(*t), QSize(400, 300));
    const QImage image(path);
    ASSERT_EQ(image.size(), QSize(400, 300));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
    // The base bar is in tension: its core is red to yellow, never white or grey.
    const QColor core = image.pixelColor(120, 235);
    EXPECT_EQ(core.red(), 255);
    EXPECT_LT(core.green(), 255);
}

TEST(DrawingExport, RefusesWhatItCannotWrite) {
    auto t = triangle();
    EXPECT_THROW(WriteDrawing(QStringLiteral("/no/such/folder/t.svg"), *t, {}, QSize(10, 10)),
                 EExportError);
    EXPECT_THROW(WriteDrawing(QStringLiteral("/tmp/t.bmp"), *t, {}, QSize(10, 10)), EExportError);
}

TEST(DrawingExport, PdfIsOnePageOfThePicturesSize) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.pdf"));
    auto t = triangle();
    WriteDrawing(path, *t, solvedOptions(*t), QSize(400, 300));
    const auto info = poppler(QStringLiteral("pdfinfo"), {path});
    if (!info)
        GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << info->toStdString();
    // 400 x 300 pixels at 96 dpi are 300 x 225 points.
    EXPECT_TRUE(info->contains(QStringLiteral("300 x 225 pts"))) << info->toStdString();
}

TEST(PrintedReport, HasTheHeaderTheHandForcesAndNumberedPages) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.pdf"));
    auto t = triangle();
    t->Units = {0.01, QStringLiteral("m"), QStringLiteral("kN")};
    const TAnalysis a = Analyse(*t);
    TTrussRenderOptions drawing;
    drawing.Flags = dfPrutForce;
    TReportContent content = ReportContentOf(*t, a, drawing);
    EXPECT_EQ(content.Title, QStringLiteral("triangle.trs"));
    const int pages = WriteReportPdf(path, *t, content);
    const auto text = poppler(QStringLiteral("pdftotext"),
                              {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";
    const auto info = poppler(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
    EXPECT_TRUE(text->contains(QStringLiteral("triangle.trs")));
    EXPECT_TRUE(text->contains(QStringLiteral("Jednotky: síla kN, délka m.")));
    EXPECT_TRUE(text->contains(QStringLiteral("Síla [kN]")));
    // The sloping bars' force and the supports' reactions, by hand.
    EXPECT_TRUE(text->contains(QStringLiteral("-7.07107"))) << text->toStdString();
    EXPECT_TRUE(text->contains(QRegularExpression(QStringLiteral("\\s-5\\s"))));
    EXPECT_TRUE(text->contains(QStringLiteral("tlak")));
    EXPECT_TRUE(text->contains(QStringLiteral("Strana %1 z %1").arg(pages)));
}

TEST(PrintedReport, ALongReportRunsOnNumberedPages) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.pdf"));
    auto t = triangle();
    TReportContent content = ReportContentOf(*t, Analyse(*t), {});
    // 200 lines of text do not fit one A4 page at 9 points (about 60 lines a page).
    for (int i = 0; i < 200; ++i)
        content.Text += QStringLiteral("line %1\n").arg(i);
    const int pages = WriteReportPdf(path, *t, content);
    EXPECT_GE(pages, 3);
    const auto text = poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!text)
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text->contains(QStringLiteral("Strana %1 z %1").arg(pages)));
    EXPECT_TRUE(text->contains(QStringLiteral("line 199")));
    const auto info = poppler(QStringLiteral("pdfinfo"), {path});
    EXPECT_TRUE(info->contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
}

} // namespace
