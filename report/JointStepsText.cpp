// Writing the steps of the solution by joints as text and as HTML.
#include "JointStepsText.h"

#include "FreeBody.h"
#include "MechanismText.h"
#include "NumberFormat.h"
#include "ResultTables.h"
#include "plsLangConsts.h"

#include <QRegularExpression>

#include <cmath>

namespace {

// Significant digits of the numbers in the steps, as the report writes forces.
constexpr int StepDigits = 5;
constexpr int MaxDecimals = 12;
// A value below this fraction of the largest force is rounding and is written as 0.
constexpr double ZeroShare = 1e-10;
constexpr int ResidualDigits = 2;

const QString Times = QStringLiteral("·");

// The placeholders "%s", "%d" and "%f" of a text replaced in order by the values, in one pass so
// that a value holding a placeholder (a unit named "%s") stays as it is.
QString fill(const QString& text, const QStringList& values) {
    static const QRegularExpression placeholder(QStringLiteral("%[sdf]"));
    QString out;
    qsizetype from = 0, next = 0;
    for (const auto& m : placeholder.globalMatch(text)) {
        if (next >= values.size())
            break;
        out += text.mid(from, m.capturedStart() - from) + values[next++];
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

QString residualText(double v) {
    QString s = QString::number(v, 'g', ResidualDigits);
    return s.replace(u'.', DecimalSeparator());
}

class TWriter {
public:
    explicit TWriter(const TJointSteps& s) : s(s), zero(ZeroShare * s.ForceScale) {}

    QString Force(double v) const {
        const QString unit = s.Units.JednotkaSily;
        return StepNumber(v, zero) + (unit.isEmpty() ? QString() : u' ' + unit);
    }
    QString Length(double drawingUnits) const { return StepNumber(drawingUnits * s.Units.Delka); }
    QString Angle(double degrees) const { return StepNumber(degrees) + QStringLiteral("°"); }
    QString Name(int unknown) const { return s.Unknowns[static_cast<size_t>(unknown)].Name; }
    QString JointNumber(int joint) const {
        return QString::number(s.Joints[static_cast<size_t>(joint)].Number);
    }
    QString JointPlace(int joint) const {
        const TStepJoint& j = s.Joints[static_cast<size_t>(joint)];
        return QStringLiteral("%1 (%2, %3)").arg(JointNumber(joint), Length(j.X), Length(j.Y));
    }
    QString JointList(const std::vector<int>& joints) const {
        std::vector<int> numbers;
        for (const int j : joints)
            numbers.push_back(s.Joints[static_cast<size_t>(j)].Number);
        return JointListText(numbers);
    }

    // "S2 = -7.0711 kN (tlak)" for a bar, "Ry2 = -5 kN" for a reaction; "?" when not found.
    QString Value(int unknown) const {
        const TStepUnknown& u = s.Unknowns[static_cast<size_t>(unknown)];
        if (!u.Value) {
            if (!u.StiffnessValue)
                return u.Name + QStringLiteral(" = ?");
            return u.Name + QStringLiteral(" = ") + Force(*u.StiffnessValue) +
                   QStringLiteral(" (") + str_KrokyTuhostni + u')';
        }
        QString text = u.Name + QStringLiteral(" = ") + Force(*u.Value);
        if (u.Kind == TStepUnknown::TKind::Bar && std::abs(*u.Value) > zero)
            text += QStringLiteral(" (") + (*u.Value > 0 ? str_Tah : str_Tlak) + u')';
        return text;
    }

    // The equation's left side: unknowns by name, known forces as their numbers.
    QString Equation(const TStepEquation& e, bool nameJoint) const {
        QString label;
        switch (e.Kind) {
        case TStepEquation::TKind::SumX:
            label = QStringLiteral("ΣFx");
            break;
        case TStepEquation::TKind::SumY:
            label = QStringLiteral("ΣFy");
            break;
        case TStepEquation::TKind::Moment:
            label = QStringLiteral("ΣM");
            break;
        }
        if (e.Kind == TStepEquation::TKind::Moment || (nameJoint && e.Joint >= 0))
            label += u'(' + JointNumber(e.Joint) + u')';
        QString sum;
        for (const TStepTerm& t : e.Terms) {
            if (t.Coefficient == 0)
                continue;
            const QString factor = t.Known
                                       ? bracketed(StepNumber(t.Value, t.Unknown < 0 ? 0 : zero))
                                       : Name(t.Unknown);
            appendTerm(sum, t.Coefficient, factor);
        }
        if (sum.isEmpty())
            sum = QStringLiteral("0");
        return label + QStringLiteral(" = 0:  ") + sum + QStringLiteral(" = 0");
    }

private:
    const TJointSteps& s;
    double zero;

    static QString bracketed(const QString& n) { return n.startsWith(u'-') ? u'(' + n + u')' : n; }

    // "+ 0.70711·S2", "- S1", "+ 10"; the first term without its plus.
    static void appendTerm(QString& sum, double coefficient, const QString& factor) {
        const bool negative = coefficient < 0;
        const QString magnitude = StepNumber(std::abs(coefficient));
        const QString term = magnitude == QStringLiteral("1") ? factor : magnitude + Times + factor;
        if (sum.isEmpty())
            sum = (negative ? QStringLiteral("-") : QString()) + term;
        else
            sum += (negative ? QStringLiteral(" - ") : QStringLiteral(" + ")) + term;
    }
};

// The page as headings, lines and pictures, written out by the text and HTML formatters.
struct TPageStep {
    QString Heading;
    QStringList Lines;
    const TJointStep* Step = nullptr;
};

struct TPage {
    QString Title;
    QStringList Intro;
    std::vector<TPageStep> Steps;
    QString ReactionsHeading, BarsHeading;
    QStringList Reactions, Bars, Closing;
};

QString determinacyText(const TJointSteps& s) {
    const QString unknowns = QString::number(s.Unknowns.size());
    const QString equations = QString::number(s.EquationCount);
    switch (s.Determinacy) {
    case TDeterminacy::Determinate:
        return fill(str_KrokyUrcita, {unknowns, equations});
    case TDeterminacy::Indeterminate:
        return fill(str_KrokyNeurcita, {unknowns, QString::number(s.Rank)});
    case TDeterminacy::Mechanism:
        break;
    }
    return fill(str_KrokyPohybliva, {equations, QString::number(s.Rank)});
}

} // namespace

QStringList UnitsLines(const TTrussUnits& u) {
    const QString force = u.JednotkaSily.isEmpty() ? str_BezJednotky : u.JednotkaSily;
    const QString length = !u.JednotkaDelky.isEmpty() ? u.JednotkaDelky
                           : u.Delka == 1             ? str_DilkyVykresu
                                                      : str_BezJednotky;
    QStringList lines{fill(str_KrokyJednotky, {force, length})};
    if (u.Delka != 1)
        lines << fill(str_KrokyDilek,
                      {StepNumber(u.Delka) +
                       (u.JednotkaDelky.isEmpty() ? QString() : u' ' + u.JednotkaDelky)});
    return lines;
}

namespace {

QStringList introLines(const TJointSteps& s) {
    QStringList lines{str_KrokyZnamenka};
    lines << UnitsLines(s.Units);
    if (s.Joints.empty()) {
        lines << str_KrokyPrazdna;
        return lines;
    }
    lines << determinacyText(s);
    if (s.Mechanism && s.Determinacy == TDeterminacy::Mechanism)
        lines << DescribeMechanism(*s.Mechanism) + u'.';
    return lines;
}

// Known forces and unknowns with their directions, of one joint of a step.
QStringList forceLines(const TWriter& w, const TJointStep& step, int joint) {
    QStringList known, open;
    for (const TStepForce& f : step.Forces) {
        if (f.Joint != joint)
            continue;
        if (f.Unknown < 0)
            known << str_Zatizeni + u' ' + w.Force(f.Value) + QStringLiteral(", ") +
                         w.Angle(f.Angle);
        else if (f.Known)
            known << w.Name(f.Unknown) + QStringLiteral(" = ") + w.Force(f.Value) +
                         QStringLiteral(", ") + w.Angle(f.Angle);
        else
            open << w.Name(f.Unknown) + QStringLiteral(" (") + w.Angle(f.Angle) + u')';
    }
    QStringList lines;
    if (!known.isEmpty())
        lines << str_ZnameSily + QStringLiteral(": ") + known.join(QStringLiteral("; "));
    if (!open.isEmpty())
        lines << str_Nezname + QStringLiteral(": ") + open.join(QStringLiteral(", "));
    return lines;
}

QString equationLine(const TWriter& w, const TStepEquation& e, bool nameJoint) {
    QString line = w.Equation(e, nameJoint);
    if (e.Check)
        line += QStringLiteral("  (") + str_Kontrola + QStringLiteral(", ") + str_Zbytek + u' ' +
                residualText(e.Residual) + u')';
    return line;
}

TPageStep pageStep(const TWriter& w, const TJointStep& step, int index) {
    TPageStep p;
    p.Step = &step;
    const QString n = QString::number(index + 1);
    switch (step.Kind) {
    case TJointStep::TKind::Joint:
        p.Heading = fill(str_KrokStycnik, {n, w.JointPlace(step.Joints.front())});
        p.Lines << forceLines(w, step, step.Joints.front());
        break;
    case TJointStep::TKind::Reactions:
        p.Heading = fill(str_KrokReakce, {n});
        p.Lines << fill(str_KrokReakceProc, {w.JointNumber(step.Joints.front())});
        break;
    case TJointStep::TKind::Block:
        p.Heading = fill(str_KrokBlok, {n, w.JointList(step.Joints)});
        p.Lines << fill(str_KrokBlokProc, {w.JointList(step.Joints)});
        for (const int j : step.Joints)
            for (const QString& line : forceLines(w, step, j))
                p.Lines << str_Stycnik + u' ' + w.JointNumber(j) + QStringLiteral(": ") + line;
        break;
    }
    const bool nameJoint = step.Kind == TJointStep::TKind::Block;
    for (const TStepEquation& e : step.Equations)
        p.Lines << equationLine(w, e, nameJoint);
    QStringList found;
    for (const int u : step.Found)
        found << w.Value(u);
    if (!found.isEmpty())
        p.Lines << str_Solution + QStringLiteral(": ") + found.join(QStringLiteral(", "));
    return p;
}

TPage page(const TJointSteps& s) {
    const TWriter w(s);
    TPage p;
    p.Title = str_KrokyNadpis;
    p.Intro = introLines(s);
    for (size_t i = 0; i < s.Steps.size(); ++i)
        p.Steps.push_back(pageStep(w, s.Steps[i], static_cast<int>(i)));
    QStringList open;
    for (size_t u = 0; u < s.Unknowns.size(); ++u) {
        const TStepUnknown& unknown = s.Unknowns[u];
        (unknown.Kind == TStepUnknown::TKind::Bar ? p.Bars : p.Reactions)
            << w.Value(static_cast<int>(u));
        if (!unknown.Value)
            open << unknown.Name;
    }
    p.ReactionsHeading = str_KrokyReakce;
    p.BarsHeading = str_KrokySily;
    if (!open.isEmpty() && !s.Joints.empty())
        p.Closing << fill(str_KrokyNelzeUrcit, {open.join(QStringLiteral(", "))});
    if (s.UnbalancedStep >= 0)
        p.Closing << fill(str_KrokyNevyvazene, {QString::number(s.UnbalancedStep + 1),
                                                residualText(s.UnbalancedResidual)});
    return p;
}

QString htmlParagraph(const QStringList& lines) {
    QStringList escaped;
    for (const QString& l : lines)
        escaped << l.toHtmlEscaped();
    return QStringLiteral("<p>") + escaped.join(QStringLiteral("<br>\n")) +
           QStringLiteral("</p>\n");
}

} // namespace

QString StepNumber(double v, double zero) {
    if (!std::isfinite(v))
        return FormatDecimals(v, 0);
    if (std::abs(v) <= zero || v == 0)
        return QStringLiteral("0");
    const int exponent = static_cast<int>(std::floor(std::log10(std::abs(v))));
    QString s = FormatDecimals(v, std::clamp(StepDigits - 1 - exponent, 0, MaxDecimals));
    const QChar sep = DecimalSeparator();
    if (s.contains(sep)) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(sep))
            s.chop(1);
    }
    return s == QStringLiteral("-0") ? QStringLiteral("0") : s;
}

QString EquationText(const TJointSteps& steps, const TStepEquation& equation, bool nameJoint) {
    return TWriter(steps).Equation(equation, nameJoint);
}

QString JointStepsText(const TJointSteps& s) {
    const TPage p = page(s);
    QString out = p.Title + u'\n' + p.Intro.join(u'\n') + u'\n';
    for (const TPageStep& step : p.Steps) {
        out += u'\n' + step.Heading + u'\n';
        for (const QString& line : step.Lines)
            out += QStringLiteral("  ") + line + u'\n';
    }
    auto section = [&out](const QString& heading, const QStringList& lines) {
        if (lines.isEmpty())
            return;
        out += u'\n' + heading + u'\n';
        for (const QString& line : lines)
            out += QStringLiteral("  ") + line + u'\n';
    };
    section(p.ReactionsHeading, p.Reactions);
    section(p.BarsHeading, p.Bars);
    if (!p.Closing.isEmpty())
        out += u'\n' + p.Closing.join(u'\n') + u'\n';
    return out;
}

QString JointStepsHtml(const TJointSteps& s) {
    const TPage p = page(s);
    QString out = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>") +
                  p.Title.toHtmlEscaped() + QStringLiteral("</title></head><body>\n<h2>") +
                  p.Title.toHtmlEscaped() + QStringLiteral("</h2>\n") + htmlParagraph(p.Intro);
    for (const TPageStep& step : p.Steps) {
        out += QStringLiteral("<h3>") + step.Heading.toHtmlEscaped() + QStringLiteral("</h3>\n");
        out += QStringLiteral("<p><img src=\"") + PngDataUri(FreeBodyImage(s, *step.Step)) +
               QStringLiteral("\"></p>\n");
        out += htmlParagraph(step.Lines);
    }
    if (!p.Reactions.isEmpty())
        out += QStringLiteral("<h3>") + p.ReactionsHeading.toHtmlEscaped() +
               QStringLiteral("</h3>\n") + htmlParagraph(p.Reactions);
    if (!p.Bars.isEmpty())
        out += QStringLiteral("<h3>") + p.BarsHeading.toHtmlEscaped() + QStringLiteral("</h3>\n") +
               htmlParagraph(p.Bars);
    if (!p.Closing.isEmpty())
        out += htmlParagraph(p.Closing);
    return out + QStringLiteral("</body></html>\n");
}
