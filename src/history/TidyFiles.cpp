#include "history/TidyFiles.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

namespace {

std::optional<struct stat> entryStatus(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

Failure failed(const QString& why) {
    return {runtime_error::kPathFileAccess, why};
}

Failure systemFailure(const QString& what) {
    return failed(QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno))));
}

// Copies the file to `to` on another file system as the move above describes.
Result<void> copyAcross(const QString& from, const struct stat& status, const QString& to) {
    const std::optional<QByteArray> bytes = plainFileBytes(from);
    if (!bytes)
        return failed(QStringLiteral("it could not be read"));
    QTemporaryFile copy(to + QStringLiteral(".XXXXXX"));
    if (!copy.open() || copy.write(*bytes) != bytes->size() || !copy.flush())
        return failed(QStringLiteral("it could not be copied: %1").arg(copy.errorString()));
    const int descriptor = int(copy.handle());
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (::fchmod(descriptor, status.st_mode & 07777) != 0 || ::futimens(descriptor, times) != 0 ||
        ::fsync(descriptor) != 0)
        return systemFailure(QStringLiteral("it could not be copied"));
    if (::renameat2(AT_FDCWD, QFile::encodeName(copy.fileName()).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), RENAME_NOREPLACE) != 0)
        return systemFailure(QStringLiteral("it could not be moved"));
    copy.setAutoRemove(false);
    if (::unlink(QFile::encodeName(from).constData()) != 0)
        return systemFailure(QStringLiteral("it was copied but could not be removed"));
    return {};
}

} // namespace

std::optional<QString> refusalToTidy(const QString& path, std::optional<qint64> checkedSize,
                                     std::optional<qint64> checkedModified) {
    const std::optional<struct stat> status = entryStatus(path);
    if (!status)
        return QStringLiteral("it is gone");
    if (S_ISLNK(status->st_mode))
        return QStringLiteral("it is a symbolic link");
    if (!S_ISREG(status->st_mode))
        return QStringLiteral("it is not a plain file");
    // The owner's write permission, as root may write to any file.
    if ((status->st_mode & S_IWUSR) == 0 ||
        ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return QStringLiteral("it is read-only");
    const qint64 modified =
        qint64(status->st_mtim.tv_sec) * 1000 + status->st_mtim.tv_nsec / 1'000'000;
    if ((checkedSize && *checkedSize != status->st_size) ||
        (checkedModified && *checkedModified != modified))
        return QStringLiteral("it changed since it was checked");
    return std::nullopt;
}

bool entryThere(const QString& path) {
    return entryStatus(path).has_value();
}

std::optional<QByteArray> plainFileBytes(const QString& path) {
    const std::optional<struct stat> status = entryStatus(path);
    if (!status || !S_ISREG(status->st_mode))
        return std::nullopt;
    Result<QByteArray> bytes = readFileBytes(path);
    if (!bytes.ok())
        return std::nullopt;
    return std::move(bytes).value();
}

QString freePath(const QString& path) {
    if (!entryThere(path))
        return path;
    const bool shortcut = path.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive);
    const QString stem = shortcut ? path.chopped(4) : path;
    const QString ending = shortcut ? path.right(4) : QString();
    for (int number = 2;; ++number) {
        const QString candidate =
            QStringLiteral("%1 (%2)%3").arg(stem, QString::number(number), ending);
        if (!entryThere(candidate))
            return candidate;
    }
}

Result<void> moveFile(const QString& from, const QString& to) {
    const std::optional<struct stat> status = entryStatus(from);
    if (!status)
        return failed(QStringLiteral("it is gone"));
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD,
                    QFile::encodeName(to).constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno == EXDEV)
        return copyAcross(from, *status, to);
    if (errno == EEXIST)
        return failed(QStringLiteral("%1 is taken").arg(to));
    return systemFailure(QStringLiteral("it could not be moved"));
}

} // namespace vorlan
