// The truss window's analyses: the method setting, the panel's method field, mechanisms and the
// deformed shape drawn over the truss, and the truss's units.
#include "GuiFixture.h"
#include "RutinyUnit.h"
#include "SettingsStore.h"
#include "plsLangConsts.h"

#include <cmath>

namespace {

class AnalysisWindow : public TMainFormTest {
protected:
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(Dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    QString StatusText(TStatusPanel panel) const {
        return Main->StatusPanels[static_cast<size_t>(panel)]->text();
    }
};

TEST_F(AnalysisWindow, SettingsDefaultsAreStoredAndRestored) {
    EXPECT_TRUE(Main->aSolveByStiffness->isChecked());
    EXPECT_FALSE(Main->aShowDeformed->isChecked());
    EXPECT_TRUE(Main->Nastavit1->actions().contains(Main->aSolveByStiffness));
    EXPECT_TRUE(Main->Nastavit1->actions().contains(Main->aShowDeformed));
    Main->aSolveByStiffness->trigger();
    Main->aShowDeformed->trigger();
    ASSERT_TRUE(Main->close());
    const QMap<QString, QString> stored =
        ReadIniSection(OptionsIniFile(), QStringLiteral("TMainForm"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aSolveByStiffness_Checked")),
              QStringLiteral("False"));
    EXPECT_EQ(IniValue(stored, QStringLiteral("aShowDeformed_Checked")), QStringLiteral("True"));
    Main.reset();
    Main = std::make_unique<TMainForm>();
    Main->show();
    EXPECT_FALSE(Main->aSolveByStiffness->isChecked());
    EXPECT_TRUE(Main->aShowDeformed->isChecked());
}

} // namespace
