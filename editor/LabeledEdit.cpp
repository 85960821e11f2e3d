// The labelled edit field of the information panel.
#include "LabeledEdit.h"

TLabeledEdit::TLabeledEdit(const QString& name, const QString& caption, QWidget* parent)
    : QLineEdit(parent), EditLabel(new QLabel(caption, parent)) {
    setObjectName(name);
    EditLabel->setObjectName(name + QStringLiteral("_EditLabel"));
    EditLabel->setBuddy(this);
    setReadOnly(true);
    setFrame(true);
    QPalette p = palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    setPalette(p);
}

void TLabeledEdit::SetCaption(const QString& caption) {
    EditLabel->setText(caption);
    PlaceLabel();
}

void TLabeledEdit::Place(int x, int y, int width) {
    setGeometry(x, y, width, sizeHint().height());
    PlaceLabel();
}

void TLabeledEdit::PlaceLabel() {
    EditLabel->adjustSize();
    EditLabel->move(x() - LabelSpacing - EditLabel->width(),
                    y() + (height() - EditLabel->height()) / 2);
}
