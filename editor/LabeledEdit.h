// A read-only edit field with its caption label on the left, as the information panel uses.
#pragma once

#include <QLabel>
#include <QLineEdit>

class TLabeledEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    // The label is a sibling placed left of the field, spacing pixels apart.
    TLabeledEdit(const QString& name, const QString& caption, QWidget* parent);

    QString Caption() const { return EditLabel->text(); }
    void SetCaption(const QString& caption);
    // Puts the field's left edge at x and its top at y, the label ending spacing pixels before it.
    void Place(int x, int y, int width);

    QLabel* EditLabel;

private:
    void PlaceLabel();
    static constexpr int LabelSpacing = 3;
};
