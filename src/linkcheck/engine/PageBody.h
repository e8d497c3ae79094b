#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QTemporaryFile>
#include <memory>

namespace vorlan {

// A page body as it arrives. It stays in memory while it is small and the bodies in memory
// together stay within their budget; beyond that it goes to a temporary file, so that the
// memory a check run holds is bounded whatever the pages weigh.
class PageBody {
  public:
    // Largest body kept in memory, and the budget of all bodies in memory together.
    static constexpr qint64 kLargestInMemory = 1 << 20;
    static constexpr qint64 kMemoryBudget = 16 << 20;

    PageBody() = default;
    ~PageBody();
    PageBody(const PageBody&) = delete;
    PageBody& operator=(const PageBody&) = delete;
    // Takes the other body's bytes over, leaving it empty.
    PageBody(PageBody&& other) noexcept;

    void append(QByteArrayView bytes);
    // No more bytes follow: a temporary file is closed, so that the bodies waiting for their
    // rows hold no open files, however many there are.
    void seal();
    // Drops the bytes; the body is empty again.
    void clear();

    qint64 size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }
    // False when some bytes could not be stored (the temporary file failed).
    bool isWhole() const { return whole_; }
    // A device reading the body from its start; null when it is not whole or cannot be read.
    std::unique_ptr<QIODevice> open() const;
    // Renames the body's temporary file to path with the trailer appended, leaving the body
    // empty. False, with nothing changed, when the body is not in a file or the file cannot
    // go there (another file system, a missing folder).
    bool moveFileTo(const QString& path, QByteArrayView trailer);

    // Bytes of all bodies held in memory at present.
    static qint64 bytesInMemory() { return bytesInMemory_; }

  private:
    void moveToFile();
    void removeFile();

    QByteArray memory_;
    // The temporary file, open while bytes arrive; its name stays once it is closed.
    std::unique_ptr<QTemporaryFile> writing_;
    QString fileName_;
    qint64 size_ = 0;
    bool whole_ = true;
    static inline qint64 bytesInMemory_ = 0;
};

} // namespace vorlan
