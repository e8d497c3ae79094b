#pragma once

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
    // Why the page was not saved, naming the file; empty when it was.
    const QString& error() const { return error_; }

  private:
    void putInPlace();
    void fail(const QString& reason);

    QString path_;
    std::unique_ptr<QIODevice> page_;
    QTemporaryFile file_;
    QString error_;
    bool finished_ = false;
};

// Tells how many pages could not be saved, with the reason for the first; empty for none.
QString unsavedPagesReport(int count, const QString& firstError);

} // namespace vorlan
