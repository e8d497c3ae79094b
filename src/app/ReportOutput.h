#pragma once

#include "platform/Result.h"

#include <QFileDevice>
#include <QSaveFile>
#include <memory>

namespace vorlan {

// Where the report goes. Stdout, or a device or FIFO named as the output, takes each piece
// as it comes; a regular file is replaced once the report is complete, so that a failed run
// never leaves half a report nor destroys the old one.
class ReportOutput {
  public:
    // Fails naming the output when it cannot be opened.
    Result<void> open(const QString& path);
    // False once the output is gone (a closed pipe): nothing more can reach it.
    bool write(const QByteArray& bytes);
    bool gone() const { return gone_; }
    // Puts a replaced file in place, or flushes what takes pieces.
    Result<void> finish();

  private:
    Failure failure(const QString& path) const;

    std::unique_ptr<QFileDevice> device_;
    QSaveFile* replacing_ = nullptr;
    bool gone_ = false;
};

} // namespace vorlan
