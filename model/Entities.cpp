// Directions, vectors and text descriptions of the truss entities.
#include "Entities.h"

#include "NumberFormat.h"
#include "plsLangConsts.h"

#include <cmath>
#include <numbers>

std::uint8_t DisplayFlags = 0;

namespace {

const QString CrLf = QStringLiteral("\r\n");

long double arcCosDegrees(long double cosine) {
    return RadToDeg(std::acos(cosine));
}

} // namespace

long double DegToRad(long double degrees) {
    return degrees * 2 * std::numbers::pi_v<long double> / 360;
}

long double RadToDeg(long double radians) {
    return radians * 360 / (2 * std::numbers::pi_v<long double>);
}

double TPrut::DirectionA() const {
    const long double dx = Sb_X - static_cast<long double>(Sa_X);
    const long double dy = Sb_Y - static_cast<long double>(Sa_Y);
    const long double length = std::sqrt(dx * dx + dy * dy);
    if (dy >= 0)
        return static_cast<double>(arcCosDegrees(dx / length));
    return static_cast<double>(arcCosDegrees(-dx / length) + 180);
}

double TPrut::DirectionB() const {
    const long double dx = Sb_X - static_cast<long double>(Sa_X);
    const long double dy = Sb_Y - static_cast<long double>(Sa_Y);
    const long double length = std::sqrt(dx * dx + dy * dy);
    if (dy < 0)
        return static_cast<double>(arcCosDegrees(-dx / length));
    return static_cast<double>(arcCosDegrees(dx / length) + 180);
}

QString TPrut::Describe() const {
    return QStringLiteral("  ") + QString::number(Number) + QStringLiteral(": ") + str_Sourd +
           QStringLiteral(": ") + FormatFixed(Sa_X, 0) + QStringLiteral(", ") +
           FormatFixed(Sa_Y, 0) + QStringLiteral(", ") + FormatFixed(Sb_X, 0) +
           QStringLiteral(", ") + FormatFixed(Sb_Y, 0) + QStringLiteral(", ") + str_Sila +
           QStringLiteral(":") + FormatFixed(Sila, 1) + CrLf;
}

QString TPodpera::Describe() const {
    return QStringLiteral("  ") + QString::number(Number) + QStringLiteral(" (") +
           FormatFixed(X, 0) + QStringLiteral(", ") + FormatFixed(Y, 0) + QStringLiteral(")") +
           CrLf;
}

QString TSila::Describe() const {
    return QStringLiteral("  ") + QString::number(Number) + QStringLiteral(": ") + str_Sila +
           QStringLiteral("=") + FormatFixed(Sila, 1) + QStringLiteral("  ") + str_Uhel +
           QStringLiteral(": ") + FormatFixed(Uhel, 1) + CrLf;
}

QString TVektor::Describe() const {
    return QStringLiteral("  ") + QString::number(Number) + QStringLiteral(": ") + str_Sila +
           QStringLiteral("=") + (Known ? FormatFixed(Sila, 1) : QStringLiteral("?")) +
           QStringLiteral("  ") + str_Uhel + QStringLiteral(": ") + FormatFixed(Uhel, 1) + CrLf;
}

int TStycnik::AddVektor(std::int32_t number, bool known, double uhel, double sila) {
    TVektor v;
    v.Number = number;
    v.Known = known;
    v.Uhel = uhel;
    v.Sila = sila;
    Vektory.push_back(v);
    return static_cast<int>(Vektory.size()) - 1;
}

QString TStycnik::Describe() const {
    QString text = QStringLiteral(" ") + str_Stycnik + QStringLiteral(" ") + str_No +
                   QStringLiteral(": ") + QString::number(Number) + QStringLiteral(" (") +
                   FormatFixed(X, 0) + QStringLiteral(", ") + FormatFixed(Y, 0) +
                   QStringLiteral(")") + CrLf + QStringLiteral(" ") + str_PocetVektoru +
                   QStringLiteral(":") + QString::number(Vektory.size()) + CrLf;
    for (const TVektor& v : Vektory)
        text += v.Describe();
    return text;
}
