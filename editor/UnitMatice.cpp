// The matrix window: a tool window without a close box, shown and hidden by the matrix option.
#include "UnitMatice.h"

#include "FormPlacement.h"
#include "plsTranslateForm.h"

#include <QFont>
#include <QVBoxLayout>

namespace {

constexpr int DesignWidth = 231;
constexpr int DesignHeight = 196;
constexpr int ListingFontPixels = 9;

const QString Section = QStringLiteral("TFormMatrix");

} // namespace

TFormMatrix::TFormMatrix(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Memo1(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("FormMatrix"));
    setWindowTitle(QStringLiteral("MaticeRovnic"));
    resize(DesignWidth, DesignHeight);

    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Lucida Sans Typewriter"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(ListingFontPixels);
    Memo1->setFont(font);
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::Text, p.color(QPalette::ToolTipText));
    Memo1->setPalette(p);
    Memo1->setPlainText(QStringLiteral("SAMPLE\nThe coefficients: \n"
                                       "    1.0    2.0    3.0    4.0\n"
                                       "    5.0    6.0    7.0    8.0\n"
                                       "    9.0   10.0   11.0   12.0\n"
                                       "   13.0   14.0   15.0   16.0\n"
                                       "The constants:\n    1.0\n    2.0\n    3.0\n    4.0\n"
                                       "ERROR: \nThere is no solution to this set of equations."));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);

    RestorePlacement(*this, ReadIniSection(OptionsIniFile(), Section));
    TranslateSelf(this);
}

bool TFormMatrix::event(QEvent* event) {
    // After a language change the caption follows; the listing keeps its texts until the next
    // refresh of a truss window.
    if (event->type() == TLanguageChangedEvent::EventType()) {
        TranslateSelf(this);
        return true;
    }
    return QWidget::event(event);
}

TFormMatrix::~TFormMatrix() {
    if (!placementSaved)
        SavePlacement();
}

void TFormMatrix::ShowListing(const QStringList& lines) {
    Memo1->setPlainText(lines.join(u'\n'));
}

void TFormMatrix::SavePlacement() {
    WriteIniSection(OptionsIniFile(), Section, PlacementValues(*this));
    placementSaved = true;
}
