#pragma once

#include "platform/Result.h"

#include <QDeadlineTimer>
#include <QString>
#include <QTemporaryFile>
#include <memory>

namespace vorlan {

class PageBody;

// The file name a shortcut's page is saved under: the shortcut's name up to and including
// its last dot, then "htm". Empty when the name has no such part (no dot after the last
// separator).
QString savedPageName(const QString& shortcutPath, QChar separator);

// Writes one page into its file followed by CR LF, a slice at a time, so that a large page
// never holds up the window. The page is written beside the file and renamed into place
// once complete; a page kept in a temporary file on the same file system is renamed at once.
class PageWriter {
  public:
    PageWriter(const QString& path, PageBody& page);

    // Writes until the page is in place or the deadline has passed; true when finished,
    // written or failed.
    bool writeUntil(const QDeadlineTimer& deadline);
    // Whether the page was saved; a failure names the file and the reason.
    const Result<void>& saved() const { return saved_; }

  private:
    void putInPlace();
    void fail(const QString& reason);

    QString path_;
    std::unique_ptr<QIODevice> page_;
    QTemporaryFile file_;
    Result<void> saved_;
    bool finished_ = false;
};

// A writer of the shortcut's page into the folder under savedPageName; null when the name
// gives nothing to save under.
std::unique_ptr<PageWriter> pageWriterInto(const QString& folder, const QString& shortcutPath,
                                           PageBody& page);

// Counts the pages that could not be saved, keeping the reason for the first.
class UnsavedPages {
  public:
    void note(const Result<void>& saved);
    // How many pages could not be saved, with the reason for the first; empty for none.
    QString report() const;

  private:
    int count_ = 0;
    QString first_;
};

} // namespace vorlan
