// Reading a whole file that must be an ordinary file of bounded size.
#include "RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads are made in parts of about the file's size, never less than this.
constexpr qint64 MinReadPart = 64 * 1024;

QString SystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Closes the descriptor however the read ends.
class TDescriptor {
public:
    explicit TDescriptor(int fd) : fd(fd) {}
    ~TDescriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int get() const { return fd; }

private:
    int fd;
};

QString TooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
}

// Checks what the open descriptor names; empty when it is a regular file within the bound.
QString Refusal(const struct stat& st, qint64 maxBytes) {
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    if (st.st_size > maxBytes)
        return TooLarge(maxBytes);
    return {};
}

} // namespace

bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& why) {
    bytes.clear();
    // Opening without blocking: a FIFO without a writer would otherwise hold the open for ever.
    // The checks then look at what was opened, so nothing can be swapped in between.
    const TDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        why = SystemError();
        return false;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        why = SystemError();
        return false;
    }
    why = Refusal(st, maxBytes);
    if (!why.isEmpty())
        return false;
    // One byte beyond the bound tells a file that grew since its size was asked, or one whose
    // size the system does not know beforehand.
    const qint64 part = std::max<qint64>(static_cast<qint64>(st.st_size) + 1, MinReadPart);
    while (bytes.size() <= maxBytes) {
        const qint64 want = std::min<qint64>(part, maxBytes + 1 - bytes.size());
        const qsizetype start = bytes.size();
        bytes.resize(start + want);
        const ssize_t got = ::read(fd.get(), bytes.data() + start, static_cast<size_t>(want));
        if (got < 0 && errno == EINTR) {
            bytes.resize(start);
            continue;
        }
        if (got < 0) {
            why = SystemError();
            bytes.clear();
            return false;
        }
        bytes.resize(start + got);
        if (got == 0)
            break;
    }
    if (bytes.size() > maxBytes) {
        why = TooLarge(maxBytes);
        bytes.clear();
        return false;
    }
    return true;
}
