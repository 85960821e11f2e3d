// The translated message box built on QMessageBox.
#include "plsDialogs.h"

#include "plsLangMan.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {
// The platform's own captions, the defaults of the caption table.
const char* const StandardCaptions[MsgDlgBtnCount] = {
    "&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
    "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
} // namespace

TButtonCaption ButtonCaptions[MsgDlgBtnCount] = {
    {"lng_MsgBtnYes", QString::fromLatin1(StandardCaptions[mbYes])},
    {"lng_MsgBtnNo", QString::fromLatin1(StandardCaptions[mbNo])},
    {"lng_MsgBtnOK", QString::fromLatin1(StandardCaptions[mbOK])},
    {"lng_MsgBtnCancel", QString::fromLatin1(StandardCaptions[mbCancel])},
    {"lng_MsgBtnAbort", QString::fromLatin1(StandardCaptions[mbAbort])},
    {"lng_MsgBtnRetry", QString::fromLatin1(StandardCaptions[mbRetry])},
    {"lng_MsgBtnIgnore", QString::fromLatin1(StandardCaptions[mbIgnore])},
    {"lng_MsgBtnAll", QString::fromLatin1(StandardCaptions[mbAll])},
    {"lng_MsgBtnNoToAll", QString::fromLatin1(StandardCaptions[mbNoToAll])},
    {"lng_MsgBtnYesToAll", QString::fromLatin1(StandardCaptions[mbYesToAll])},
    {"lng_MsgBtnHelp", QString::fromLatin1(StandardCaptions[mbHelp])},
};

const char* const ButtonNames[MsgDlgBtnCount] = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};

std::function<int(const TMessageDlgRequest&)> MessageDlgHandler;

namespace {

constexpr int ButtonResults[MsgDlgBtnCount] = {
    mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrHelp};

QMessageBox::Icon IconOf(TMsgDlgType kind) {
    switch (kind) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole RoleOf(TMsgDlgBtn b) {
    switch (b) {
    case mbYes:
    case mbOK:
    case mbYesToAll:
    case mbAll:
        return QMessageBox::AcceptRole;
    case mbNo:
    case mbNoToAll:
        return QMessageBox::NoRole;
    case mbCancel:
    case mbAbort:
        return QMessageBox::RejectRole;
    case mbHelp:
        return QMessageBox::HelpRole;
    default:
        return QMessageBox::ActionRole;
    }
}

QString TitleOf(const QString& caption) {
    return caption.isEmpty() ? QApplication::applicationName() : caption;
}

// Narrower boxes are widened to this.
constexpr int MinimumBoxWidth = 300;

} // namespace

QString StandardButtonCaption(TMsgDlgBtn button) {
    return QString::fromUtf8(StandardCaptions[button]);
}

std::unique_ptr<QMessageBox> CreateTranslatedMessageBox(const QString& caption, const QString& text,
                                                        TMsgDlgType kind, TMsgDlgButtons buttons,
                                                        int x, int y) {
    auto box = std::make_unique<QMessageBox>(IconOf(kind), TitleOf(caption), text,
                                             QMessageBox::NoButton, QApplication::activeWindow());
    // The text is shown as it stands: no markup, no accelerators.
    box->setTextFormat(Qt::PlainText);
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        label->setObjectName(QStringLiteral("message"));
        label->setTextFormat(Qt::PlainText);
    }
    QPushButton* escape = nullptr;
    for (int b = 0; b < MsgDlgBtnCount; ++b) {
        if (!(buttons & Btn(static_cast<TMsgDlgBtn>(b))))
            continue;
        auto* button =
            box->addButton(ButtonCaptions[b].Caption, RoleOf(static_cast<TMsgDlgBtn>(b)));
        button->setObjectName(QString::fromLatin1(ButtonNames[b]));
        button->setProperty("modalResult", ButtonResults[b]);
        if (b == mbCancel || (b == mbNo && !escape) || (b == mbOK && !escape))
            escape = button;
    }
    if (escape)
        box->setEscapeButton(escape);
    box->adjustSize();
    // A narrow box is widened, its buttons keeping their place in the middle.
    // QMessageBox fixes its own size from its layout, so the button row is made wider.
    if (box->width() < MinimumBoxWidth) {
        if (auto* row = box->findChild<QDialogButtonBox*>()) {
            row->setCenterButtons(true);
            row->setMinimumWidth(row->sizeHint().width() + MinimumBoxWidth - box->width());
        }
        box->adjustSize();
    }
    const QRect screen = box->screen() ? box->screen()->availableGeometry() : QRect();
    QPoint at = screen.center() - QPoint(box->width() / 2, box->height() / 2);
    if (x >= 0)
        at.setX(x);
    if (y >= 0)
        at.setY(y);
    box->move(at);
    return box;
}

int TranslatedMessageDlg(const QString& caption, const QString& text, TMsgDlgType kind,
                         TMsgDlgButtons buttons, int x, int y, int helpContext,
                         const QString& helpFile) {
    Q_UNUSED(helpContext);
    Q_UNUSED(helpFile);
    if (MessageDlgHandler)
        return MessageDlgHandler({TitleOf(caption), text, kind, buttons});
    const auto box = CreateTranslatedMessageBox(caption, text, kind, buttons, x, y);
    box->exec();
    if (auto* pressed = box->clickedButton())
        return pressed->property("modalResult").toInt();
    return mrNone;
}

void TranslateDialogTexts() {
    // A language that does not name a button brings back its standard caption.
    for (int b = 0; b < MsgDlgBtnCount; ++b)
        ButtonCaptions[b].Caption =
            LanguageManager.GetConstant(QString::fromLatin1(ButtonCaptions[b].Key),
                                        StandardButtonCaption(static_cast<TMsgDlgBtn>(b)));
}

void PlainMessageBox(TMsgDlgType kind, const QString& text) {
    const QString title = TitleOf(QString());
    if (MessageDlgHandler) {
        MessageDlgHandler({title, text, kind, Btn(mbOK)});
        return;
    }
    QMessageBox box(IconOf(kind), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
