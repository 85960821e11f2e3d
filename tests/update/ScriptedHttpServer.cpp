// A small HTTP server on 127.0.0.1 for the update tests: answers each path as scripted and
// records every request it receives.
#include "ScriptedHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace {

// Longest request head read; a client sending more is answered from what arrived.
constexpr qsizetype kMaxRequestBytes = 64 * 1024;
// Connections waiting to be accepted.
constexpr int kListenBacklog = 8;

// Sends all of data; false when the client has gone.
bool SendAll(int socket, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t sent = ::send(socket, data, size_t(size), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data += sent;
        size -= sent;
    }
    return true;
}

} // namespace

std::optional<QByteArray> TRecordedRequest::Header(const QByteArray& name) const {
    for (const QByteArray& line : Headers) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return line.mid(colon + 1).trimmed();
    }
    return std::nullopt;
}

TScriptedHttpServer::TScriptedHttpServer() {
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe");
    wakeRead = pipeEnds[0];
    wakeWrite = pipeEnds[1];
    listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener < 0)
        throw std::runtime_error("socket");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, kListenBacklog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("listen");
    port = ntohs(address.sin_port);
    thread = std::thread([this] { Run(); });
}

TScriptedHttpServer::~TScriptedHttpServer() {
    stopping = true;
    Wake();
    thread.join();
    ::close(listener);
    ::close(wakeRead);
    ::close(wakeWrite);
}

void TScriptedHttpServer::Serve(const QByteArray& path, const TScriptedResponse& response) {
    const std::lock_guard lock(mutex);
    routes[path] = response;
}

void TScriptedHttpServer::ReleaseStall() {
    ++releases;
    Wake();
}

std::vector<TRecordedRequest> TScriptedHttpServer::Requests() const {
    const std::lock_guard lock(mutex);
    return requests;
}

void TScriptedHttpServer::Wake() {
    const char byte = 1;
    while (::write(wakeWrite, &byte, 1) < 0 && errno == EINTR) {
    }
}

void TScriptedHttpServer::Run() {
    while (!stopping) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {wakeRead, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            (void)!::read(wakeRead, drain, sizeof drain);
        }
        if (stopping)
            break;
        if (fds[0].revents & POLLIN) {
            const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) {
                Answer(client);
                ::close(client);
            }
        }
    }
}

bool TScriptedHttpServer::WaitInStall(int client) {
    for (;;) {
        if (stopping)
            return false;
        if (releases > 0) {
            --releases;
            return true;
        }
        pollfd fds[2] = {{client, POLLIN, 0}, {wakeRead, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            (void)!::read(wakeRead, drain, sizeof drain);
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            char byte;
            if (::recv(client, &byte, 1, MSG_DONTWAIT) <= 0)
                return false; // the client has closed the connection
        }
    }
}

void TScriptedHttpServer::Answer(int client) {
    QByteArray head;
    while (!head.contains("\r\n\r\n") && head.size() < kMaxRequestBytes) {
        char buffer[4096];
        const ssize_t got = ::recv(client, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        head.append(buffer, got);
    }
    const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
    TRecordedRequest request;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == 0)
            request.RequestLine = line;
        else
            request.Headers.append(line);
    }
    const QList<QByteArray> words = request.RequestLine.split(' ');
    const QByteArray target = words.size() > 1 ? words[1] : QByteArray();

    TScriptedResponse response;
    {
        const std::lock_guard lock(mutex);
        requests.push_back(request);
        const auto route = routes.find(target);
        if (route != routes.end()) {
            response = route->second;
        } else {
            response.Status = 404;
            response.Reason = "Not Found";
            response.Body = "<html><body>META NAME=\"mxVersion\" CONTENT=\"99\"</body></html>";
        }
    }

    QByteArray reply = "HTTP/1.0 " + QByteArray::number(response.Status) + ' ' + response.Reason +
                       "\r\nServer: ScriptedHttpServer\r\n";
    if (response.SendContentLength)
        reply += "Content-Length: " +
                 response.ContentLength.value_or(QByteArray::number(response.Body.size())) + "\r\n";
    for (const QByteArray& header : response.ExtraHeaders)
        reply += header + "\r\n";
    reply += "\r\n";
    const qsizetype first =
        std::min(response.StallAfter.value_or(response.Body.size()), response.Body.size());
    reply += response.Body.left(first);
    if (!SendAll(client, reply.constData(), reply.size()))
        return;
    if (!response.StallAfter)
        return;
    if (!WaitInStall(client) || response.CloseOnRelease)
        return;
    SendAll(client, response.Body.constData() + first, response.Body.size() - first);
}
