// The per-user settings store and the usage stamp.
#include "SettingsStore.h"
#include "RutinyUnit.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

const QString Section = QStringLiteral("Test");

TEST(SettingsStore, LivesInTheTemporaryConfigFolder) {
    TSettingsStore store;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    EXPECT_TRUE(store.FileName().startsWith(config)) << store.FileName().toStdString();
    EXPECT_TRUE(store.FileName().endsWith(QStringLiteral("Trabex/Trabex.ini")));
}

TEST(SettingsStore, IntegerWrittenAsTextByAnotherToolCounts) {
    {
        QSettings other(TSettingsStore().FileName(), QSettings::IniFormat);
        other.setValue(QStringLiteral("Test/Counter"), QStringLiteral("7"));
    }
    TSettingsStore store;
    EXPECT_EQ(store.ReadInteger(Section, QStringLiteral("Counter"), 0), 7);
    EXPECT_EQ(store.Increment(Section, QStringLiteral("Counter")), 8);
    QSettings check(store.FileName(), QSettings::IniFormat);
    EXPECT_EQ(check.value(QStringLiteral("Test/Counter")).toString(), QStringLiteral("8"));
}

TEST(SettingsStore, DefaultsForMissingAndUnreadable) {
    TSettingsStore store;
    store.WriteString(Section, QStringLiteral("Word"), QStringLiteral("abc"));
    EXPECT_EQ(store.ReadInteger(Section, QStringLiteral("Word"), -3), -3);
    EXPECT_EQ(store.ReadInteger(Section, QStringLiteral("Missing"), 11), 11);
    EXPECT_EQ(store.ReadString(Section, QStringLiteral("Missing"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST(SettingsStore, BooleansAreDigits) {
    TSettingsStore store;
    store.WriteString(Section, QStringLiteral("B1"), QStringLiteral("1"));
    store.WriteString(Section, QStringLiteral("B0"), QStringLiteral("0"));
    store.WriteString(Section, QStringLiteral("Bx"), QStringLiteral("abc"));
    EXPECT_TRUE(store.ReadBool(Section, QStringLiteral("B1"), false));
    EXPECT_FALSE(store.ReadBool(Section, QStringLiteral("B0"), true));
    EXPECT_TRUE(store.ReadBool(Section, QStringLiteral("Bx"), true));
    EXPECT_FALSE(store.ReadBool(Section, QStringLiteral("Bx"), false));
    store.WriteBool(Section, QStringLiteral("B2"), true);
    EXPECT_EQ(store.ReadString(Section, QStringLiteral("B2"), QString()), QStringLiteral("1"));
}

TEST(SettingsStore, TwoOpenStoresSeeEachOthersWrites) {
    auto first = std::make_unique<TSettingsStore>();
    TSettingsStore second;
    first->WriteString(Section, QStringLiteral("Shared"), QString::fromUtf8("Souřadnice"));
    EXPECT_EQ(second.ReadString(Section, QStringLiteral("Shared"), QString()),
              QString::fromUtf8("Souřadnice"));
    second.Increment(Section, QStringLiteral("Both"));
    first->Increment(Section, QStringLiteral("Both"));
    first.reset();
    EXPECT_EQ(second.ReadInteger(Section, QStringLiteral("Both"), 0), 2);
    EXPECT_EQ(TSettingsStore().ReadInteger(Section, QStringLiteral("Both"), 0), 2);
}

TEST(SettingsStore, CounterStopsAtTheLargestInteger) {
    TSettingsStore store;
    store.WriteInteger(Section, QStringLiteral("Max"), INT_MAX);
    EXPECT_EQ(store.Increment(Section, QStringLiteral("Max")), INT_MAX);
}

TEST(UsageStamp, EndsWithExecutableAndMachine) {
    const QString stamp = UsageStamp();
    EXPECT_TRUE(stamp.contains(u' ' + GetExePath() + QStringLiteral(" SN:")));
    EXPECT_TRUE(stamp.endsWith(GetVolumeSerial(GetExeDir())));
    EXPECT_FALSE(stamp.startsWith(u' '));
}

} // namespace
