// The value dialogs: locale-aware number fields, the checks at OK, and the four item dialogs.
#include "ValueDialogs.h"

#include "plsDialogs.h"
#include "plsLangConsts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

std::function<int(QDialog&)> ValueDialogHandler;

int ExecValueDialog(QDialog& dialog) {
    if (ValueDialogHandler)
        return ValueDialogHandler(dialog);
    return dialog.exec();
}

namespace {

constexpr int FieldWidth = 110;

// The support kinds of the choice, in its order.
constexpr TFixedSet SupportKinds[] = {P_X | P_Y, P_X, P_Y};

QLocale UserLocale() {
    QLocale locale;
    // Coordinates are read back as typed; a group separator would only be in the way.
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

} // namespace

TValueDialog::TValueDialog(QWidget* parent, const QString& title)
    : QDialog(parent), locale(UserLocale()) {
    setObjectName(QStringLiteral("ValueDialog"));
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    form = new QFormLayout;
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("Buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TValueDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TValueDialog::reject);
    layout->addWidget(buttons);
}

QLineEdit* TValueDialog::AddField(const char* name, const QString& label, const QString& text,
                                  bool integer, QWidget* row, bool positive) {
    auto* edit = new QLineEdit(text, this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(FieldWidth);
    if (integer) {
        auto* validator = new QIntValidator(edit);
        validator->setLocale(locale);
        edit->setValidator(validator);
    } else {
        auto* validator = new QDoubleValidator(edit);
        validator->setLocale(locale);
        if (positive)
            validator->setBottom(0);
        edit->setValidator(validator);
    }
    if (!row)
        form->addRow(label, edit);
    fields.push_back({edit, label, integer, positive, text});
    return edit;
}

QLineEdit* TValueDialog::AddInteger(const char* name, const QString& label, int value) {
    return AddField(name, label, locale.toString(value), true);
}

QLineEdit* TValueDialog::AddReal(const char* name, const QString& label, double value) {
    return AddField(name, label, locale.toString(value, 'g', QLocale::FloatingPointShortest),
                    false);
}

QLineEdit* TValueDialog::AddPositive(const char* name, const QString& label, double value) {
    return AddField(name, label, locale.toString(value, 'g', QLocale::FloatingPointShortest), false,
                    nullptr, true);
}

void TValueDialog::AddPoint(const char* nameX, const char* nameY, const QString& label,
                            QPoint value) {
    auto* row = new QWidget(this);
    auto* pair = new QHBoxLayout(row);
    pair->setContentsMargins(0, 0, 0, 0);
    pair->addWidget(
        AddField(nameX, label + QStringLiteral(" (x)"), locale.toString(value.x()), true, row));
    pair->addWidget(
        AddField(nameY, label + QStringLiteral(" (y)"), locale.toString(value.y()), true, row));
    form->addRow(label, row);
}

QComboBox* TValueDialog::AddChoice(const char* name, const QString& label, const QStringList& items,
                                   int current) {
    auto* box = new QComboBox(this);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setCurrentIndex(current);
    form->addRow(label, box);
    choices.emplace_back(box, current);
    return box;
}

QLineEdit* TValueDialog::AddText(const char* name, const QString& label, const QString& value) {
    auto* edit = new QLineEdit(value, this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(FieldWidth);
    form->addRow(label, edit);
    texts.emplace_back(edit, value);
    return edit;
}

bool TValueDialog::Changed() const {
    return std::any_of(fields.begin(), fields.end(),
                       [](const TField& f) { return f.Edit->text() != f.Initial; }) ||
           std::any_of(choices.begin(), choices.end(),
                       [](const auto& c) { return c.first->currentIndex() != c.second; }) ||
           std::any_of(texts.begin(), texts.end(),
                       [](const auto& t) { return t.first->text() != t.second; });
}

QLineEdit* TValueDialog::Field(const char* name) const {
    return findChild<QLineEdit*>(QString::fromLatin1(name));
}

int TValueDialog::IntegerOf(const char* name) const {
    return locale.toInt(Field(name)->text());
}

double TValueDialog::RealOf(const char* name) const {
    return locale.toDouble(Field(name)->text());
}

QString TValueDialog::TextOf(const char* name) const {
    return Field(name)->text();
}

QPoint TValueDialog::PointOf(const char* nameX, const char* nameY) const {
    return {IntegerOf(nameX), IntegerOf(nameY)};
}

void TValueDialog::Refuse(QLineEdit* field, const QString& text) {
    TranslatedMessageDlg(windowTitle(), text, mtWarning, Btn(mbOK));
    if (field) {
        field->setFocus();
        field->selectAll();
    }
}

QString TValueDialog::CheckField(const TField& f) const {
    // The validators keep out what can never become a number, but a field may still hold an
    // unfinished one ("", "-", "1e"), and setText puts anything there.
    bool ok = false;
    if (f.Integer) {
        locale.toInt(f.Edit->text(), &ok);
        return ok ? QString() : FormatConst(msg_NeniCeleCislo, f.Label);
    }
    const double v = locale.toDouble(f.Edit->text(), &ok);
    if (f.Positive)
        return ok && std::isfinite(v) && v > 0 ? QString() : FormatConst(msg_NeniKladne, f.Label);
    return ok && std::isfinite(v) ? QString() : FormatConst(msg_NeniCislo, f.Label);
}

void TValueDialog::accept() {
    for (const TField& f : fields)
        if (const QString wrong = CheckField(f); !wrong.isEmpty()) {
            Refuse(f.Edit, wrong);
            return;
        }
    if (const QString wrong = CheckValues(); !wrong.isEmpty()) {
        Refuse(nullptr, wrong);
        return;
    }
    QDialog::accept();
}

TBarDialog::TBarDialog(QWidget* parent, const TTrussItems::TBar& bar)
    : TValueDialog(parent, str_Prut), bar(bar) {
    setObjectName(QStringLiteral("BarDialog"));
    AddPoint("SaX", "SaY", str_KonecA, {bar.SaX, bar.SaY});
    AddPoint("SbX", "SbY", str_KonecB, {bar.SbX, bar.SbY});
    AddPositive("EA", QStringLiteral("EA"), bar.EA);
}

TTrussItems::TBar TBarDialog::Values() const {
    TTrussItems::TBar b = bar;
    const QPoint a = PointOf("SaX", "SaY"), c = PointOf("SbX", "SbY");
    b.SaX = a.x();
    b.SaY = a.y();
    b.SbX = c.x();
    b.SbY = c.y();
    b.EA = RealOf("EA");
    return b;
}

QString TBarDialog::CheckValues() const {
    return PointOf("SaX", "SaY") == PointOf("SbX", "SbY") ? msg_KonecPrutu : QString();
}

TSupportDialog::TSupportDialog(QWidget* parent, const TTrussItems::TSupport& support,
                               bool withPosition)
    : TValueDialog(parent, str_Podpera), support(support), withPosition(withPosition) {
    setObjectName(QStringLiteral("SupportDialog"));
    if (withPosition)
        AddPoint("X", "Y", str_Poloha, {support.X, support.Y});
    int kind = 0;
    for (int i = 0; i < 3; ++i)
        if (SupportKinds[i] == support.Fixed)
            kind = i;
    fixed = AddChoice("Fixed", str_Reakce, {str_PodperaXY, str_PodperaX, str_PodperaY}, kind);
}

TTrussItems::TSupport TSupportDialog::Values() const {
    TTrussItems::TSupport s = support;
    if (withPosition) {
        const QPoint p = PointOf("X", "Y");
        s.X = p.x();
        s.Y = p.y();
    }
    s.Fixed = SupportKinds[std::clamp(fixed->currentIndex(), 0, 2)];
    return s;
}

TForceDialog::TForceDialog(QWidget* parent, const TTrussItems::TLoad& load, bool withPosition)
    : TValueDialog(parent, str_Sila), load(load), withPosition(withPosition) {
    setObjectName(QStringLiteral("ForceDialog"));
    if (withPosition)
        AddPoint("X", "Y", str_Poloha, {load.X, load.Y});
    AddReal("Sila", str_Velikost, load.Sila);
    AddReal("Uhel", str_Uhel, load.Uhel);
}

TTrussItems::TLoad TForceDialog::Values() const {
    TTrussItems::TLoad f = load;
    if (withPosition) {
        const QPoint p = PointOf("X", "Y");
        f.X = p.x();
        f.Y = p.y();
    }
    f.Sila = RealOf("Sila");
    f.Uhel = RealOf("Uhel");
    return f;
}

TJointDialog::TJointDialog(QWidget* parent, QPoint at) : TValueDialog(parent, str_Stycnik) {
    setObjectName(QStringLiteral("JointDialog"));
    AddPoint("X", "Y", str_Poloha, at);
}

QPoint TJointDialog::Value() const {
    return PointOf("X", "Y");
}

TUnitsDialog::TUnitsDialog(QWidget* parent, const TTrussUnits& units)
    : TValueDialog(parent, str_JednotkyTitulek) {
    AddPositive("Delka", str_DelkaJednotky, units.Delka);
    AddText("JednotkaDelky", str_JednotkaDelky, units.JednotkaDelky);
    AddText("JednotkaSily", str_JednotkaSily, units.JednotkaSily);
}

TTrussUnits TUnitsDialog::Values() const {
    TTrussUnits units;
    units.Delka = RealOf("Delka");
    units.JednotkaDelky = CleanUnitName(TextOf("JednotkaDelky"));
    units.JednotkaSily = CleanUnitName(TextOf("JednotkaSily"));
    return units;
}
