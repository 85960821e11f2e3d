// The update question dialog, laid out at the positions of its form design.
#include "FUpdateUnit.h"

#include "plsDialogs.h"
#include "plsTranslateForm.h"

namespace {

constexpr int ClientWidth = 281;
constexpr int ClientHeight = 164;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;

} // namespace

TFormUpdate::TFormUpdate(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("FormUpdate"));
    setWindowTitle(QStringLiteral("New_version_available"));
    setFixedSize(ClientWidth, ClientHeight);
    auto label = [this](const char* name, const QString& text, int x, int y) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->move(x, y);
        l->adjustSize();
        return l;
    };
    Label1 = label("Label1", QStringLiteral("Je dostupná nová verze programu."), 10, 16);
    Label2 = label("Label2", QStringLiteral("Vaše verze:"), 10, 48);
    Label3 = label("Label3", QStringLiteral("Nová verze:"), 10, 64);
    lbl_YourVersion = label("lbl_YourVersion", QStringLiteral(" "), 114, 48);
    lbl_WebVersion = label("lbl_WebVersion", QStringLiteral(" "), 114, 64);
    lbl_File = label("lbl_File", QString(), 8, 112);
    Label4 = label("Label4", QStringLiteral("Přejete si nahrát novou verzi?"), 50, 96);
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    Label4->adjustSize();

    auto button = [this](const char* name, const QString& text, int x, int result) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(x, 128, ButtonWidth, ButtonHeight);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    Button1 = button("Button1", QStringLiteral("Ano"), 40, mrYes);
    Button2 = button("Button2", QStringLiteral("Ne"), 160, mrCancel);
    Button1->setDefault(true);
    TranslateSelf(this);
    FitLabels();
}

void TFormUpdate::FitLabels() {
    // The labels keep their places; a translated text takes the width it needs.
    for (QLabel* l : findChildren<QLabel*>())
        l->adjustSize();
}

bool TFormUpdate::event(QEvent* event) {
    if (event->type() == TLanguageChangedEvent::EventType()) {
        TranslateSelf(this);
        FitLabels();
        return true;
    }
    return QDialog::event(event);
}
