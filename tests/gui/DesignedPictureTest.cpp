// At 100 % a truss window's picture is, pixel for pixel, the picture the window drew before it
// had a view: drawn here again with plain painter calls, as that drawing made them.
#include "GuiFixture.h"
#include "NumberFormat.h"
#include "TrussPicture.h"
#include "UMatrix.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

QPen RoundPen(const QColor& c, int width) {
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

int Round(long double v) {
    return static_cast<int>(std::nearbyint(v));
}

const long double Pi = std::numbers::pi_v<long double>;

long double Radians(long double degrees) {
    return degrees * 2 * Pi / 360;
}

void Text(QPainter& p, int x, int y, const QString& text) {
    if (!text.isEmpty())
        p.drawText(x, y + QFontMetrics(p.font(), p.device()).ascent(), text);
}

QColor BarColour(double f, double max, double min, bool solved) {
    if (std::nearbyint(f * 1e5) == 0 || !solved)
        return QColor(192, 192, 192);
    const double m = std::max(std::fabs(max), std::fabs(min));
    const int k = std::clamp(Round(255 / m * std::fabs(f)), 0, 255);
    return f > 0 ? QColor(255, 255 - k, 0) : QColor(255 - k, 255, 0);
}

// A line of width 3 with a head of two 10-pixel sides 20 degrees off it, tip at q.
void Arrow(QPainter& p, QPoint s, QPoint q, const QColor& c) {
    p.setPen(RoundPen(c, 3));
    p.drawLine(s, q);
    const long double beta =
        q.x() == s.x()
            ? 0
            : std::atan(static_cast<long double>(q.y() - s.y()) / (q.x() - s.x())) * 360 / (2 * Pi);
    long double alpha = 0;
    if (q.x() > s.x())
        alpha = q.y() == s.y() ? 0 : (q.y() < s.y() ? -beta : 360 - beta);
    else if (q.x() < s.x())
        alpha = q.y() == s.y() ? 180 : 180 - beta;
    else
        alpha = q.y() < s.y() ? 90 : (q.y() > s.y() ? 270 : 0);
    auto corner = [&](long double a) {
        return QPoint(Round(q.x() - 10 * std::cos(Radians(a))),
                      Round(q.y() + 10 * std::sin(Radians(a))));
    };
    p.setPen(RoundPen(c, 1));
    p.setBrush(c);
    p.drawPolygon(QPolygon({q, corner(alpha - 20), corner(alpha + 20)}));
}

QImage DesignedPicture(const TPrutovaSoustava& t, QSize size, int step, bool dots, bool names,
                       bool forces, bool numbers, bool solved) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(QColor(192, 192, 192));
    for (int x = 0; x < size.width(); x += step)
        for (int y = 0; y < size.height(); y += step)
            if (dots)
                p.drawPoint(x, y);
    for (int x = 0; x < size.width() && !dots; x += step)
        p.drawLine(x, 0, x, size.height() - 1);
    for (int y = 0; y < size.height() && !dots; y += step)
        p.drawLine(0, y, size.width() - 1, y);
    QFont font(QStringLiteral("Arial"), 7);
    font.setStyleHint(QFont::SansSerif);
    p.setFont(font);
    for (int i = 0; i < t.PrutCount(); ++i) {
        const TPrut& b = t.Prut(i);
        p.setPen(RoundPen(Qt::black, 5));
        p.drawLine(b.Sa_X, b.Sa_Y, b.Sb_X, b.Sb_Y);
        p.setPen(RoundPen(BarColour(b.Sila, t.MaxPrutSila(), t.MinPrutSila(), solved), 3));
        p.drawLine(b.Sa_X, b.Sa_Y, b.Sb_X, b.Sb_Y);
        QString label = names ? QStringLiteral("S%1 ").arg(b.Number) : QString();
        if (forces)
            label += solved ? QStringLiteral("(%1)").arg(FormatDecimals(b.Sila, 1))
                            : QStringLiteral("(?)");
        p.setPen(QColor(128, 128, 128));
        Text(p, b.Sa_X + (b.Sb_X - b.Sa_X) / 2 - 5, b.Sa_Y + (b.Sb_Y - b.Sa_Y) / 2 + 2, label);
    }
    const TImageList supports = MakeSupportImages();
    for (int i = 0; i < t.PodperaCount(); ++i) {
        const TPodpera& s = t.Podpera(i);
        const int index = s.Fixed == (P_X | P_Y) ? 0 : s.Fixed == P_Y ? 1 : s.Fixed == P_X ? 2 : -1;
        if (index >= 0)
            p.drawImage(s.X - 20, s.Y - 20, supports.Images[index]);
    }
    const QColor purple(128, 0, 128);
    for (int i = 0; i < t.SilaCount(); ++i) {
        const TSila& f = t.Sila(i);
        const long double a = Radians(f.Uhel);
        Arrow(p, QPoint(f.X, f.Y),
              QPoint(Round(f.X + f.Sila * std::cos(a)), Round(f.Y + f.Sila * std::sin(a))), purple);
        p.setPen(purple);
        if (forces)
            Text(p, Round(f.X + std::cos(a) * (f.Sila + 2)),
                 Round(f.Y + std::sin(a) * (f.Sila + 2)), FormatDecimals(f.Sila, 0));
    }
    for (int i = 0; i < t.StycnikCount(); ++i) {
        const TStycnik& j = t.Stycnik(i);
        p.setBrush(QColor(0, 0, 255));
        p.setPen(RoundPen(QColor(0, 0, 128), 1));
        p.drawEllipse(QRect(j.X - 5, j.Y - 5, 10, 10));
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(QColor(192, 192, 192));
        p.setPen(QColor(0, 0, 255));
        if (numbers)
            Text(p, j.X + 4, j.Y + 4, QString::number(j.Number));
    }
    return image;
}

struct TPictureCase {
    const char* File;
    bool Dots, Names, Forces, Numbers, Solved;
};

void PrintTo(const TPictureCase& c, std::ostream* os) {
    *os << c.File;
}

class AtFullSize : public TMainFormTest, public ::testing::WithParamInterface<TPictureCase> {};

TEST_P(AtFullSize, PictureIsTheDesignedOne) {
    const TPictureCase c = GetParam();
    auto set = [](QAction* a, bool on) {
        if (a->isChecked() != on)
            a->trigger();
    };
    set(Main->aGridAsLine, c.Dots);
    set(Main->aShowPrutName, c.Names);
    set(Main->aShowPrutForce, c.Forces);
    set(Main->aShowStycNo, c.Numbers);
    ASSERT_TRUE(Main->OpenTrussFile(QString::fromUtf8(c.File)));
    TTrussForm* form = Main->ActiveTrussForm();
    form->parentWidget()->resize(1100, 500);
    form->ZoomReset();
    form->RefreshTruss();
    const QImage& shown = form->Image->Picture();
    ASSERT_GT(shown.width(), 1030);
    const QImage expected = DesignedPicture(form->Soustava(), shown.size(), 20, c.Dots, c.Names,
                                            c.Forces, c.Numbers, c.Solved);
    EXPECT_EQ(EquationStore.Err == 0, c.Solved);
    EXPECT_TRUE(shown == expected);
}

INSTANTIATE_TEST_SUITE_P(Trusses, AtFullSize,
                         ::testing::Values(TPictureCase{TRABEX_TEST_DATA
                                                        "/../../examples/pratt-bridge.trs",
                                                        true, true, true, true, true},
                                           TPictureCase{TRABEX_TEST_DATA "/../../examples/roof.trs",
                                                        false, false, true, false, true},
                                           TPictureCase{TRABEX_TEST_DATA "/mechanism.trs", true,
                                                        true, true, true, false}));

} // namespace
