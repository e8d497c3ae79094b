#include "linkcheck/engine/PageWriter.h"

#include "linkcheck/engine/PageBody.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vorlan {

namespace {

constexpr qint64 kChunkBytes = 1 << 20;
// Temporary files are private to their owner; a saved page is readable like any other file.
constexpr QFileDevice::Permissions kPagePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
    QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;

} // namespace

QString savedPageName(const QString& shortcutPath, QChar separator) {
    const qsizetype lastSeparator = shortcutPath.lastIndexOf(separator);
    const qsizetype lastDot = shortcutPath.lastIndexOf(u'.');
    if (lastDot <= lastSeparator)
        return {};
    return shortcutPath.mid(lastSeparator + 1, lastDot - lastSeparator) + QStringLiteral("htm");
}

PageWriter::PageWriter(const QString& path, PageBody& page)
    : path_(path), file_(path + QStringLiteral(".XXXXXX")) {
    if (page.moveFileTo(path, "\r\n")) {
        QFile::setPermissions(path, kPagePermissions);
        finished_ = true;
        return;
    }
    page_ = page.open();
    if (!page_)
        fail(QStringLiteral("the page could not be kept"));
    else if (!file_.open())
        fail(file_.errorString());
}

void PageWriter::fail(const QString& reason) {
    saved_ = Failure{runtime_error::kPathFileAccess,
                     QStringLiteral("Cannot write the file %1: %2").arg(path_, reason)};
    finished_ = true;
}

void PageWriter::putInPlace() {
    if (file_.write("\r\n") != 2 || !file_.flush()) {
        fail(file_.errorString());
        return;
    }
    if (std::rename(QFile::encodeName(file_.fileName()).constData(),
                    QFile::encodeName(path_).constData()) != 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    file_.setAutoRemove(false);
    QFile::setPermissions(path_, kPagePermissions);
    finished_ = true;
}

bool PageWriter::writeUntil(const QDeadlineTimer& deadline) {
    while (!finished_) {
        const QByteArray chunk = page_->read(kChunkBytes);
        if (chunk.isEmpty()) {
            if (page_->atEnd())
                putInPlace();
            else
                fail(page_->errorString());
        } else if (file_.write(chunk) != chunk.size()) {
            fail(file_.errorString());
        }
        if (deadline.hasExpired())
            break;
    }
    return finished_;
}

std::unique_ptr<PageWriter> pageWriterInto(const QString& folder, const QString& shortcutPath,
                                           PageBody& page) {
    const QString name = savedPageName(shortcutPath, kPathSeparator);
    if (name.isEmpty())
        return nullptr;
    return std::make_unique<PageWriter>(folder + kPathSeparator + name, page);
}

void UnsavedPages::note(const Result<void>& saved) {
    if (!saved.ok() && count_++ == 0)
        first_ = saved.failure().message;
}

QString UnsavedPages::report() const {
    if (count_ == 0)
        return {};
    const QString counted =
        count_ == 1 ? QStringLiteral("1 page could not be saved.")
                    : QStringLiteral("%1 pages could not be saved; the first:").arg(count_);
    return counted + QStringLiteral("\r\n") + first_;
}

} // namespace vorlan
