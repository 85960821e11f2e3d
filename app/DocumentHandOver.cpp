// The hand-over of a later start's documents to the running program: request format, the
// running program's side (non-blocking, bounded) and the later start's side (blocking, timed).
#include "DocumentHandOver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTimer>

#include <memory>
#include <unistd.h>

namespace {

constexpr QByteArrayView Magic = "TRBX";
constexpr QByteArrayView Accepted = "OK";
constexpr qsizetype HeaderSize = 8;

// The whole size of the request whose first bytes are given: the header's size while it is
// incomplete, -1 as soon as it is clearly not a request.
qsizetype RequestSize(QByteArrayView begin) {
    if (!Magic.startsWith(begin.first(std::min(begin.size(), Magic.size()))))
        return -1;
    if (begin.size() < HeaderSize)
        return HeaderSize;
    quint32 payload = 0;
    for (qsizetype i = Magic.size(); i < HeaderSize; ++i)
        payload = (payload << 8) | static_cast<quint8>(begin[i]);
    if (payload > TDocumentHandOver::MaxPayload)
        return -1;
    return HeaderSize + static_cast<qsizetype>(payload);
}

// Ends a connection that brought nothing usable.
void Drop(QLocalSocket* socket) {
    socket->abort();
    socket->deleteLater();
}

} // namespace

TDocumentHandOver::TDocumentHandOver(QString serverName, QObject* parent)
    : QObject(parent), serverName(std::move(serverName)) {}

TDocumentHandOver::~TDocumentHandOver() = default;

QString TDocumentHandOver::UserServerName() {
    const QString name = QStringLiteral("trabex-") + QString::number(::getuid());
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // Without a runtime folder Qt puts a bare name into the temporary folder.
    return folder.isEmpty() ? name : folder + u'/' + name;
}

QByteArray TDocumentHandOver::EncodeRequest(const QStringList& absoluteNames) {
    QByteArray payload;
    for (const QString& name : absoluteNames)
        payload += name.toUtf8() + '\0';
    QByteArray request = Magic.toByteArray();
    const auto size = static_cast<quint32>(payload.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        request += static_cast<char>((size >> shift) & 0xFF);
    return request + payload;
}

std::optional<QStringList> TDocumentHandOver::DecodeRequest(QByteArrayView request) {
    if (RequestSize(request) != request.size() || request.size() < HeaderSize)
        return std::nullopt;
    const QByteArrayView payload = request.sliced(HeaderSize);
    if (!payload.isEmpty() && payload.back() != '\0')
        return std::nullopt;
    QStringList names;
    qsizetype start = 0;
    while (start < payload.size()) {
        const qsizetype end = payload.indexOf('\0', start);
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString name = utf8(payload.sliced(start, end - start));
        if (utf8.hasError() || name.isEmpty() || !QDir::isAbsolutePath(name))
            return std::nullopt;
        names << name;
        start = end + 1;
    }
    return names;
}

TDocumentHandOver::THandOver TDocumentHandOver::SendTo(const QString& serverName,
                                                       const QStringList& absoluteNames) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(ConnectTimeoutMs)) {
        const auto error = socket.error();
        // Refused: a socket file with no one behind it, left by a run that did not end cleanly.
        return error == QLocalSocket::ServerNotFoundError ||
                       error == QLocalSocket::ConnectionRefusedError
                   ? THandOver::NoServer
                   : THandOver::NoAnswer;
    }
    const QDeadlineTimer deadline(AnswerTimeoutMs);
    socket.write(EncodeRequest(absoluteNames));
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            return THandOver::NoAnswer;
    QByteArray answer;
    while (answer.size() < Accepted.size()) {
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        answer += socket.read(Accepted.size() - answer.size());
    }
    return answer == Accepted ? THandOver::Taken : THandOver::NoAnswer;
}

bool TDocumentHandOver::HandOverOrListen(const QStringList& names) {
    QStringList absolute;
    for (const QString& name : names)
        absolute << QDir::current().absoluteFilePath(name);
    const auto runsAlone = [](const QString& why) {
        qWarning("Trabex: %s; this start runs on its own.", qUtf8Printable(why));
        return false;
    };
    // True when the names were taken, false to run alone, nothing when no one listens.
    const auto handOver = [&]() -> std::optional<bool> {
        switch (SendTo(serverName, absolute)) {
        case THandOver::Taken:
            return true;
        case THandOver::NoAnswer:
            return runsAlone(QStringLiteral("the running program does not answer"));
        case THandOver::NoServer:
            break;
        }
        return std::nullopt;
    };
    if (const std::optional<bool> done = handOver())
        return *done;
    if (Listen())
        return false;
    if (server->serverError() != QAbstractSocket::AddressInUseError)
        return runsAlone(server->errorString());
    // Either a start at this very moment took the name, or a crashed run left its socket file.
    if (const std::optional<bool> done = handOver())
        return *done;
    QLocalServer::removeServer(serverName);
    if (!Listen())
        return runsAlone(server->errorString());
    return false;
}

bool TDocumentHandOver::IsListening() const {
    return server && server->isListening();
}

bool TDocumentHandOver::Listen() {
    if (!server) {
        server = new QLocalServer(this);
        server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(server, &QLocalServer::newConnection, this, &TDocumentHandOver::Accept);
    }
    return server->listen(serverName);
}

void TDocumentHandOver::Accept() {
    while (QLocalSocket* socket = server->nextPendingConnection()) {
        if (connections >= MaxConnections) {
            Drop(socket);
            continue;
        }
        ++connections;
        connect(socket, &QObject::destroyed, this, [this] { --connections; });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A request must be complete in time: a silent or slow client holds nothing for long.
        QTimer::singleShot(RequestTimeoutMs, socket, [socket] { Drop(socket); });
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this,
                [this, socket, request] { ReadFrom(socket, *request); });
        // Bytes may have come before the connection above.
        ReadFrom(socket, *request);
    }
}

void TDocumentHandOver::ReadFrom(QLocalSocket* socket, QByteArray& request) {
    for (;;) {
        const qsizetype size = RequestSize(request);
        if (size < 0)
            return Drop(socket);
        if (request.size() == size)
            break;
        const QByteArray more = socket->read(size - request.size());
        if (more.isEmpty())
            return;
        request += more;
    }
    const std::optional<QStringList> names = DecodeRequest(request);
    if (!names)
        return Drop(socket);
    // One request per connection: whatever follows it is not read.
    disconnect(socket, &QLocalSocket::readyRead, this, nullptr);
    socket->write(Accepted.data(), Accepted.size());
    socket->disconnectFromServer();
    Deliver(*names);
}

void TDocumentHandOver::Deliver(const QStringList& names) {
    if (!receiver) {
        pending << names;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, names] { receiver(names); }, Qt::QueuedConnection);
}

void TDocumentHandOver::SetReceiver(std::function<void(const QStringList&)> newReceiver) {
    receiver = std::move(newReceiver);
    const QList<QStringList> waiting = std::exchange(pending, {});
    for (const QStringList& names : waiting)
        Deliver(names);
}
