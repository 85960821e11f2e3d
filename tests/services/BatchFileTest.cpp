// The start-up command file: sections, letter case, order of opening and deleting, links.
#include "BatchFileExecute.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>
#include <unistd.h>

namespace {

// A temporary folder made the current working directory for one test.
class CommandFile : public ::testing::Test {
protected:
    void SetUp() override {
        previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
    }
    void TearDown() override { QDir::setCurrent(previous); }

    void Write(const QString& name, const QByteArray& bytes = "x") {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Runs Trabex.run with the given text and returns the names handed to the open callback.
    QStringList Run(const QByteArray& text) {
        Write(QStringLiteral("Trabex.run"), text);
        QStringList opened;
        TBatchFileExecute(TBatchFileExecute::DefaultFileName(), [&](const QString& name) {
            opened << name;
            // What was opened is still there when it is opened: deleting comes afterwards.
            EXPECT_TRUE(QFileInfo::exists(name)) << name.toStdString();
        });
        return opened;
    }
    static bool Exists(const char* name) { return QFileInfo::exists(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    QString previous;
};

TEST_F(CommandFile, MissingCommandFileDoesNothing) {
    bool called = false;
    TBatchFileExecute(QStringLiteral("Trabex.run"), [&](const QString&) { called = true; });
    EXPECT_FALSE(called);
}

TEST_F(CommandFile, OpensThenDeletesItselfSoItActsOnce) {
    Write(QStringLiteral("bridge.trs"));
    Write(QStringLiteral("roof.trs"));
    const QString full = dir.filePath(QStringLiteral("bridge.trs"));
    const QStringList opened =
        Run(("[Open]\r\n" + full + "\r\nroof.trs\r\nmissing.trs\r\n\r\n[Delete]\r\nTrabex.run\r\n")
                .toUtf8());
    EXPECT_EQ(opened, QStringList({full, QStringLiteral("roof.trs")}));
    EXPECT_FALSE(Exists("Trabex.run"));
    EXPECT_TRUE(Exists("roof.trs"));
}

TEST_F(CommandFile, HeadersIgnoreLetterCaseButNotBlanks) {
    Write(QStringLiteral("a.trs"));
    Write(QStringLiteral("b.trs"));
    EXPECT_EQ(Run("[OPEN]\na.trs\n"), QStringList{QStringLiteral("a.trs")});
    EXPECT_EQ(Run("[open]\nb.trs\n"), QStringList{QStringLiteral("b.trs")});
    EXPECT_TRUE(Run("[Open] \na.trs\n").isEmpty()) << "a trailing blank makes no header";
    EXPECT_TRUE(Run(" [Open]\na.trs\n").isEmpty());
}

TEST_F(CommandFile, DeleteBeforeOpenStillOpensFirst) {
    Write(QStringLiteral("both.trs"));
    Write(QStringLiteral("gone.trs"));
    const QStringList opened = Run("[Delete]\rboth.trs\rgone.trs\r[Open]\rboth.trs\r");
    EXPECT_EQ(opened, QStringList{QStringLiteral("both.trs")}) << "CR alone ends a line too";
    EXPECT_FALSE(Exists("both.trs")) << "a file in both sections is opened, then deleted";
    EXPECT_FALSE(Exists("gone.trs"));
}

TEST_F(CommandFile, SectionEndsAtABracketLineAndEmptyLinesDoNot) {
    Write(QStringLiteral("a.trs"));
    Write(QStringLiteral("b.trs"));
    Write(QStringLiteral("c.trs"));
    const QStringList opened = Run("ignored.trs\n[Open]\na.trs\n\n\nb.trs\n[whatever\nc.trs\n");
    EXPECT_EQ(opened, QStringList({QStringLiteral("a.trs"), QStringLiteral("b.trs")}));
}

TEST_F(CommandFile, OnlyTheFirstOpenSectionCounts) {
    Write(QStringLiteral("a.trs"));
    Write(QStringLiteral("b.trs"));
    EXPECT_EQ(Run("[Open]\na.trs\n[Other]\nx\n[Open]\nb.trs\n"),
              QStringList{QStringLiteral("a.trs")});
    EXPECT_TRUE(Exists("Trabex.run")) << "not listed under [Delete]: it runs again next time";
}

TEST_F(CommandFile, EntriesAreTakenVerbatim) {
    Write(QStringLiteral(" spaced.trs "));
    Write(QStringLiteral("spaced.trs"));
    EXPECT_EQ(Run("[Open]\n spaced.trs \n"), QStringList{QStringLiteral(" spaced.trs ")});
}

TEST_F(CommandFile, DeletingALinkRemovesTheLinkNotItsTarget) {
    QTemporaryDir elsewhere;
    const QString target = elsewhere.filePath(QStringLiteral("precious.trs"));
    Write(target);
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), "link.trs"), 0);
    ASSERT_EQ(::symlink("/nonexistent/target", "dangling.trs"), 0);
    QDir().mkdir(QStringLiteral("folder"));
    Run("[Delete]\nlink.trs\ndangling.trs\nfolder\n");
    EXPECT_FALSE(QFileInfo(QStringLiteral("link.trs")).isSymLink());
    EXPECT_FALSE(QFileInfo(QStringLiteral("dangling.trs")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(target));
    EXPECT_TRUE(Exists("folder")) << "folders are not files to delete";
}

TEST_F(CommandFile, WithoutCallbackUsesOnOpenFileNeverSetSoNothingOpens) {
    Write(QStringLiteral("a.trs"));
    Write(QStringLiteral("Trabex.run"), "[Open]\na.trs\n[Delete]\na.trs\n");
    TBatchFileExecute batch(TBatchFileExecute::DefaultFileName(), nullptr);
    EXPECT_FALSE(Exists("a.trs")) << "the deletions still happen";
    QStringList entries;
    batch.ReadSection(QStringLiteral("[open]"), entries);
    EXPECT_EQ(entries, QStringList{QStringLiteral("a.trs")});
}

TEST_F(CommandFile, ADocumentThatFailsToOpenStopsNeitherTheOthersNorTheDeletions) {
    Write(QStringLiteral("bad.trs"));
    Write(QStringLiteral("good.trs"));
    Write(QStringLiteral("Trabex.run"), "[Open]\nbad.trs\ngood.trs\n[Delete]\nTrabex.run\n");
    QStringList opened;
    auto open = [&](const QString& name) {
        opened << name;
        if (name == QStringLiteral("bad.trs"))
            throw std::runtime_error("bad document");
    };
    // The error is not lost: it comes out after everything else was done.
    EXPECT_THROW(TBatchFileExecute(TBatchFileExecute::DefaultFileName(), open), std::runtime_error);
    EXPECT_EQ(opened, QStringList({"bad.trs", "good.trs"}));
    EXPECT_FALSE(Exists("Trabex.run"));
}

TEST(CommandFileLines, SplitLikeATextList) {
    EXPECT_EQ(TBatchFileExecute::SplitLines(QStringLiteral("a\r\nb\nc\rd")),
              QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(TBatchFileExecute::SplitLines(QStringLiteral("a\n")), QStringList{"a"});
    EXPECT_EQ(TBatchFileExecute::SplitLines(QStringLiteral("a\n\n")), QStringList({"a", ""}));
    EXPECT_EQ(TBatchFileExecute::SplitLines(QStringLiteral("\r\n\r\n")), QStringList({"", ""}));
    EXPECT_TRUE(TBatchFileExecute::SplitLines(QString()).isEmpty());
}

} // namespace
