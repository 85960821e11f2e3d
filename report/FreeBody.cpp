// Drawing the free body of a step with QPainter into an image.
#include "FreeBody.h"

#include "JointStepsText.h"

#include <QBuffer>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int SingleSize = 150;
// A picture of several joints is this high and as wide as their shape asks, within the limits.
constexpr int GroupHeight = 170, MinGroupWidth = 240, MaxGroupWidth = 480;
// Room around the joints for the arrows and their labels.
constexpr double Margin = 40;
constexpr double SingleArrow = 42, GroupArrow = 26;
constexpr double CollinearStretch = 0.9;
constexpr double HeadLength = 7, HeadHalfAngle = 0.4; // radians
constexpr double JointRadius = 3.5;
constexpr int FontPixels = 10;
const QColor UnknownColour(200, 0, 0);
const QColor KnownColour(0, 0, 160);
const QColor LoadColour(128, 0, 128);
const QColor BarColour(160, 160, 160);

void drawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
    p.setPen(QPen(colour, 1.6));
    p.drawLine(from, to);
    const double a = std::atan2(to.y() - from.y(), to.x() - from.x());
    const QPointF h1 = to - QPointF(HeadLength * std::cos(a - HeadHalfAngle),
                                    HeadLength * std::sin(a - HeadHalfAngle));
    const QPointF h2 = to - QPointF(HeadLength * std::cos(a + HeadHalfAngle),
                                    HeadLength * std::sin(a + HeadHalfAngle));
    p.setBrush(colour);
    p.drawPolygon(QPolygonF({to, h1, h2}));
}

// A load's value, a known force's name and value, an unknown's name. Pictures of several joints
// leave the loads' values to the equations: there they would crowd each other.
QString label(const TJointSteps& s, const TStepForce& f, bool single) {
    if (f.Unknown < 0)
        return single ? StepNumber(std::abs(f.Value)) : QString();
    const QString& name = s.Unknowns[static_cast<size_t>(f.Unknown)].Name;
    return f.Known ? name + u'=' + StepNumber(f.Value, 1e-10 * s.ForceScale) : name;
}

int groupWidth(const TJointSteps& s, const std::vector<int>& shown) {
    int left = 0, right = 0, top = 0, bottom = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        const TStepJoint& j = s.Joints[static_cast<size_t>(shown[i])];
        left = i == 0 ? j.X : std::min(left, j.X);
        right = i == 0 ? j.X : std::max(right, j.X);
        top = i == 0 ? j.Y : std::min(top, j.Y);
        bottom = i == 0 ? j.Y : std::max(bottom, j.Y);
    }
    if (bottom == top)
        return MaxGroupWidth;
    const double wide = 2 * Margin + (GroupHeight - 2 * Margin) *
                                         (static_cast<double>(right) - left) /
                                         (static_cast<double>(bottom) - top);
    return static_cast<int>(std::clamp(wide, double(MinGroupWidth), double(MaxGroupWidth)));
}

bool shownJoint(const std::vector<int>& shown, int j) {
    return std::find(shown.begin(), shown.end(), j) != shown.end();
}

// A bar whose two ends are drawn is drawn as a line; its force is inside the drawing.
bool inside(const TStepUnknown& u, const std::vector<int>& shown) {
    return u.Kind == TStepUnknown::TKind::Bar && shownJoint(shown, u.Joint) &&
           shownJoint(shown, u.JointB);
}

// Fits the drawn joints into the picture, y downward as on the drawing.
class TFit {
public:
    TFit(const TJointSteps& s, const std::vector<int>& shown, QSize size) : s(s), size(size) {
        for (size_t i = 0; i < shown.size(); ++i) {
            const TStepJoint& j = s.Joints[static_cast<size_t>(shown[i])];
            left = i == 0 ? j.X : std::min<double>(left, j.X);
            right = i == 0 ? j.X : std::max<double>(right, j.X);
            top = i == 0 ? j.Y : std::min<double>(top, j.Y);
            bottom = i == 0 ? j.Y : std::max<double>(bottom, j.Y);
        }
        const double kx = right > left ? (size.width() - 2 * Margin) / (right - left) : -1;
        const double ky = bottom > top ? (size.height() - 2 * Margin) / (bottom - top) : -1;
        k = kx < 0 ? std::max(ky, 0.0) : (ky < 0 ? kx : std::min(kx, ky));
    }
    QPointF At(int joint) const {
        const TStepJoint& j = s.Joints[static_cast<size_t>(joint)];
        return {size.width() / 2.0 + (j.X - (left + right) / 2) * k,
                size.height() / 2.0 + (j.Y - (top + bottom) / 2) * k};
    }

private:
    const TJointSteps& s;
    QSize size;
    double left = 0, right = 0, top = 0, bottom = 0, k = 0;
};

} // namespace

QImage FreeBodyImage(const TJointSteps& s, const TJointStep& step) {
    std::vector<int> shown = step.Joints;
    if (step.Kind == TJointStep::TKind::Reactions) {
        shown.clear();
        for (size_t j = 0; j < s.Joints.size(); ++j)
            shown.push_back(static_cast<int>(j));
    }
    const bool single = shown.size() == 1;
    const QSize size =
        single ? QSize(SingleSize, SingleSize) : QSize(groupWidth(s, shown), GroupHeight);
    const double arrow = single ? SingleArrow : GroupArrow;
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(FontPixels);
    p.setFont(font);
    const TFit fit(s, shown, size);

    std::map<std::pair<int, long>, int> drawn;
    p.setPen(QPen(BarColour, 2));
    for (const TStepUnknown& u : s.Unknowns)
        if (inside(u, shown))
            p.drawLine(fit.At(u.Joint), fit.At(u.JointB));
    for (const TStepForce& f : step.Forces) {
        if (f.Unknown >= 0 && inside(s.Unknowns[static_cast<size_t>(f.Unknown)], shown))
            continue;
        // A negative load acts against its angle; a bar force is drawn as tension whatever its
        // sign, as the equations write it.
        const double degrees = f.Angle + (f.Unknown < 0 && f.Value < 0 ? 180 : 0);
        const double angle = qDegreesToRadians(degrees);
        // Forces along one line at one joint (a reaction beside a bar) get longer arrows, so that
        // their labels stand apart.
        const int before = drawn[{f.Joint, std::lround(std::fmod(degrees + 360, 360) * 1000)}]++;
        const double length = arrow * (1 + CollinearStretch * before);
        const QPointF from = fit.At(f.Joint);
        const QPointF to = from + QPointF(length * std::cos(angle), length * std::sin(angle));
        const QColor colour = f.Unknown < 0 ? LoadColour : (f.Known ? KnownColour : UnknownColour);
        drawArrow(p, from, to, colour);
        const QString text = label(s, f, single);
        const QRectF box = p.fontMetrics().boundingRect(text);
        // The label beyond the tip, centred on the arrow's line.
        const QPointF centre = to + QPointF((box.width() / 2 + 3) * std::cos(angle),
                                            (box.height() / 2 + 2) * std::sin(angle));
        p.setPen(colour);
        p.drawText(QRectF(centre.x() - box.width() / 2, centre.y() - box.height() / 2,
                          box.width() + 1, box.height()),
                   Qt::AlignCenter, text);
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    for (const int j : shown)
        p.drawEllipse(fit.At(j), JointRadius, JointRadius);
    return image;
}

QString PngDataUri(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(bytes.toBase64());
}
