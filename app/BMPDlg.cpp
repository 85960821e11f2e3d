// The bitmap-size dialog with its two fields and OK and Cancel.
#include "BMPDlg.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ClientWidth = 233;
constexpr int ClientHeight = 120;
} // namespace

TNewBMPForm::TNewBMPForm(QWidget* parent)
    : QDialog(parent), WidthEdit(new QLineEdit(this)), HeightEdit(new QLineEdit(this)) {
    setObjectName(QStringLiteral("NewBMPForm"));
    setWindowTitle(QStringLiteral("Bitmap Dimensions"));
    setFixedSize(ClientWidth, ClientHeight);
    WidthEdit->setObjectName(QStringLiteral("WidthEdit"));
    HeightEdit->setObjectName(QStringLiteral("HeightEdit"));

    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::Box);
    bevel->setFrameShadow(QFrame::Sunken);
    auto* grid = new QGridLayout(bevel);
    auto label = [&](const char* name, const QString& text, QLineEdit* buddy, int row) {
        auto* l = new QLabel(text, bevel);
        l->setObjectName(QString::fromLatin1(name));
        l->setBuddy(buddy);
        grid->addWidget(l, row, 0);
        grid->addWidget(buddy, row, 1);
    };
    label("Label1", QStringLiteral("&Width"), WidthEdit, 0);
    label("Label2", QStringLiteral("&Height"), HeightEdit, 1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(bevel, 1);
    layout->addLayout(buttons);
    ok->setFocus();
}
