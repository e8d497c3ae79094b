#include "app/ReportOutput.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace vorlan {

Result<void> ReportOutput::open(const QString& path) {
    const QFileInfo info(path);
    bool opened = false;
    if (path.isEmpty()) {
        auto out = std::make_unique<QFile>();
        opened = out->open(STDOUT_FILENO, QIODevice::WriteOnly);
        device_ = std::move(out);
    } else if (info.exists() && !info.isFile()) {
        device_ = std::make_unique<QFile>(path);
        opened = device_->open(QIODevice::WriteOnly);
    } else {
        auto file = std::make_unique<QSaveFile>(path);
        file->setDirectWriteFallback(false);
        opened = file->open(QIODevice::WriteOnly);
        replacing_ = file.get();
        device_ = std::move(file);
    }
    if (opened)
        return {};
    return failure(path);
}

bool ReportOutput::write(const QByteArray& bytes) {
    if (gone_)
        return false;
    if (device_->write(bytes) != bytes.size() || (!replacing_ && !device_->flush()))
        gone_ = !replacing_; // a replaced file tells its failure when it is finished
    return !gone_;
}

Result<void> ReportOutput::finish() {
    if (replacing_ ? replacing_->commit()
                   : device_->flush() && device_->error() == QFileDevice::NoError)
        return {};
    return failure(device_->fileName());
}

Failure ReportOutput::failure(const QString& path) const {
    return {runtime_error::kPathFileAccess,
            QStringLiteral("cannot write %1: %2")
                .arg(path.isEmpty() ? QStringLiteral("the report") : path, device_->errorString())};
}

} // namespace vorlan
