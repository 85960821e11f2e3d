// The bitmap-size dialog: width and height of a new bitmap.
#pragma once

#include <QDialog>
#include <QLineEdit>

class TNewBMPForm : public QDialog {
    Q_OBJECT

public:
    explicit TNewBMPForm(QWidget* parent = nullptr);

    QLineEdit* WidthEdit;
    QLineEdit* HeightEdit;
};
