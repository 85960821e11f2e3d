// One running program per user: a later start hands its documents to it over a local socket.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// The running program listens on a local socket of a name private to the user; a later start
// sends it the full names of its documents and ends once they were taken. A start that finds no
// one listening takes the name over, also from a socket that a crashed run left behind.
//
// A request is "TRBX", the payload's size as 4 bytes big-endian, then the payload: each name in
// UTF-8 followed by a zero byte (no names: only bring the program to the front). The answer to a
// well-formed request is "OK". Anything else on the socket is dropped without a word, so no other
// program can do more than make the running one open files by their full names.
class TDocumentHandOver : public QObject {
    Q_OBJECT

public:
    // How a start's attempt to reach the running program ended.
    enum class THandOver {
        Taken,    // the running program took the names
        NoServer, // no one listens under the name
        NoAnswer  // someone listens but did not take the request in time
    };

    static constexpr qsizetype MaxPayload = 1 << 20;
    static constexpr int ConnectTimeoutMs = 2000;
    static constexpr int AnswerTimeoutMs = 10000;
    // How long the running program waits for a started request to be complete.
    static constexpr int RequestTimeoutMs = 5000;
    // Requests read at the same time; more are turned away until one is done.
    static constexpr int MaxConnections = 8;

    explicit TDocumentHandOver(QString serverName, QObject* parent = nullptr);
    ~TDocumentHandOver() override;

    // The socket of this user's running program: in the user's runtime folder, with the user id.
    static QString UserServerName();

    // A second start: true when the running program took the names (made absolute against the
    // current folder). Otherwise this object listens for later starts and false is returned;
    // when it cannot listen either, the program simply runs on its own.
    bool HandOverOrListen(const QStringList& names);
    bool IsListening() const;

    // Receives the names of each later start; requests that came before are delivered now. The
    // receiver runs from the event loop, never inside the socket's handling.
    void SetReceiver(std::function<void(const QStringList&)> receiver);

    // The client's side, blocking with the timeouts above: sends a request and waits for "OK".
    static THandOver SendTo(const QString& serverName, const QStringList& absoluteNames);

    static QByteArray EncodeRequest(const QStringList& absoluteNames);
    // The names of a complete request, or nothing when it is malformed: a bad header or size,
    // bytes beyond the payload, text that is not UTF-8, or a name that is empty or not absolute.
    static std::optional<QStringList> DecodeRequest(QByteArrayView request);

private:
    bool Listen();
    void Accept();
    void ReadFrom(QLocalSocket* socket, QByteArray& request);
    void Deliver(const QStringList& names);

    QString serverName;
    QLocalServer* server = nullptr;
    std::function<void(const QStringList&)> receiver;
    QList<QStringList> pending;
    int connections = 0;
};
