// Files from the desktop: named at the start, dropped on the frame window, handed over by a
// later start.
#include "DocumentHandOver.h"
#include "GuiFixture.h"
#include "SettingsStore.h"
#include "TrussApplication.h"
#include "plsLangConsts.h"

#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QLocalSocket>
#include <QMimeData>
#include <QUrl>

#include <chrono>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Runs work on a thread of its own, as a later start would, while this thread serves events.
template <typename Work> auto WhileServing(Work work) {
    auto result = std::async(std::launch::async, work);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        30000));
    return result.get();
}

class DesktopFiles : public TMainFormTest {
protected:
    void SetUp() override {
        QFile::remove(TSettingsStore().FileName()); // reopens no document of an earlier test
        previousFolder = QDir::currentPath();
        TMainFormTest::SetUp();
        ASSERT_TRUE(QDir::setCurrent(Dir.path()));
    }
    void TearDown() override {
        QDir::setCurrent(previousFolder);
        TMainFormTest::TearDown();
    }
    // A copy of the triangle under name in the test folder, by its full name.
    QString File(const QString& name) {
        const QString path = Dir.filePath(name);
        if (!QFileInfo::exists(path))
            QFile::copy(Data("triangle.trs"), path);
        return path;
    }
    // The file names of the truss windows, front first.
    QStringList Shown() const {
        QStringList names;
        for (TTrussForm* form : Main->TrussForms())
            names << QFileInfo(form->Soustava().FileName).fileName();
        return names;
    }
    // A drag of data at pos of the frame window, delivered as the platform delivers one: to the
    // window, which finds the widget under pos that takes drops. True when the drop was taken.
    bool DropAt(QPoint pos, QMimeData& data, Qt::DropActions actions = Qt::CopyAction) {
        QWindow* window = Main->windowHandle();
        const QPoint at = Main->mapTo(Main->window(), pos);
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        if (!move.isAccepted()) {
            QDragLeaveEvent leave;
            QCoreApplication::sendEvent(window, &leave);
            return false;
        }
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }
    static std::unique_ptr<QMimeData> Urls(const QList<QUrl>& urls) {
        auto data = std::make_unique<QMimeData>();
        data->setUrls(urls);
        return data;
    }
    QPoint Workspace() const { return Main->MdiArea->mapTo(Main.get(), QPoint(600, 500)); }

    QString previousFolder;
};

TEST_F(DesktopFiles, NamedFilesOpenLastInTheirOrderAfterTheOtherStartDocuments) {
    // The previous run ended with c.trs open; the command file opens a.trs.
    ASSERT_TRUE(Main->OpenTrussFile(File(QStringLiteral("c.trs"))));
    ASSERT_TRUE(Main->close());
    Main.reset();
    Main = std::make_unique<TMainForm>();
    Main->show();
    File(QStringLiteral("a.trs"));
    QFile run(QStringLiteral("Trabex.run"));
    ASSERT_TRUE(run.open(QIODevice::WriteOnly) && run.write("[Open]\na.trs\n") > 0);
    run.close();
    File(QStringLiteral("-x.trs"));
    const QStringList arguments = {QStringLiteral("trabex"), QStringLiteral("missing.trs"),
                                   QString(), QStringLiteral("-x.trs"), File("a.trs")};
    const QStringList named = DocumentArguments(arguments);
    EXPECT_EQ(named, QStringList({"missing.trs", "-x.trs", Dir.filePath("a.trs")}));

    Answers = {mrOk};
    OpenStartDocuments(*Main, named);
    // The missing one is reported by its full name; a.trs, already open, comes to the front.
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, FormatConst(msg_SouborNeexistuje, Dir.filePath("missing.trs")));
    EXPECT_EQ(Shown(), QStringList({"a.trs", "-x.trs", "c.trs"}));
    EXPECT_EQ(Main->LastFiles->Entry(1).FileName, Dir.filePath("-x.trs"));
    EXPECT_EQ(Main->LastFiles->Entry(2).FileName, Dir.filePath("a.trs"));
}

TEST_F(DesktopFiles, DroppedTrussFilesOpenOtherDropsAreRefused) {
    const QString first = File(QStringLiteral("first.TRS")), second = File(QStringLiteral("s.trs"));
    QFile::copy(first, Dir.filePath("notes.txt"));
    // Nothing that is not a local truss file is taken, nor a drop that may only move it.
    auto text = std::make_unique<QMimeData>();
    text->setText(first);
    EXPECT_FALSE(DropAt(Workspace(), *text));
    EXPECT_FALSE(DropAt(Workspace(), *Urls({QUrl::fromLocalFile(Dir.filePath("notes.txt"))})));
    EXPECT_FALSE(DropAt(Workspace(), *Urls({QUrl(QStringLiteral("http://example.org/a.trs"))})));
    EXPECT_FALSE(DropAt(Workspace(), *Urls({QUrl::fromLocalFile(first)}), Qt::MoveAction));
    EXPECT_TRUE(Main->TrussForms().isEmpty());

    // On the empty workspace, then on the drawing of the window that opened, maximised; of a
    // mixed drop only the truss file opens, maximised as the window before it.
    ASSERT_TRUE(DropAt(Workspace(), *Urls({QUrl::fromLocalFile(first)})));
    ASSERT_EQ(Shown(), QStringList({"first.TRS"}));
    TTrussForm* form = Main->ActiveTrussForm();
    form->parentWidget()->showMaximized();
    const QPoint onDrawing = form->Image->mapTo(Main.get(), QPoint(30, 30));
    ASSERT_EQ(Main->childAt(onDrawing), form->Image);
    EXPECT_TRUE(DropAt(onDrawing, *Urls({QUrl::fromLocalFile(Dir.filePath("notes.txt")),
                                         QUrl::fromLocalFile(second)})));
    EXPECT_EQ(Shown(), QStringList({"s.trs", "first.TRS"}));
    EXPECT_TRUE(Messages.empty());
    QWidget* window = Main->ActiveTrussForm()->parentWidget();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(window->size(), Main->MdiArea->viewport()->size());
}

TEST_F(DesktopFiles, LaterStartHandsItsFilesToTheRunningWindow) {
    const QString server = Dir.filePath(QStringLiteral("handover"));
    TDocumentHandOver running(server);
    ASSERT_FALSE(running.HandOverOrListen({}));
    ASSERT_TRUE(running.IsListening());
    File(QStringLiteral("later.trs"));
    // A later start in the same folder, before the running one is ready to open anything.
    EXPECT_TRUE(WhileServing(
        [&] { return TDocumentHandOver(server).HandOverOrListen({QStringLiteral("later.trs")}); }));
    EXPECT_TRUE(Main->TrussForms().isEmpty());

    // Minimised, with a dialog waiting: the window comes up at once, the file once the dialog
    // has closed.
    Main->showMinimized();
    QDialog waiting(Main.get());
    waiting.setModal(true);
    waiting.show();
    running.SetReceiver([this](const QStringList& names) { Main->OpenHandedOverFiles(names); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Main->isMinimized(); }, 2000));
    QTest::qWait(300);
    EXPECT_TRUE(Main->TrussForms().isEmpty());
    waiting.close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Shown() == QStringList({"later.trs"}); }, 2000));
    EXPECT_EQ(Main->ActiveTrussForm()->Soustava().FileName, Dir.filePath("later.trs"));

    // A start with no files only brings the window up.
    Main->showMinimized();
    EXPECT_TRUE(WhileServing([&] { return TDocumentHandOver(server).HandOverOrListen({}); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Main->isMinimized(); }, 2000));
    EXPECT_EQ(Shown(), QStringList({"later.trs"}));
}

// The bytes of a literal, zero bytes inside it included.
template <qsizetype N> QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// A request as a later start sends it, built by hand: header, size big-endian, payload.
QByteArray Request(const QByteArray& payload) {
    const auto n = static_cast<quint32>(payload.size());
    return QByteArray("TRBX") + char(n >> 24) + char(n >> 16 & 0xFF) + char(n >> 8 & 0xFF) +
           char(n & 0xFF) + payload;
}

TEST(HandOverRequest, WellFormedRequestsAreReadAndEveryMalformedOneRefused) {
    using Names = std::optional<QStringList>;
    EXPECT_EQ(TDocumentHandOver::DecodeRequest(Bytes("TRBX\0\0\0\0")), Names(QStringList()));
    EXPECT_EQ(TDocumentHandOver::EncodeRequest({"/a"}), Bytes("TRBX\0\0\0\x03/a\0"));
    const QByteArray twoNames = Bytes("/tmp/P\xC5\x99\xC3\xADklad.trs\0/b c.trs\0");
    const Names expected = QStringList({QStringLiteral("/tmp/Příklad.trs"), "/b c.trs"});
    EXPECT_EQ(TDocumentHandOver::DecodeRequest(Request(twoNames)), expected);
    EXPECT_EQ(TDocumentHandOver::DecodeRequest(TDocumentHandOver::EncodeRequest(*expected)),
              expected);

    const QByteArray oversize = Bytes("TRBX\x00\x10\x00\x01"); // one byte over 1 MiB
    for (const QByteArray& bad :
         {Bytes("TRBY\0\0\0\0"), oversize, Request(Bytes("/a.trs\0")).chopped(1),
          Request(Bytes("/a.trs\0")) + '\0', Request(Bytes("/a.trs")), Request(Bytes("a.trs\0")),
          Request(Bytes("\0")), Request(Bytes("/\xFF.trs\0")), Bytes("TRBX\0\0")})
        EXPECT_EQ(TDocumentHandOver::DecodeRequest(bad), std::nullopt) << bad.toHex().data();
}

// What a client that sends bytes gets back before the running side hangs up, or "(open)" when
// it is still connected after waitMs.
QByteArray Exchange(const QString& server, const QByteArray& bytes, int waitMs) {
    QLocalSocket socket;
    socket.connectToServer(server);
    if (!socket.waitForConnected(2000))
        return "(no connection)";
    socket.write(bytes);
    socket.waitForBytesWritten(2000);
    QByteArray answer;
    const QDeadlineTimer deadline(waitMs);
    while (socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
        answer += socket.readAll();
    answer += socket.readAll();
    return socket.state() == QLocalSocket::UnconnectedState ? answer : answer + "(open)";
}

// A socket file that no one listens on, as a run that crashed leaves it.
void LeaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    ASSERT_LT(name.size(), qsizetype(sizeof address.sun_path));
    std::copy(name.begin(), name.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

TEST(HandOverServer, TakesOverAStaleSocketAndServesOnlyWellFormedRequests) {
    QTemporaryDir dir;
    const QString server = dir.filePath(QStringLiteral("s"));
    LeaveStaleSocket(server);
    ASSERT_TRUE(QFileInfo::exists(server));
    TDocumentHandOver running(server);
    ASSERT_FALSE(running.HandOverOrListen({}));
    ASSERT_TRUE(running.IsListening());
    QList<QStringList> received;
    running.SetReceiver([&](const QStringList& names) { received << names; });

    // Strangers are hung up on without an answer, a silent one once its time is up.
    const int patience = TDocumentHandOver::RequestTimeoutMs + 3000;
    for (const QByteArray& bytes :
         {QByteArray("GET / HTTP/1.0\r\n\r\n"), Bytes("TRBX\xFF\xFF\xFF\xFF"),
          Request(Bytes("relative\0")), Request(Bytes("/a.trs\0")).chopped(3)})
        EXPECT_EQ(WhileServing([&] { return Exchange(server, bytes, patience); }), QByteArray())
            << bytes.data();
    QTest::qWait(50);
    EXPECT_TRUE(received.isEmpty());

    EXPECT_EQ(
        WhileServing([&] { return Exchange(server, Request(Bytes("/a b.trs\0")), patience); }),
        QByteArray("OK"));
    EXPECT_EQ(WhileServing([&] { return TDocumentHandOver::SendTo(server, {"/c.trs"}); }),
              TDocumentHandOver::THandOver::Taken);
    EXPECT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 2000));
    EXPECT_EQ(received, QList<QStringList>({{"/a b.trs"}, {"/c.trs"}}));
}

} // namespace
