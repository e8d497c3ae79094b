#include "PageDownload.h"

#include "FileSystem.h"
#include "Form1.h"
#include "PageBody.h"
#include "Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vorlan {

namespace {

constexpr qint64 kChunkBytes = 1 << 20;
// Temporary files are private to their owner; a saved page is readable like any other file.
constexpr QFileDevice::Permissions kPagePermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
    QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// The page of a row committed while Check3's folder question is open.
struct HeldPage {
    QString shortcutPath;
    PageBody page;
};
using HeldPages = std::vector<HeldPage>;

// Set on Check3 while its folder question is open: where the pages wait for the answer.
constexpr char kHeldPages[] = "heldPages";

HeldPages* heldPages(const Form1& form) {
    return form.Check3->property(kHeldPages).value<HeldPages*>();
}

QString defaultDownloadFolder(const Platform& platform) {
    return platform.programFolder() + kPathSeparator + QStringLiteral("HTMLs");
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
    // A run goes on while the question is open; the pages of the rows it commits meanwhile
    // wait for the answer. Their bodies stay within the memory budget of all page bodies.
    HeldPages held;
    form.Check3->setProperty(kHeldPages, QVariant::fromValue(&held));
    const QString answer =
        platform.inputBox(QStringLiteral("Where would you like to save it?"), defaultFolder);
    form.Check3->setProperty(kHeldPages, QVariant());
    if (answer.isEmpty()) {
        form.Check3->setChecked(false); // the held pages are dropped
        return;
    }
    if (answer == defaultFolder && !entryExists(answer, EntryKind::FilesAndDirectories)) {
        if (const auto error = makeDirectory(answer))
            platform.message(*error);
    }
    form.downloadFolder = answer;
    int notSaved = 0;
    QString firstError;
    for (HeldPage& page : held) {
        if (const auto writer = SaveAllHTMLs(form, page.page, page.shortcutPath)) {
            writer->writeUntil(QDeadlineTimer(QDeadlineTimer::Forever));
            if (!writer->error().isEmpty() && notSaved++ == 0)
                firstError = writer->error();
        }
    }
    if (notSaved > 0)
        platform.message(unsavedPagesReport(notSaved, firstError));
}

bool savingPages(const Form1& form) {
    return form.Check3->isChecked();
}

QString unsavedPagesReport(int count, const QString& firstError) {
    if (count == 0)
        return {};
    const QString counted =
        count == 1 ? QStringLiteral("1 page could not be saved.")
                   : QStringLiteral("%1 pages could not be saved; the first:").arg(count);
    return counted + QStringLiteral("\r\n") + firstError;
}

std::unique_ptr<PageWriter> SaveAllHTMLs(Form1& form, PageBody& EachPage,
                                         const QString& EachPageNAME) {
    if (HeldPages* held = heldPages(form)) {
        held->push_back({EachPageNAME, std::move(EachPage)});
        return nullptr;
    }
    if (form.downloadFolder.isEmpty())
        form.platform().message(QStringLiteral("The initial saving place is root of Vorlan."));
    const QString name = savedPageName(EachPageNAME, kPathSeparator);
    if (name.isEmpty())
        return nullptr;
    return std::make_unique<PageWriter>(form.downloadFolder + kPathSeparator + name, EachPage);
}

} // namespace vorlan
