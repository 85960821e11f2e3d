// The frame window's pen bar, its style handlers and the screenshot command.
#include "FTrussForm.h"
#include "FileDialogs.h"
#include "Screenshot.h"
#include "ToolIcons.h"
#include "TrussMainWin.h"
#include "plsDialogs.h"
#include "plsLangConsts.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiSubWindow>

namespace {

constexpr int PenBarHeight = 72;

const Qt::PenStyle PenStyleOrder[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                      Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
const Qt::BrushStyle BrushStyleOrder[] = {Qt::SolidPattern, Qt::NoBrush,         Qt::HorPattern,
                                          Qt::VerPattern,   Qt::FDiagPattern,    Qt::BDiagPattern,
                                          Qt::CrossPattern, Qt::DiagCrossPattern};

} // namespace

void TMainForm::CreatePenBar() {
    PenBar = new QWidget(this);
    PenBar->setObjectName(QStringLiteral("PenBar"));
    PenBar->setFixedHeight(PenBarHeight);
    PenBar->setVisible(false);
    auto* row = new QHBoxLayout(PenBar);
    row->setContentsMargins(4, 2, 4, 2);
    auto button = [&](const char* name, const QIcon& icon, QButtonGroup* group) {
        auto* b = new QToolButton(PenBar);
        b->setObjectName(QString::fromLatin1(name));
        b->setIcon(icon);
        b->setIconSize(QSize(24, 24));
        b->setAutoRaise(true);
        if (group) {
            b->setCheckable(true);
            group->addButton(b);
        }
        row->addWidget(b);
        return b;
    };

    PenStyles = new QButtonGroup(this);
    QToolButton** pens[] = {&SolidPen, &DashPen, &DotPen, &DashDotPen, &DashDotDotPen, &ClearPen};
    const char* penNames[] = {"SolidPen",   "DashPen",       "DotPen",
                              "DashDotPen", "DashDotDotPen", "ClearPen"};
    for (int i = 0; i < 6; ++i) {
        *pens[i] = button(penNames[i], PenStyleIcon(PenStyleOrder[i]), PenStyles);
        (*pens[i])->setProperty("penStyle", i);
        connect(*pens[i], &QToolButton::clicked, this, [this, b = *pens[i]] { SetPenStyle(b); });
    }
    SolidPen->setChecked(true);
    PenColor = button("PenColor", ColourIcon(Style.PenColor), nullptr);
    connect(PenColor, &QToolButton::clicked, this, &TMainForm::PenColorClick);
    row->addSpacing(8);

    // The shape tools and the brush styles form one exclusive group.
    PenBarGroup = new QButtonGroup(this);
    const struct {
        QToolButton** Button;
        const char* Name;
        TDrawingTool Tool;
    } shapes[] = {{&btDtRoundRect, "btDtRoundRect", dtRoundRect},
                  {&btDtRectangle, "btDtRectangle", dtRectangle},
                  {&btDtLine, "btDtLine", dtLine},
                  {&btDtEllipse, "btDtEllipse", dtEllipse}};
    for (const auto& shape : shapes) {
        *shape.Button = button(shape.Name, ShapeIcon(shape.Tool), PenBarGroup);
        (*shape.Button)->setProperty("shapeTool", int{shape.Tool});
        connect(*shape.Button, &QToolButton::clicked, this,
                [this, b = *shape.Button] { SetDrawingTool(b); });
    }
    QToolButton** brushes[] = {&SolidBrush,     &ClearBrush,     &HorizontalBrush, &VerticalBrush,
                               &FDiagonalBrush, &BDiagonalBrush, &CrossBrush,      &DiagCrossBrush};
    const char* brushNames[] = {"SolidBrush",    "ClearBrush",     "HorizontalBrush",
                                "VerticalBrush", "FDiagonalBrush", "BDiagonalBrush",
                                "CrossBrush",    "DiagCrossBrush"};
    for (int i = 0; i < 8; ++i) {
        *brushes[i] = button(brushNames[i], BrushStyleIcon(BrushStyleOrder[i]), PenBarGroup);
        (*brushes[i])->setProperty("brushStyle", i);
        connect(*brushes[i], &QToolButton::clicked, this,
                [this, b = *brushes[i]] { SetBrushStyle(b); });
    }
    SolidBrush->setChecked(true);
    BrushColor = button("BrushColor", ColourIcon(Style.BrushColor), nullptr);
    connect(BrushColor, &QToolButton::clicked, this, &TMainForm::BrushColorClick);
    row->addSpacing(8);

    PenWidth = new QSpinBox(PenBar);
    PenWidth->setObjectName(QStringLiteral("PenWidth"));
    PenWidth->setMinimum(0);
    PenWidth->setValue(1);
    PenWidth->setWrapping(false);
    if (QLineEdit* edit = PenWidth->findChild<QLineEdit*>())
        edit->setObjectName(QStringLiteral("PenSize"));
    connect(PenWidth, &QSpinBox::textChanged, this, &TMainForm::PenSizeChange);
    row->addWidget(PenWidth);
    row->addStretch(1);
}

void TMainForm::SetPenStyle(QObject* sender) {
    const QVariant style = sender ? sender->property("penStyle") : QVariant();
    if (style.isValid())
        Style.PenStyle = static_cast<std::uint8_t>(style.toInt());
}

void TMainForm::SetBrushStyle(QObject* sender) {
    const QVariant style = sender ? sender->property("brushStyle") : QVariant();
    if (style.isValid())
        Style.BrushStyle = static_cast<std::uint8_t>(style.toInt());
}

void TMainForm::PenColorClick() {
    if (const auto colour = AskColour(this, Style.PenColor)) {
        Style.PenColor = *colour;
        PenColor->setIcon(ColourIcon(*colour));
    }
}

void TMainForm::BrushColorClick() {
    if (const auto colour = AskColour(this, Style.BrushColor)) {
        Style.BrushColor = *colour;
        BrushColor->setIcon(ColourIcon(*colour));
    }
}

void TMainForm::PenSizeChange() {
    Style.PenWidth = static_cast<std::int16_t>(PenWidth->value());
}

void TMainForm::PenButtonClick() {
    PenBar->setVisible(PenButton->isChecked());
}

void TMainForm::Screenshot1Click() {
    QApplication::beep();
    QWidget* window = ActiveTrussForm();
    if (!window)
        window = this;
    const QString caption = window->windowTitle();
    const TScreenshotOutcome saved = SaveScreenshotNamed(*window, caption, ScreenshotFolder);
    if (saved.Path.isEmpty()) {
        TranslatedMessageDlg(msg_Chyba,
                             msg_ScreenshotNelzeUlozit + QStringLiteral("\n\n") +
                                 saved.Failures.join(QStringLiteral("\n\n")),
                             mtError, Btn(mbOK));
        return;
    }
    const QString text = saved.InProgramFolder ? FormatConst(msg_ScreenshotSave, caption)
                                               : FormatConst(msg_ScreenshotSaveTo,
                                                             QDir::toNativeSeparators(saved.Path));
    TranslatedMessageDlg(QString(), text, mtInformation, Btn(mbOK));
}
