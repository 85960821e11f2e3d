// One HTTP/1.0 GET through libcurl on the calling thread, its body handed on in reads of at most
// kReadChunkBytes bytes.
#include "mxWebUpdateHttp.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// libcurl's global state, set up once on first use and kept for the life of the process.
void InitCurlOnce() {
    static const CURLcode init = curl_global_init(CURL_GLOBAL_DEFAULT);
    (void)init;
}

bool HostCharacter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
           u == '-' || u == '_' || u == ':' || u == '[' || u == ']';
}

// Bytes that stand in a request path as they are; every other byte is percent-encoded.
bool PathByteAsIs(unsigned char b) {
    if (b <= 0x20 || b >= 0x7F)
        return false;
    return std::strchr("\"<>\\^`{|}", b) == nullptr;
}

bool StartsWithNoCase(QByteArrayView text, const char* prefix) {
    const qsizetype n = qsizetype(std::strlen(prefix));
    return text.size() >= n && qstrnicmp(text.data(), prefix, n) == 0;
}

// One running transfer: what the callbacks of libcurl share.
struct TTransfer {
    CURL* curl = nullptr;
    TmxHttpReceiver* receiver = nullptr;
    std::optional<QByteArray> contentLength; // of the response being received
    bool begun = false;                      // BeginBody has been called
    bool stopped = false;                    // the receiver asked to stop (or threw)
    QByteArray pending;                      // body bytes not yet handed on as a full read

    long Status() const {
        long status = 0;
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
        return status;
    }
    bool Begin() {
        begun = true;
        if (!receiver->BeginBody(Status(), contentLength))
            stopped = true;
        return !stopped;
    }
    // Hands on every full read in pending, and with flush also the rest.
    bool Deliver(bool flush) {
        qsizetype offset = 0;
        while (pending.size() - offset >= kReadChunkBytes || (flush && pending.size() > offset)) {
            const qsizetype size = std::min(kReadChunkBytes, pending.size() - offset);
            if (!receiver->Chunk(QByteArrayView(pending).sliced(offset, size))) {
                stopped = true;
                return false;
            }
            offset += size;
        }
        pending.remove(0, offset);
        return true;
    }
};

size_t HeaderCallback(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<TTransfer*>(user);
    const size_t bytes = size * count;
    const QByteArrayView line(data, qsizetype(bytes));
    // A status line starts each response, also those of redirections and interim ones.
    if (StartsWithNoCase(line, "HTTP/"))
        transfer.contentLength.reset();
    else if (StartsWithNoCase(line, "Content-Length:") && !transfer.contentLength)
        transfer.contentLength = line.sliced(15).trimmed().toByteArray();
    return bytes;
}

size_t WriteCallback(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<TTransfer*>(user);
    const size_t bytes = size * count;
    try {
        // The body of a redirection is not the document: libcurl follows it, or the transfer
        // ends with the redirection's status, which BeginBody is told at the end.
        if (transfer.Status() / 100 == 3)
            return bytes;
        if (!transfer.begun && !transfer.Begin())
            return 0;
        transfer.pending.append(data, qsizetype(bytes));
        return transfer.Deliver(false) ? bytes : 0;
    } catch (...) {
        transfer.stopped = true;
        return 0;
    }
}

int ProgressCallback(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<TTransfer*>(user);
    try {
        if (!transfer.receiver->Idle())
            transfer.stopped = true;
    } catch (...) {
        transfer.stopped = true;
    }
    return transfer.stopped ? 1 : 0;
}

struct TCurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct TListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

std::optional<QByteArray> mxRequestURL(const QString& host, const QString& path) {
    if (host.isEmpty())
        return std::nullopt;
    for (QChar c : host)
        if (!HostCharacter(c))
            return std::nullopt;
    QByteArray url = "http://" + host.toLatin1();
    if (!path.startsWith(QLatin1Char('/')))
        url += '/';
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : path.toUtf8()) {
        const auto b = static_cast<unsigned char>(ch);
        if (PathByteAsIs(b)) {
            url += char(b);
        } else {
            url += '%';
            url += hex[b >> 4];
            url += hex[b & 0x0F];
        }
    }
    return url;
}

TmxHttpOutcome mxHttpGet(const TmxHttpRequest& request, TmxHttpReceiver& receiver) {
    const std::optional<QByteArray> url = mxRequestURL(request.Host, request.Path);
    if (!url)
        return TmxHttpOutcome::Failed;
    InitCurlOnce();
    const std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
    if (!curl)
        return TmxHttpOutcome::Failed;

    curl_slist* list = nullptr;
    for (const char* header : {"Pragma: no-cache", "Cache-Control: no-cache", "Accept: */*"})
        list = curl_slist_append(list, header);
    const std::unique_ptr<curl_slist, TListDeleter> headers(list);
    if (!headers)
        return TmxHttpOutcome::Failed;

    TTransfer transfer;
    transfer.curl = curl.get();
    transfer.receiver = &receiver;
    const QByteArray user = request.UserName.toUtf8();
    const QByteArray password = request.Password.toUtf8();

    CURL* h = curl.get();
    bool set = curl_easy_setopt(h, CURLOPT_URL, url->constData()) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http") == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_PORT, long(request.Port)) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_0)) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_USERAGENT, kUserAgent) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get()) == CURLE_OK;
    if (!user.isEmpty()) {
        set = set && curl_easy_setopt(h, CURLOPT_HTTPAUTH, long(CURLAUTH_BASIC)) == CURLE_OK;
        set = set && curl_easy_setopt(h, CURLOPT_USERNAME, user.constData()) == CURLE_OK;
        set = set && curl_easy_setopt(h, CURLOPT_PASSWORD, password.constData()) == CURLE_OK;
    }
    set = set && curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_MAXREDIRS, kMaxHttpRedirects) == CURLE_OK;
    // The body runs to the server's close; the receiver compares it with the announced length.
    set = set && curl_easy_setopt(h, CURLOPT_IGNORE_CONTENT_LENGTH, 1L) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, kStallTimeoutSeconds) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, HeaderCallback) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, WriteCallback) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, ProgressCallback) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer) == CURLE_OK;
    set = set && curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
    if (!set)
        return TmxHttpOutcome::Failed;

    const CURLcode result = curl_easy_perform(h);
    if (transfer.stopped)
        return TmxHttpOutcome::Stopped;
    if (result != CURLE_OK)
        return TmxHttpOutcome::Failed;
    // A response without a body has not begun yet; the rest of a body is its last read.
    try {
        if (!transfer.begun && !transfer.Begin())
            return TmxHttpOutcome::Stopped;
        if (!transfer.Deliver(true))
            return TmxHttpOutcome::Stopped;
    } catch (...) {
        return TmxHttpOutcome::Stopped;
    }
    return TmxHttpOutcome::Complete;
}
