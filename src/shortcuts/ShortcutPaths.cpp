#include "shortcuts/ShortcutPaths.h"

#include "platform/FileSystem.h"
#include "shortcuts/DirectoryLister.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vorlan {

namespace {

Failure failure(const QString& what, const QString& path, int error) {
    return {
        runtime_error::kPathFileAccess,
        QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error)))};
}

// Lists the folder as the search's listing runner does, into an unnamed temporary file.
// Entries it skips are told on stderr.
Result<QStringList> listFolder(const QString& folder) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> list(std::tmpfile(), &std::fclose);
    if (!list)
        return failure(QStringLiteral("cannot list"), folder, errno);
    // Lines are the folder as written, a separator and the names below it.
    std::string directory = QFile::encodeName(folder).toStdString();
    while (!directory.empty() && directory.back() == '/')
        directory.pop_back();
    DirectoryLister lister(ListingOrder::ByName, fileno(list.get()), stderr);
    if (lister.list(directory).status != ListingOutcome::Status::Listed)
        return Failure{runtime_error::kPathFileAccess,
                       QStringLiteral("cannot list %1").arg(folder)};
    std::rewind(list.get());
    QByteArray bytes;
    char chunk[64 * 1024];
    while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, list.get()))
        bytes.append(chunk, qsizetype(read));
    if (std::ferror(list.get()))
        return failure(QStringLiteral("cannot list"), folder, errno);
    return splitTextLines(QFile::decodeName(bytes));
}

} // namespace

Result<QStringList> shortcutPathsIn(const QString& path) {
    // One test of every kind of path; O_NONBLOCK keeps a FIFO from holding the check up.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(QStringLiteral("cannot read"), path, errno);
    struct stat status {};
    const bool isFolder = fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    close(fd);
    if (isFolder)
        return listFolder(path);
    if (path.endsWith(QStringLiteral(".url"), Qt::CaseInsensitive))
        return QStringList{path};
    Result<QStringList> lines = readTextLines(path);
    if (lines.ok())
        lines.value().removeAll(QString());
    return lines;
}

} // namespace vorlan
