// Sentences about mechanisms from the translatable texts.
#include "MechanismText.h"

#include "plsLangConsts.h"

namespace {

// More joints than this are cut short to the first ones and the last.
constexpr size_t MaxListedJoints = 8;

QString pointText(double x, double y) {
    return QStringLiteral("(%1, %2)").arg(QString::number(x, 'f', 0), QString::number(y, 'f', 0));
}

QString listText(const QStringList& items) {
    if (items.size() <= 1)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + u' ' + str_ListAnd + u' ' +
           items.last();
}

} // namespace

QString JointListText(const std::vector<int>& numbers) {
    QStringList items;
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (numbers.size() > MaxListedJoints && i == MaxListedJoints - 1) {
            items << QStringLiteral("…") << QString::number(numbers.back());
            break;
        }
        items << QString::number(numbers[i]);
    }
    return listText(items);
}

QString DescribeMechanism(const TMechanism& m) {
    const bool one = m.MovingJoints.size() == 1;
    switch (m.Kind) {
    case TMechanismKind::None:
        return str_MechNone;
    case TMechanismKind::Translation: {
        QStringList directions;
        if (m.AlongX)
            directions << QStringLiteral("x");
        if (m.AlongY)
            directions << QStringLiteral("y");
        return FormatConst(str_MechTranslation, listText(directions));
    }
    case TMechanismKind::Rotation:
        return FormatConst(str_MechRotation, pointText(m.CentreX, m.CentreY));
    case TMechanismKind::Internal:
        return FormatConst(one ? str_MechJoint : str_MechJoints, JointListText(m.MovingJoints));
    case TMechanismKind::Infinitesimal:
        return FormatConst(one ? str_MechInfinitesimalJoint : str_MechInfinitesimalJoints,
                           JointListText(m.MovingJoints));
    }
    return {};
}
