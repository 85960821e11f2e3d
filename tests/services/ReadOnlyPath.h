// Makes a file or folder read-only for the test process, even for root, for the life of a scope.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// First by its mode; where the mode does not stop this user (root) also by the immutable
// attribute. Writable() tells whether either worked; both are undone on destruction.
class TReadOnlyPath {
public:
    explicit TReadOnlyPath(const QString& path) : name(QFile::encodeName(path)) {
        struct stat info {};
        folder = stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode);
        chmod(name.constData(), folder ? 0555 : 0444);
        if (Writable())
            immutable = SetImmutable(true);
    }
    ~TReadOnlyPath() {
        if (immutable)
            SetImmutable(false);
        chmod(name.constData(), folder ? 0755 : 0644);
    }
    TReadOnlyPath(const TReadOnlyPath&) = delete;
    TReadOnlyPath& operator=(const TReadOnlyPath&) = delete;

    // A folder that takes a new entry, or a file that opens for writing.
    bool Writable() const {
        const QByteArray target = folder ? name + "/.probe" : name;
        const int fd =
            open(target.constData(), folder ? O_WRONLY | O_CREAT | O_EXCL : O_WRONLY, 0644);
        if (fd < 0)
            return false;
        close(fd);
        if (folder)
            unlink(target.constData());
        return true;
    }

private:
    bool SetImmutable(bool on) const {
        const int fd = open(name.constData(), O_RDONLY);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }

    QByteArray name;
    bool folder = false;
    bool immutable = false;
};
