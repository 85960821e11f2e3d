// Tests of TTranslationTable: upper-cased keys, stable sorting, lookups and batch merging.
#include "LangFolder.h"
#include "plsLangMan.h"

#include "TableText.h"

#include <gtest/gtest.h>

#include <random>

namespace {

TEST(TranslationTable, StartsSortedAndEmpty) {
    const TTranslationTable table;
    EXPECT_TRUE(table.Sorted());
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.IndexOf("x"), -1);
    EXPECT_EQ(table.FirstWithPrefix("X"), -1);
}

TEST(TranslationTable, UnsortedKeepsTheOrderOfAddingAndSortingKeepsEqualKeysInThatOrder) {
    TTranslationTable table;
    table.SetSorted(false);
    table.Add("beta", "1");
    table.Add("Alpha", "2");
    table.Add("BETA", "3");
    table.Add("úhel", "4");
    table.Add("alpha", "5");
    EXPECT_EQ(Keys(table), QStringList({"BETA", "ALPHA", "BETA", "ÚHEL", "ALPHA"}));
    EXPECT_EQ(table.IndexOf("Beta"), 0);
    EXPECT_EQ(table.IndexOf("ALPHA"), 1);

    table.SetSorted(true);
    EXPECT_EQ(Keys(table), QStringList({"ALPHA", "ALPHA", "BETA", "BETA", "ÚHEL"}));
    EXPECT_EQ(Texts(table), QStringList({"2", "5", "1", "3", "4"}));
    EXPECT_EQ(table.IndexOf("alpha"), 0);
    EXPECT_EQ(table.IndexOf("beta"), 2);
    EXPECT_EQ(table.IndexOf("Úhel"), 4);
    EXPECT_EQ(table.IndexOf("gamma"), -1);
    EXPECT_EQ(table.IndexOf(""), -1);
}

// Enough entries that an unstable sort would reorder equal keys.
TEST(TranslationTable, SortingKeepsEveryRunOfEqualKeysInTheOrderOfAdding) {
    constexpr int Entries = 2000;
    constexpr int DistinctKeys = 7;
    TTranslationTable table;
    table.SetSorted(false);
    for (int i = 0; i < Entries; ++i)
        table.Add(QStringLiteral("key%1").arg((i * 5) % DistinctKeys), QString::number(i));
    table.SetSorted(true);
    ASSERT_EQ(table.Count(), Entries);
    for (int i = 1; i < table.Count(); ++i) {
        ASSERT_LE(table.Key(i - 1), table.Key(i));
        if (table.Key(i - 1) == table.Key(i)) {
            ASSERT_LT(table.Text(i - 1).toInt(), table.Text(i).toInt()) << i;
        }
    }
    EXPECT_EQ(table.Text(table.IndexOf("KEY0")), "0");
    EXPECT_EQ(table.Text(table.IndexOf("key3")), "2");
}

TEST(TranslationTable, AddingToASortedTablePlacesTheEntryAfterItsEqualKeys) {
    TTranslationTable table;
    table.Add("m", "first");
    table.Add("z", "z");
    table.Add("a", "a");
    table.Add("M", "second");
    EXPECT_EQ(Keys(table), QStringList({"A", "M", "M", "Z"}));
    EXPECT_EQ(Texts(table), QStringList({"a", "first", "second", "z"}));
    EXPECT_EQ(table.Text(table.IndexOf("m")), "first");
}

TEST(TranslationTable, AddOrReplaceChangesTheFirstEntryOfTheKeyOrAdds) {
    TTranslationTable table;
    table.Add("k", "1");
    table.Add("k", "2");
    table.AddOrReplace("K", "new");
    table.AddOrReplace("other", "3");
    EXPECT_EQ(Keys(table), QStringList({"K", "K", "OTHER"}));
    EXPECT_EQ(Texts(table), QStringList({"new", "2", "3"}));
}

TEST(TranslationTable, FirstWithPrefixComparesExactlyAndThePrefixRunIsContiguous) {
    TTranslationTable table;
    for (const char* key : {"TMAINFORM1.X", "TMAINFORM.SELF.CAPTION", "TMAINFORM-A", "TMAIN.B",
                            "TMAINFORM.BUTTON1.CAPTION", "TFORMMATRIX.SELF.CAPTION", "TMAINFORM.Z"})
        table.Add(key, key);
    const int first = table.FirstWithPrefix("TMAINFORM.");
    ASSERT_GE(first, 0);
    EXPECT_EQ(table.Key(first), "TMAINFORM.BUTTON1.CAPTION");
    int run = 0;
    for (int i = first; i < table.Count() && table.Key(i).startsWith("TMAINFORM."); ++i)
        ++run;
    int all = 0;
    for (int i = 0; i < table.Count(); ++i)
        all += table.Key(i).startsWith("TMAINFORM.") ? 1 : 0;
    EXPECT_EQ(run, 3);
    EXPECT_EQ(all, run);
    EXPECT_EQ(table.FirstWithPrefix("tmainform."), -1);
    EXPECT_EQ(table.FirstWithPrefix("TNONE."), -1);
}

TEST(TranslationTable, ClearEmptiesButKeepsTheMode) {
    TTranslationTable table;
    table.SetSorted(false);
    table.Add("a", "1");
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_FALSE(table.Sorted());
}

// A batch merge must leave exactly what the single operations in the same order leave, sorted or
// not, in add and in replace mode, also with keys repeated inside the batch.
TEST(TranslationTable, MergeEqualsTheSameSingleOperations) {
    constexpr int Rounds = 200;
    constexpr int MaxEntries = 30;
    constexpr int KeyRange = 12;
    std::mt19937 random(7);
    const auto key = [&] {
        const char* forms[] = {"key%1", "KEY%1", "Key%1"};
        return QString(forms[random() % 3]).arg(random() % KeyRange);
    };
    for (int round = 0; round < Rounds; ++round) {
        const bool sorted = round % 2 == 0;
        const bool replace = round % 4 >= 2;
        TTranslationTable single, merged;
        single.SetSorted(sorted);
        merged.SetSorted(sorted);
        const int before = static_cast<int>(random() % MaxEntries);
        for (int i = 0; i < before; ++i) {
            const QString k = key();
            single.Add(k, QString::number(i));
            merged.Add(k, QString::number(i));
        }
        QList<TTranslationTable::TEntry> batch;
        const int count = static_cast<int>(random() % MaxEntries);
        for (int i = 0; i < count; ++i) {
            batch.append({key(), QStringLiteral("b%1").arg(i)});
            if (replace)
                single.AddOrReplace(batch.last().Key, batch.last().Text);
            else
                single.Add(batch.last().Key, batch.last().Text);
        }
        merged.Merge(batch, replace);
        ASSERT_EQ(Keys(merged), Keys(single)) << round;
        ASSERT_EQ(Texts(merged), Texts(single)) << round;
        EXPECT_EQ(merged.Sorted(), sorted);
    }
}

// Merging a batch of many keys into a large sorted table stays far from quadratic time.
TEST(TranslationTable, MergesLargeBatchesQuickly) {
    constexpr int Entries = 200000;
    TTranslationTable table;
    QList<TTranslationTable::TEntry> batch;
    for (int i = 0; i < Entries; ++i)
        batch.append({QStringLiteral("k%1").arg((i * 7919) % Entries), QString::number(i)});
    table.Merge(batch, false);
    ASSERT_EQ(table.Count(), Entries);
    for (auto& entry : batch)
        entry.Key = QStringLiteral("new%1").arg(entry.Key);
    table.Merge(batch, true);
    ASSERT_EQ(table.Count(), 2 * Entries);
    for (int i = 1; i < table.Count(); ++i)
        ASSERT_LE(table.Key(i - 1), table.Key(i));
    EXPECT_EQ(table.Text(table.IndexOf("newk7919")), "1");
}

} // namespace
