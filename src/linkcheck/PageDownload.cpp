#include "PageDownload.h"

#include "FileSystem.h"
#include "Form1.h"
#include "PageBody.h"
#include "Platform.h"

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

// Set on Check3 while its folder question is open.
constexpr char kAskingForFolder[] = "askingForFolder";

QString defaultDownloadFolder(const Platform& platform) {
    return platform.dataFolder() + kPathSeparator + QStringLiteral("HTMLs");
}

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
    error_ = QStringLiteral("Cannot write the file %1: %2").arg(path_, reason);
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

void Check3_Click(Form1& form) {
    if (!form.Check3->isChecked())
        return;
    Platform& platform = form.platform();
    const QString defaultFolder = defaultDownloadFolder(platform);
    form.Check3->setProperty(kAskingForFolder, true);
    const QString answer =
        platform.inputBox(QStringLiteral("Where would you like to save it?"), defaultFolder);
    form.Check3->setProperty(kAskingForFolder, false);
    if (answer.isEmpty()) {
        form.Check3->setChecked(false);
        return;
    }
    if (answer == defaultFolder && !entryExists(answer, EntryKind::FilesAndDirectories)) {
        if (const auto error = makeDirectory(answer))
            platform.message(*error);
    }
    form.downloadFolder = answer;
}

bool savingPages(const Form1& form) {
    return form.Check3->isChecked() && !form.Check3->property(kAskingForFolder).toBool();
}

std::unique_ptr<PageWriter> SaveAllHTMLs(Form1& form, PageBody& EachPage,
                                         const QString& EachPageNAME) {
    if (form.downloadFolder.isEmpty())
        form.platform().message(QStringLiteral("The initial saving place is root of Vorlan."));
    const QString name = savedPageName(EachPageNAME, kPathSeparator);
    if (name.isEmpty())
        return nullptr;
    return std::make_unique<PageWriter>(form.downloadFolder + kPathSeparator + name, EachPage);
}

} // namespace vorlan
