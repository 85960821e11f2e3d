// The entities of a truss (bars, supports, loads, joints, force vectors) and their drawing
// routines.
#pragma once

#include "ViewMapping.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <vector>

class QPainter;

// Drawing options shared by every truss window, refreshed before each redraw.
enum TDisplayFlag : std::uint8_t {
    dfPrutName = 1 << 0,  // bar names "S1", "S2", ...
    dfPrutForce = 1 << 1, // bar forces and load magnitudes
    dfStycNo = 1 << 2,    // joint numbers
};
extern std::uint8_t DisplayFlags;

// What a drawing of entities follows: the view it is drawn through, the labels it shows
// (TDisplayFlag bits) and the solver's error code the bar colours and force labels follow.
// Positions are mapped through the view; line widths, dots, images and texts keep their pixel
// sizes, and a load's arrow, whose length is its magnitude in drawing units, scales with it.
struct TDrawContext {
    TViewMapping View;
    std::uint8_t Flags = 0;
    std::uint8_t Err = 0;
};
// The identity view with the process-wide DisplayFlags and EquationStore.Err: what the Draw
// members without a context draw with.
TDrawContext GlobalDrawContext();

// Directions in which a support takes a reaction; bit 0 x, bit 1 y.
enum TFixedDirection : std::uint8_t { P_X = 1 << 0, P_Y = 1 << 1 };
using TFixedSet = std::uint8_t;

// Size of the images in a support image list.
constexpr int SupportImageSize = 40;

// Images of the three support kinds: 0 fixed in x and y, 1 fixed in y, 2 fixed in x.
class TImageList {
public:
    void Add(const QImage& image) { Images.append(image); }
    int Count() const { return static_cast<int>(Images.size()); }
    // Draws image index with its top-left corner at (x, y); a missing index draws nothing.
    void Draw(QPainter& canvas, int x, int y, int index) const;

    QList<QImage> Images;
};

class TEntita {
public:
    std::int32_t Number = 0;
};

// Axial stiffness of a bar that was given none: with every bar at 1 the forces of a redundant
// truss depend on its geometry alone.
constexpr double DefaultEA = 1;

class TPrut : public TEntita {
public:
    std::int32_t Sa_X = 0, Sa_Y = 0;
    std::int32_t Sb_X = 0, Sb_Y = 0;
    double Sila = 0;
    // Axial stiffness E times A in force units, a real > 0; only the stiffness method reads it.
    double EA = DefaultEA;

    // Angle in degrees of the direction from end A toward end B, in [0, 360]; NaN at length 0.
    double DirectionA() const;
    // Angle in degrees of the direction from end B toward end A; NaN at length 0.
    double DirectionB() const;
    bool IsDegenerate() const { return Sa_X == Sb_X && Sa_Y == Sb_Y; }
    void Draw(QPainter& canvas, double bound1, double bound2) const;
    void Draw(QPainter& canvas, double bound1, double bound2, const TDrawContext& context) const;
    QString Describe() const;
};

class TPodpera : public TEntita {
public:
    std::int32_t X = 0, Y = 0;
    TFixedSet Fixed = 0;
    std::uint8_t Kv = 0;
    std::int32_t ReactionXNumber = 0;
    std::int32_t ReactionYNumber = 0;
    double ReactionX = 0;
    double ReactionY = 0;

    void Draw(QPainter& canvas, const TImageList& images) const;
    void Draw(QPainter& canvas, const TImageList& images, const TViewMapping& view) const;
    QString Describe() const;
};

class TSila : public TEntita {
public:
    std::int32_t X = 0, Y = 0;
    double Sila = 0;
    double Uhel = 0;

    void Draw(QPainter& canvas) const;
    void Draw(QPainter& canvas, const TDrawContext& context) const;
    QString Describe() const;
};

class TVektor : public TEntita {
public:
    bool Known = false;
    double Sila = 0;
    double Uhel = 0;

    QString Describe() const;
};

class TStycnik : public TEntita {
public:
    std::int32_t X = 0, Y = 0;
    std::vector<TVektor> Vektory;

    // Appends a vector and returns its index in Vektory.
    int AddVektor(std::int32_t number, bool known, double uhel, double sila);
    void Draw(QPainter& canvas) const;
    void Draw(QPainter& canvas, const TDrawContext& context) const;
    QString Describe() const;
};

long double DegToRad(long double degrees);
long double RadToDeg(long double radians);

// A force that rounds to zero at the 5th decimal: its bar is drawn grey and counts as zero.
bool IsZeroForce(double force);

// Bar colour: yellow to red in tension, yellow to green in compression, grey near zero or after
// a failed solution.
QColor ForceColour(double force, double bound1, double bound2);
// The same colour after a solve that ended with the error code err.
QColor ForceColour(double force, double bound1, double bound2, std::uint8_t err);

void DrawArrow(QPainter& canvas, QPoint p, QPoint q, const QColor& colour);
void DrawPrutLine(QPainter& canvas, int x1, int y1, int x2, int y2, double force, double bound1,
                  double bound2);
void DrawPodperaImage(QPainter& canvas, const TImageList& images, int x, int y, TFixedSet fixed,
                      std::uint8_t kv);
void DrawSilaArrow(QPainter& canvas, int x, int y, double length, double angle);
// The arrow of a load at drawing position (x, y), its length in drawing units, through a view.
void DrawSilaArrow(QPainter& canvas, const TViewMapping& view, int x, int y, double length,
                   double angle);
void DrawStycnikDot(QPainter& canvas, int x, int y);

// Pixel coordinates are kept this far inside the 32-bit range, so that the few pixels by which
// labels, dots and images stand off their point can never overflow.
constexpr long double PixelLimit = INT32_MAX - 4096;
// Rounds half to even into a pixel coordinate; throws ERangeError beyond ±PixelLimit.
int RoundToPixel(long double value);
// A drawing position mapped through a view and rounded to a pixel; ERangeError as above.
QPoint MapToPixel(const TViewMapping& view, long double x, long double y);
