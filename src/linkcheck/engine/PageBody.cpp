#include "linkcheck/engine/PageBody.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <utility>

namespace vorlan {

PageBody::PageBody(PageBody&& other) noexcept
    : memory_(std::exchange(other.memory_, {})), writing_(std::move(other.writing_)),
      fileName_(std::exchange(other.fileName_, {})), size_(std::exchange(other.size_, 0)),
      whole_(std::exchange(other.whole_, true)) {}

PageBody::~PageBody() {
    clear();
}

void PageBody::append(QByteArrayView bytes) {
    size_ += bytes.size();
    if (!whole_)
        return;
    if (fileName_.isEmpty() && (memory_.size() + bytes.size() > kLargestInMemory ||
                                bytesInMemory_ + bytes.size() > kMemoryBudget))
        moveToFile();
    if (!whole_)
        return;
    if (!fileName_.isEmpty()) {
        whole_ = writing_ && writing_->write(bytes.data(), bytes.size()) == bytes.size();
        return;
    }
    memory_.append(bytes);
    bytesInMemory_ += bytes.size();
}

void PageBody::moveToFile() {
    writing_ =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/vorlan-page-XXXXXX"));
    // The body's own code removes the file: a QTemporaryFile keeps its file open as long
    // as it exists, even when closed.
    writing_->setAutoRemove(false);
    whole_ = writing_->open() && writing_->write(memory_) == memory_.size();
    fileName_ = writing_->fileName();
    bytesInMemory_ -= memory_.size();
    memory_ = QByteArray();
}

void PageBody::seal() {
    // A body waits for its row with no room to grow.
    memory_.squeeze();
    if (writing_) {
        whole_ = whole_ && writing_->flush();
        writing_.reset();
    }
}

void PageBody::removeFile() {
    writing_.reset();
    if (!fileName_.isEmpty())
        QFile::remove(fileName_);
    fileName_.clear();
}

void PageBody::clear() {
    bytesInMemory_ -= memory_.size();
    memory_ = QByteArray();
    removeFile();
    size_ = 0;
    whole_ = true;
}

std::unique_ptr<QIODevice> PageBody::open() const {
    if (!whole_ || writing_)
        return nullptr;
    std::unique_ptr<QIODevice> device;
    if (!fileName_.isEmpty()) {
        device = std::make_unique<QFile>(fileName_);
    } else {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(memory_); // shares the bytes, copies nothing
        device = std::move(buffer);
    }
    if (!device->open(QIODevice::ReadOnly))
        return nullptr;
    return device;
}

bool PageBody::moveFileTo(const QString& path, QByteArrayView trailer) {
    if (fileName_.isEmpty() || writing_ || !whole_)
        return false;
    QFile appending(fileName_);
    const bool appended = appending.open(QIODevice::Append) &&
                          appending.write(trailer.data(), trailer.size()) == trailer.size() &&
                          appending.flush();
    appending.close();
    if (!appended || std::rename(QFile::encodeName(fileName_).constData(),
                                 QFile::encodeName(path).constData()) != 0) {
        QFile::resize(fileName_, size_);
        return false;
    }
    fileName_.clear();
    clear();
    return true;
}

} // namespace vorlan
