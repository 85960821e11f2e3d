// One HTTP/1.0 GET through libcurl on the calling thread, its body handed on in reads of at most
// kReadChunkBytes bytes.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Largest read handed on at a time: 1025 bytes, as the update component has always read. Bytes
// are gathered until a read is full, so every read but the last of a body holds exactly this.
inline constexpr qsizetype kReadChunkBytes = 1025;
// Seconds allowed for connecting to the server.
inline constexpr long kConnectTimeoutSeconds = 30;
// Seconds a transfer may go without receiving a single byte before it counts as failed.
inline constexpr long kStallTimeoutSeconds = 60;
// HTTP redirections (3xx with a Location) followed for one request, as a web client follows them.
inline constexpr long kMaxHttpRedirects = 8;
// The agent text sent with every request.
inline constexpr const char* kUserAgent = "TmxWebUpdate";

struct TmxHttpRequest {
    QString Host; // may carry ":port"; Port is what is used
    QString Path;
    unsigned Port = 80; // 0 is the default port of HTTP
    QString UserName;   // non-empty: basic credentials are sent with Password
    QString Password;
};

// Told about a transfer as it runs; each call returns false to stop the transfer at once.
class TmxHttpReceiver {
public:
    // Once, when the final response's headers are in (redirections followed): its status code and
    // the text of its Content-Length header, none when it has none.
    virtual bool BeginBody(long status, const std::optional<QByteArray>& contentLength) = 0;
    // Each read of the body, in order.
    virtual bool Chunk(QByteArrayView data) = 0;
    // Often while the transfer runs, also while it waits for the server (at least about once a
    // second).
    virtual bool Idle() = 0;

protected:
    ~TmxHttpReceiver() = default;
};

enum class TmxHttpOutcome {
    Complete, // BeginBody was called and the whole body, up to the server's close, handed on
    Stopped,  // a call of the receiver returned false or threw
    Failed    // no connection, a network or protocol error, a timeout, or an unusable address
};

// "http://" host path, with the path's bytes outside printable ASCII (and the few characters a
// URL cannot hold) percent-encoded and a "/" put in front of a path that lacks it; none when host
// is empty or holds anything but letters, digits and ".-_:[]".
std::optional<QByteArray> mxRequestURL(const QString& host, const QString& path);

// Sends GET path HTTP/1.0 to host on request.Port with the agent kUserAgent, "Pragma: no-cache",
// "Cache-Control: no-cache" and "Accept: */*", through the proxy the environment names, and hands
// the response to receiver. The body is read until the server closes the connection; its
// Content-Length is only reported, so a body longer or shorter than announced reaches the
// receiver as it came.
TmxHttpOutcome mxHttpGet(const TmxHttpRequest& request, TmxHttpReceiver& receiver);
