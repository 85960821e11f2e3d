// Trusses that cannot be solved or drawn, faults in handlers, odd start-up documents: the program
// and every document go on.
#include "GuiFixture.h"
#include "SettingsStore.h"
#include "TrussApplication.h"

#include <QDir>

#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class KeepsRunning : public TMainFormTest {
protected:
    void SetUp() override {
        QFile::remove(TSettingsStore().FileName()); // reopens no document of an earlier test
        previousFolder = QDir::currentPath();
        TMainFormTest::SetUp();
        Main->aShowSidePannel->setChecked(true);
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder);
        TMainFormTest::TearDown();
    }

    QString Write(const QString& name, const QByteArray& bytes) {
        QFile f(Dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // n different bars, one unknown each, between pairs of the points (40 + 20 i, 40), i = 0..20.
    QString ManyBars(const QString& name, int n) {
        QByteArray text = "[Pruty]\nCount=" + QByteArray::number(n) + "\n";
        for (int a = 0, k = 0; a < 20 && k < n; ++a)
            for (int b = a + 1; b <= 20 && k < n; ++b, ++k)
                text += QStringLiteral("Sa_X%1=%2\nSa_Y%1=40\nSb_X%1=%3\nSb_Y%1=40\n")
                            .arg(k)
                            .arg(40 + 20 * a)
                            .arg(40 + 20 * b)
                            .toLatin1();
        return Write(name, text);
    }
    // Runs the event loop until count boxes were shown, or else long enough for any to come.
    void WaitForBoxes(size_t count) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return Messages.size() >= count; }, 1000))
            << Messages.size() << " boxes of " << count;
        QTest::qWait(20);
        EXPECT_EQ(Messages.size(), count);
    }
    bool LastBoxSays(const char* text) const {
        return !Messages.empty() && Messages.back().Text.contains(QString::fromUtf8(text));
    }
    QString StatusText(TStatusPanel panel) const {
        return Main->StatusPanels[static_cast<size_t>(panel)]->text();
    }

    QString previousFolder;
};

TEST_F(KeepsRunning, TrussOfMoreUnknownsThanTheEquationsHoldOpensUnsolved) {
    const QString path = ManyBars(QStringLiteral("over.trs"), 201);
    const QByteArray bytes = Read(path);
    Answers = {mrOk};
    ASSERT_TRUE(Main->OpenTrussFile(path));
    WaitForBoxes(1);
    EXPECT_EQ(Messages[0].Kind, mtWarning);
    EXPECT_TRUE(LastBoxSays("200") && Messages[0].Text.contains(path));
    TTrussForm* form = Main->ActiveTrussForm();
    ASSERT_NE(form, nullptr);
    // 400 wide, the truss opens fitted into the drawing beside the panel; the picture is
    // looked at unzoomed.
    form->ZoomReset();
    EXPECT_EQ(form->Soustava().PrutCount(), 201);
    EXPECT_EQ(form->LabeledERR->text(), QStringLiteral("2"));
    EXPECT_EQ(form->LEMass1->text(), QStringLiteral("---"));
    EXPECT_TRUE(form->Memo1->toPlainText().contains(QStringLiteral("200")));
    EXPECT_TRUE(StatusText(spCalcTime).contains(QStringLiteral("200")));
    const QColor bar = form->Image->Picture().pixelColor(50, 40);
    EXPECT_TRUE(bar.red() == bar.green() && bar.green() == bar.blue() && bar.red() < 255);

    // Refreshes while it stays so add no box: a resize, an option toggled.
    form->parentWidget()->resize(form->parentWidget()->size() + QSize(60, 40));
    Main->aShowGrid->trigger();
    WaitForBoxes(1);
    // The probe, asked for by a click, says why it cannot run and draws nothing.
    const QImage before = form->Image->Picture();
    Answers = {mrOk};
    QTest::mouseClick(form->Image, Qt::MiddleButton, Qt::NoModifier, QPoint(40, 40));
    WaitForBoxes(2);
    EXPECT_TRUE(LastBoxSays("200"));
    EXPECT_EQ(form->Image->Picture(), before);
    EXPECT_EQ(Read(path), bytes);
}

TEST_F(KeepsRunning, BarThatMakesTheUnknownsOneTooManyIsKeptAndWarnedOfOncePerFailure) {
    const QString path = ManyBars(QStringLiteral("full.trs"), 200);
    const QByteArray bytes = Read(path);
    ASSERT_TRUE(Main->OpenTrussFile(path));
    WaitForBoxes(0); // 200 unknowns fit the equations
    TTrussForm* form = Main->ActiveTrussForm();
    form->ZoomReset(); // opened fitted, drawn on unzoomed
    Answers = {mrOk};
    Drag(form, {200, 200}, {300, 200});
    WaitForBoxes(1);
    ASSERT_EQ(form->Soustava().PrutCount(), 201);
    EXPECT_EQ(form->Soustava().Prut(200).Sb_X, 300);
    // A further edit while it stays beyond the equations warns no more; undone, the truss solves
    // again; redone, it fails anew and says so again.
    Drag(form, {200, 240}, {300, 240});
    form->aUndoExecute();
    form->aUndoExecute();
    WaitForBoxes(1);
    EXPECT_EQ(form->Soustava().PrutCount(), 200);
    Answers = {mrOk};
    form->aRedoExecute();
    WaitForBoxes(2);
    EXPECT_EQ(Read(path), bytes);
}

TEST_F(KeepsRunning, ForceBeyondTheDrawingLeavesAnEmptyPictureAndTheReason) {
    const QString path = Write(QStringLiteral("huge-force.trs"),
                               "[Pruty]\nCount=1\nSa_X0=40\nSa_Y0=40\nSb_X0=120\nSb_Y0=40\n"
                               "[Zatizeni]\nCount=1\nSila0=1E12\nX0=120\nY0=40\nUhel0=90\n");
    const QByteArray bytes = Read(path);
    Answers = {mrOk};
    ASSERT_TRUE(Main->OpenTrussFile(path));
    WaitForBoxes(1);
    EXPECT_TRUE(LastBoxSays("32-bit"));
    TTrussForm* form = Main->ActiveTrussForm();
    EXPECT_EQ(form->Soustava().Sila(0).Sila, 1e12);
    EXPECT_TRUE(form->Memo1->toPlainText().contains(QStringLiteral("32-bit")));
    EXPECT_TRUE(StatusText(spDrawTime).contains(QStringLiteral("32-bit")));
    // Nothing but the white picture and its silver grid dots.
    const QImage picture = form->Image->Picture();
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (const QRgb p = picture.pixel(x, y);
                p != qRgb(255, 255, 255) && p != qRgb(192, 192, 192))
                FAIL() << "drawn at " << x << ", " << y;
    Main->aShowPrutForce->trigger();
    WaitForBoxes(1);
    EXPECT_EQ(Read(path), bytes);
}

// An object whose handler fails at every user event.
class TFaultyHandler : public QObject {
public:
    explicit TFaultyHandler(const char* what) : what(what) {}
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error(what);
        return QObject::event(e);
    }

private:
    const char* what;
};

TEST_F(KeepsRunning, ErrorThatEscapesAHandlerIsReportedAndTheProgramGoesOn) {
    TFaultyHandler first("first handler fault"), second("second handler fault");
    // The second fault comes while the first box is open; its box waits until that one closes.
    int open = 0, mostOpen = 0;
    const auto answer = MessageDlgHandler;
    MessageDlgHandler = [&](const TMessageDlgRequest& r) {
        mostOpen = std::max(mostOpen, ++open);
        if (Messages.empty()) {
            QCoreApplication::postEvent(&second, new QEvent(QEvent::User));
            QCoreApplication::processEvents();
        }
        const int result = answer(r);
        --open;
        return result;
    };
    Answers = {mrOk, mrOk};
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&first, &event));
    WaitForBoxes(2);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_EQ(Messages[0].Kind, mtError);
    EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("first handler fault")));
    EXPECT_TRUE(LastBoxSays("second handler fault"));
    // The same fault again is not shown again; the windows go on working.
    QCoreApplication::postEvent(&second, new QEvent(QEvent::User));
    WaitForBoxes(2);
    TTrussForm* form = NewWindow();
    Drag(form, {40, 40}, {120, 40});
    EXPECT_EQ(form->Soustava().PrutCount(), 1);
}

TEST_F(KeepsRunning, CommandFileWithAFifoAndAnUnsolvableDocumentStillDeletes) {
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    ASSERT_EQ(::mkfifo("pipe.trs", 0600), 0);
    ManyBars(QStringLiteral("over.trs"), 201);
    Write(QStringLiteral("Trabex.run"), "[Open]\npipe.trs\nover.trs\n[Delete]\nTrabex.run\n");
    Answers = {mrOk, mrOk};
    ::alarm(60); // a reader that blocks on the FIFO ends the test instead of hanging it
    OpenStartDocuments(*Main);
    ::alarm(0);
    WaitForBoxes(2);
    EXPECT_EQ(Messages[0].Kind, mtError);
    EXPECT_TRUE(Messages[0].Text.contains(QStringLiteral("not a regular file")));
    EXPECT_EQ(Messages[1].Kind, mtWarning);
    ASSERT_EQ(Main->TrussForms().size(), 1);
    EXPECT_EQ(Main->TrussForms()[0]->Soustava().PrutCount(), 201);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Trabex.run")));
}

TEST_F(KeepsRunning, RelativeNameIsKeptAbsoluteAndOpensOnce) {
    ASSERT_TRUE(QDir(Dir.path()).mkdir(QStringLiteral("other")));
    for (const char* name : {"rel.trs", "other/rel.trs"})
        QFile::copy(Data("triangle.trs"), Dir.filePath(QString::fromLatin1(name)));
    ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    const QString full = QDir::currentPath() + QStringLiteral("/rel.trs");
    ASSERT_TRUE(Main->OpenTrussFile(QStringLiteral("rel.trs")));
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().FileName, full);
    EXPECT_EQ(Main->LastFiles->Entry(1).FileName, full);
    ASSERT_TRUE(Main->OpenTrussFile(full));
    EXPECT_EQ(Main->TrussForms().size(), 1);
    // From another folder the same relative name is another file.
    ASSERT_TRUE(QDir::setCurrent(QStringLiteral("other")));
    ASSERT_TRUE(Main->OpenTrussFile(QStringLiteral("rel.trs")));
    EXPECT_EQ(Main->TrussForms().size(), 2);
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().FileName,
              QDir::currentPath() + QStringLiteral("/rel.trs"));
}

} // namespace
