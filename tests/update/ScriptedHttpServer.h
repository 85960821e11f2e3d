// A small HTTP server on 127.0.0.1 for the update tests: answers each path as scripted and
// records every request it receives.
#pragma once

#include <QByteArray>
#include <QList>

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// How the server answers one path.
struct TScriptedResponse {
    int Status = 200;
    QByteArray Reason = "OK";
    QByteArray Body;
    // The Content-Length header: the body's size by default, this text instead when set, and
    // none at all without SendContentLength.
    bool SendContentLength = true;
    std::optional<QByteArray> ContentLength;
    QList<QByteArray> ExtraHeaders; // whole header lines without the line end
    // Sends only this many bytes of the body, then waits until ReleaseStall (then sends the rest
    // unless CloseOnRelease) or until the client closes the connection.
    std::optional<qsizetype> StallAfter;
    bool CloseOnRelease = false;
};

struct TRecordedRequest {
    QByteArray RequestLine;
    QList<QByteArray> Headers; // in the order received, without line ends
    // The value of the first header of that name (ignoring case), none when absent.
    std::optional<QByteArray> Header(const QByteArray& name) const;
};

class TScriptedHttpServer {
public:
    // Listens on an unused port of 127.0.0.1 and answers on a thread of its own.
    TScriptedHttpServer();
    // Stops answering and closes every connection.
    ~TScriptedHttpServer();
    TScriptedHttpServer(const TScriptedHttpServer&) = delete;
    TScriptedHttpServer& operator=(const TScriptedHttpServer&) = delete;

    std::uint16_t Port() const { return port; }
    // Answers path (the request target exactly, query included) with response; any other path is
    // answered 404.
    void Serve(const QByteArray& path, const TScriptedResponse& response);
    // Lets one stalled (or next stalling) answer go on.
    void ReleaseStall();
    // Every request received so far, in order.
    std::vector<TRecordedRequest> Requests() const;

private:
    void Run();
    void Answer(int client);
    // Waits until the client closes (false) or a release or stop arrives (true).
    bool WaitInStall(int client);
    void Wake();

    int listener = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::uint16_t port = 0;
    std::thread thread;
    mutable std::mutex mutex;
    std::map<QByteArray, TScriptedResponse> routes;
    std::vector<TRecordedRequest> requests;
    std::atomic<bool> stopping{false};
    std::atomic<int> releases{0};
};
