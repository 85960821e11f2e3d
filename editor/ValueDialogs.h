// The small dialogs in which the values of bars, supports, loads and joints are typed in.
#pragma once

#include "Entities.h"
#include "TrussFileContent.h"

#include <QDialog>
#include <QLocale>
#include <QPoint>

#include <functional>
#include <vector>

class QComboBox;
class QFormLayout;
class QLineEdit;

// When set, value dialogs are not shown: the handler gets the dialog with its fields filled
// (each reachable by its object name), may change them and press OK through accept(), and
// returns the dialog's result.
extern std::function<int(QDialog&)> ValueDialogHandler;

// Shows the dialog modally (or hands it to ValueDialogHandler) and returns its result.
int ExecValueDialog(QDialog& dialog);

// Labelled fields with OK and Cancel. Numbers are typed and shown in the user's locale. OK checks
// every field and the values as a whole; the first that is not valid is named in a warning and
// the dialog stays open with that field focused.
class TValueDialog : public QDialog {
    Q_OBJECT

public:
    TValueDialog(QWidget* parent, const QString& title);

    void accept() override;
    // Whether any field differs from what the dialog showed at first.
    bool Changed() const;

protected:
    // A field for a 32-bit integer, one for any finite real, and a row of two integers.
    QLineEdit* AddInteger(const char* name, const QString& label, int value);
    QLineEdit* AddReal(const char* name, const QString& label, double value);
    // A real that must also be greater than 0.
    QLineEdit* AddPositive(const char* name, const QString& label, double value);
    void AddPoint(const char* nameX, const char* nameY, const QString& label, QPoint value);
    QComboBox* AddChoice(const char* name, const QString& label, const QStringList& items,
                         int current);
    // A field of any text.
    QLineEdit* AddText(const char* name, const QString& label, const QString& value);
    // The value of a field that passed the checks.
    int IntegerOf(const char* name) const;
    QString TextOf(const char* name) const;
    double RealOf(const char* name) const;
    QPoint PointOf(const char* nameX, const char* nameY) const;
    // What is wrong with the values together, or an empty text.
    virtual QString CheckValues() const { return {}; }

private:
    struct TField {
        QLineEdit* Edit;
        QString Label;
        bool Integer;
        bool Positive;
        QString Initial;
    };
    QLineEdit* AddField(const char* name, const QString& label, const QString& text, bool integer,
                        QWidget* row = nullptr, bool positive = false);
    QLineEdit* Field(const char* name) const;
    // What is wrong with one field, or an empty text.
    QString CheckField(const TField& field) const;
    void Refuse(QLineEdit* field, const QString& text);

    QLocale locale;
    QFormLayout* form;
    std::vector<TField> fields;
    std::vector<std::pair<QComboBox*, int>> choices;
    std::vector<std::pair<QLineEdit*, QString>> texts;
};

// A bar's two ends and its axial stiffness EA.
class TBarDialog : public TValueDialog {
    Q_OBJECT

public:
    TBarDialog(QWidget* parent, const TTrussItems::TBar& bar);
    TTrussItems::TBar Values() const;

protected:
    QString CheckValues() const override;

private:
    TTrussItems::TBar bar;
};

// A support's directions, and its position when it is placed anew.
class TSupportDialog : public TValueDialog {
    Q_OBJECT

public:
    TSupportDialog(QWidget* parent, const TTrussItems::TSupport& support, bool withPosition);
    TTrussItems::TSupport Values() const;

private:
    TTrussItems::TSupport support;
    bool withPosition;
    QComboBox* fixed;
};

// A load's magnitude and angle, and its position when it is placed anew.
class TForceDialog : public TValueDialog {
    Q_OBJECT

public:
    TForceDialog(QWidget* parent, const TTrussItems::TLoad& load, bool withPosition);
    TTrussItems::TLoad Values() const;

private:
    TTrussItems::TLoad load;
    bool withPosition;
};

// The point a joint is moved to.
class TJointDialog : public TValueDialog {
    Q_OBJECT

public:
    TJointDialog(QWidget* parent, QPoint at);
    QPoint Value() const;
};

// The length of one drawing unit in the length unit, and the names of the length and force units.
class TUnitsDialog : public TValueDialog {
    Q_OBJECT

public:
    TUnitsDialog(QWidget* parent, const TTrussUnits& units);
    TTrussUnits Values() const;
};
