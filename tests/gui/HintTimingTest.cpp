// Hints of the frame, its palette and a truss window's panel stay up five seconds.
#include "GuiFixture.h"

#include <QLabel>
#include <QSet>

namespace {

using Hints = TMainFormTest;

TEST_F(Hints, EveryHintOfTheFrameAndATrussWindowStaysUpFiveSeconds) {
    NewWindow();
    QSet<QString> hinted;
    for (QWidget* w : Main->findChildren<QWidget*>()) {
        if (w->toolTip().isEmpty())
            continue;
        hinted << w->objectName();
        EXPECT_EQ(w->toolTipDuration(), 5000) << w->objectName().toStdString();
    }
    // Palette tools, the force and grid fields, a display option box and the panel's fields.
    for (const char* name :
         {"btDTPrut", "btDtMove", "btDtForceLeft", "RxSpinEditSila", "RxSpinEditGrid",
          "ChbZobrazSily", "PocetVazeb", "StupStNeu", "LabeledERR"})
        EXPECT_TRUE(hinted.contains(QString::fromLatin1(name))) << name;
}

// A language file may give a hint to a control that has none.
TEST_F(Hints, AHintGivenLaterStaysUpFiveSecondsToo) {
    auto* label = new QLabel(Main.get());
    EXPECT_EQ(label->toolTipDuration(), -1);
    label->setProperty("toolTip", QStringLiteral("Pozdější nápověda"));
    EXPECT_EQ(label->toolTipDuration(), 5000);
}

} // namespace
