// Reading a whole file that must be an ordinary file of bounded size.
#pragma once

#include <QByteArray>
#include <QString>

// Reads the regular file at path (symbolic links followed) into bytes. Anything else named
// there (a folder, a FIFO, a device, a socket) is refused without blocking on it, and so is a
// file of more than maxBytes bytes, even one that grows while it is read. On failure bytes is
// empty and why says, in a few words, what was wrong.
bool ReadRegularFile(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& why);
