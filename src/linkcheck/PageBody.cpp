#include "PageBody.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace vorlan {

PageBody::~PageBody() {
    clear();
}

void PageBody::append(QByteArrayView bytes) {
    size_ += bytes.size();
    if (!whole_)
        return;
    if (!file_ && (memory_.size() + bytes.size() > kLargestInMemory ||
                   bytesInMemory_ + bytes.size() > kMemoryBudget))
        moveToFile();
    if (file_) {
        whole_ = file_->isOpen() && file_->write(bytes.data(), bytes.size()) == bytes.size();
        return;
    }
    memory_.append(bytes);
    bytesInMemory_ += bytes.size();
}

void PageBody::moveToFile() {
    file_ =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/vorlan-page-XXXXXX"));
    whole_ = file_->open() && file_->write(memory_) == memory_.size();
    bytesInMemory_ -= memory_.size();
    memory_ = QByteArray();
}

void PageBody::seal() {
    if (file_ && file_->isOpen()) {
        whole_ = whole_ && file_->flush();
        file_->close();
    }
}

void PageBody::clear() {
    bytesInMemory_ -= memory_.size();
    memory_ = QByteArray();
    file_.reset();
    size_ = 0;
    whole_ = true;
}

std::unique_ptr<QIODevice> PageBody::open() const {
    if (!whole_)
        return nullptr;
    std::unique_ptr<QIODevice> device;
    if (file_) {
        device = std::make_unique<QFile>(file_->fileName());
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
    if (!file_ || !whole_)
        return false;
    const QString spill = file_->fileName();
    QFile appending(spill);
    const bool appended = appending.open(QIODevice::Append) &&
                          appending.write(trailer.data(), trailer.size()) == trailer.size() &&
                          appending.flush();
    appending.close();
    if (!appended || std::rename(QFile::encodeName(spill).constData(),
                                 QFile::encodeName(path).constData()) != 0) {
        QFile::resize(spill, size_);
        return false;
    }
    file_->setAutoRemove(false);
    clear();
    return true;
}

} // namespace vorlan
