#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vorlan {

namespace {

Failure fileFailure(const QString& message) {
    return {runtime_error::kPathFileAccess, message};
}

// Beyond the size a file reports, it is read in pieces of this many bytes.
constexpr qint64 kReadChunkBytes = 4096;

bool hasWildcard(const QString& name) {
    return name.contains(u'*') || name.contains(u'?');
}

bool kindMatches(const QFileInfo& info, EntryKind kind) {
    if (!info.exists())
        return false;
    return kind == EntryKind::FilesAndDirectories || !info.isDir();
}

// The wildcards of the directory-entry query: '*' stands for any run of characters and '?'
// for any one character; every other character, '[' included, stands for itself, and case
// does not count.
QRegularExpression wildcardPattern(const QString& name) {
    QString pattern;
    qsizetype literalStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != u'*' && name[i] != u'?')
            continue;
        pattern += QRegularExpression::escape(name.mid(literalStart, i - literalStart));
        if (i < name.size())
            pattern += name[i] == u'*' ? QStringLiteral(".*") : QStringLiteral(".");
        literalStart = i + 1;
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

bool entryExists(const QString& path, EntryKind kind) {
    const QString target = path.isEmpty() ? QStringLiteral("/") : path;
    const QFileInfo info(target);
    // An entry of exactly that name exists, whatever wildcard characters its name holds.
    if (kindMatches(info, kind))
        return true;
    const QString name = info.fileName();
    if (!hasWildcard(name))
        return false;
    QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System;
    if (kind == EntryKind::FilesAndDirectories)
        filters |= QDir::Dirs | QDir::NoDotAndDotDot;
    const QRegularExpression pattern = wildcardPattern(name);
    const QStringList entries = QDir(info.path()).entryList(filters);
    return std::any_of(entries.begin(), entries.end(), [&pattern](const QString& entry) {
        return pattern.match(entry).hasMatch();
    });
}

Result<void> makeDirectory(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0777) == 0)
        return {};
    return fileFailure(QStringLiteral("Cannot create the folder %1: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
}

QStringList splitTextLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

Result<QByteArray> readFileBytes(const QString& path, qint64 maxBytes) {
    const auto cannotRead = [&path](const QString& reason) {
        return fileFailure(QStringLiteral("Cannot read the file %1: %2").arg(path, reason));
    };
    // A FIFO would block the program and a device may never end: only plain files are read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return cannotRead(QStringLiteral("not a plain file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotRead(file.errorString());
    // Shortcuts and result files are small; a huge file (a sparse one of gigabytes, say)
    // would only exhaust memory. The size a file reports is not always what it yields
    // (/proc/self/pagemap reports none and yields gigabytes), so the read stops at the cap.
    const QString tooLarge =
        QStringLiteral("it is larger than %1 MiB").arg(maxBytes / (1024 * 1024));
    if (file.size() > maxBytes)
        return cannotRead(tooLarge);
    QByteArray bytes = file.read(file.size());
    char chunk[kReadChunkBytes];
    while (bytes.size() <= maxBytes) {
        const qint64 read = file.read(chunk, kReadChunkBytes);
        if (read <= 0)
            break;
        bytes.append(chunk, read);
    }
    if (file.error() != QFileDevice::NoError)
        return cannotRead(file.errorString());
    if (bytes.size() > maxBytes)
        return cannotRead(tooLarge);
    return bytes;
}

Result<QStringList> readTextLines(const QString& path, qint64 maxBytes) {
    const Result<QByteArray> bytes = readFileBytes(path, maxBytes);
    if (!bytes.ok())
        return bytes.failure();
    return splitTextLines(QString::fromLocal8Bit(bytes.value()));
}

Result<void> writeFileAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    return fileFailure(
        QStringLiteral("Cannot write the file %1: %2").arg(path, file.errorString()));
}

QByteArray toLocal8Bit(const QString& text) {
    return text.toLocal8Bit();
}

Result<void> writeTextFile(const QString& path, const QString& text) {
    return writeFileAtomically(path, toLocal8Bit(text) + "\r\n");
}

} // namespace vorlan
