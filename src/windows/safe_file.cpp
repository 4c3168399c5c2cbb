#include "windows/safe_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace morvik {
namespace {

QString CannotCreate(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

QString WriteFileSafely(const QString& path, const QByteArray& bytes) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QByteArray native = QFile::encodeName(absolute);
    // The rename below would replace a read-only file; such a target stays refused, also for
    // root, whom access() lets write anything: a file without any write permission is read-only.
    struct stat target {};
    if (::stat(native.constData(), &target) == 0 && S_ISREG(target.st_mode)) {
        if (::access(native.constData(), W_OK) != 0)
            return CannotCreate(absolute, SystemReason(errno));
        if ((target.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            return CannotCreate(absolute, SystemReason(EACCES));
        }
    }
    QSaveFile file(absolute);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int error = errno != 0 ? errno : EACCES;
        return CannotCreate(absolute, SystemReason(error));
    }
    // QSaveFile::commit() in Qt 6.4 renames even after a failed buffered write (a full disk,
    // a file size limit), so the write is flushed and checked before the commit.
    if (file.write(bytes) != bytes.size() || !file.flush() ||
        file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        file.commit();  // removes the temporary file; the target stays as it was
        return QStringLiteral("Stream write error.");
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno != 0 ? errno : EIO;
        return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EIO
                   ? QStringLiteral("Stream write error.")
                   : CannotCreate(absolute, SystemReason(error));
    }
    return QString();
}

}  // namespace morvik
