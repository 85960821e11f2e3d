// Tests of DeleteToRecycleBin against the freedesktop trash below a temporary XDG_DATA_HOME.
#include "ReadOnlyPath.h"
#include "RutinyUnit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

// Each test gets its own data folder (not yet created) and its own current folder.
class Trash : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        savedData = qgetenv("XDG_DATA_HOME");
        savedCwd = QDir::currentPath();
        qputenv("XDG_DATA_HOME", root.filePath("data").toLocal8Bit());
        ASSERT_TRUE(QDir(root.path()).mkpath("cwd"));
        ASSERT_TRUE(QDir(root.path()).mkpath("work"));
        ASSERT_TRUE(QDir::setCurrent(root.filePath("cwd")));
    }
    void TearDown() override {
        QDir::setCurrent(savedCwd);
        qputenv("XDG_DATA_HOME", savedData);
    }

    QString MakeFile(const QString& path, const QByteArray& contents) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return QFileInfo(path).absoluteFilePath();
    }
    QString Work(const QString& name) const { return root.filePath("work/" + name); }
    QDir TrashFiles() const { return QDir(root.filePath("data/Trash/files")); }
    QStringList CurrentFolderEntries() const {
        return QDir(root.filePath("cwd"))
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }
    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Contents of every file in the trash, whatever names the trash gave them.
    QList<QByteArray> TrashedContents() const {
        QList<QByteArray> all;
        for (const QString& name : TrashFiles().entryList(QDir::Files))
            all.append(Contents(TrashFiles().filePath(name)));
        return all;
    }

    QTemporaryDir root;

private:
    QByteArray savedData;
    QString savedCwd;
};

// The data folder does not exist yet: the file must still land in the trash below it, not in
// "files" below the current folder.
TEST_F(Trash, FileMovesIntoTheTrashWithItsRestoreInformation) {
    const QString file = MakeFile(Work("model.trs"), "[Pruty]\n");
    ASSERT_TRUE(DeleteToRecycleBin(file, false));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(Contents(TrashFiles().filePath("model.trs")), "[Pruty]\n");
    const QByteArray info = Contents(root.filePath("data/Trash/info/model.trs.trashinfo"));
    EXPECT_TRUE(info.contains("[Trash Info]"));
    EXPECT_TRUE(info.contains("Path=" + QUrl::toPercentEncoding(file, "/")));
    EXPECT_TRUE(CurrentFolderEntries().isEmpty()) << CurrentFolderEntries().join(' ').toStdString();
}

TEST_F(Trash, TheSameNameTwiceKeepsBothFiles) {
    const QString file = Work("most.trs");
    ASSERT_TRUE(DeleteToRecycleBin(MakeFile(file, "first"), false));
    ASSERT_TRUE(DeleteToRecycleBin(MakeFile(file, "second"), true));
    const QList<QByteArray> trashed = TrashedContents();
    EXPECT_EQ(trashed.size(), 2);
    EXPECT_TRUE(trashed.contains("first"));
    EXPECT_TRUE(trashed.contains("second"));
}

TEST_F(Trash, ARelativeNameIsTakenFromTheCurrentFolder) {
    MakeFile("relative.trs", "here");
    ASSERT_TRUE(DeleteToRecycleBin("relative.trs", false));
    EXPECT_EQ(TrashedContents(), QList<QByteArray>{"here"});
    EXPECT_TRUE(CurrentFolderEntries().isEmpty());
}

TEST_F(Trash, AMissingFileIsFalseAndTouchesNothing) {
    EXPECT_FALSE(DeleteToRecycleBin(Work("never-written.trs"), false));
    EXPECT_FALSE(DeleteToRecycleBin("", false));
    EXPECT_TRUE(CurrentFolderEntries().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root.filePath("data")));
}

TEST_F(Trash, AFileInAReadOnlyFolderStaysAndGivesFalse) {
    const QString file = MakeFile(Work("locked.trs"), "keep me");
    const TReadOnlyPath locked(root.filePath("work"));
    if (locked.Writable())
        GTEST_SKIP() << "this user can write to any folder and cannot set the immutable flag";
    EXPECT_FALSE(DeleteToRecycleBin(file, false));
    EXPECT_EQ(Contents(file), "keep me");
    EXPECT_TRUE(TrashedContents().isEmpty());
}

} // namespace
