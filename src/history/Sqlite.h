#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace vorlan::sqlite {

// One connection to an SQLite database file, closed with the object.
class Database {
  public:
    // Opens or creates the file for reading and writing; never waits for another program's
    // lock: a statement that meets one fails at once with SQLITE_BUSY.
    static Result<Database> open(const QString& path);

    // Runs statements that take no parameters.
    Result<void> execute(const char* sql);
    // The last error's text, e.g. "database is locked".
    QString errorText() const;
    int errorCode() const;
    bool readOnly() const;
    sqlite3* handle() const { return db_.get(); }

  private:
    struct Close {
        void operator()(sqlite3* db) const;
    };
    std::unique_ptr<sqlite3, Close> db_;
};

// A prepared statement whose parameters are bound, never spliced into its text.
class Statement {
  public:
    Statement(Database& db, const char* sql);

    bool prepared() const { return statement_ != nullptr; }
    Statement& bind(int index, const QString& text);
    Statement& bind(int index, qint64 number);
    Statement& bind(int index, std::optional<qint64> number); // none binds NULL
    Statement& bind(int index, const std::optional<QString>& text);
    Statement& bindBytes(int index, const QByteArray& bytes); // a null array binds NULL
    // Runs to the next row: true while there is one. A failure ends the rows; done() tells.
    bool step();
    // Whether the last step finished the statement without an error.
    bool done() const { return result_ == 101; } // SQLITE_DONE
    int result() const { return result_; }
    // Runs a statement that gives no rows; ready to be bound and run again afterwards.
    bool run();
    void reset();

    QString text(int column) const;
    qint64 number(int column) const;
    std::optional<qint64> optionalNumber(int column) const;
    QByteArray bytes(int column) const;

  private:
    struct Finalize {
        void operator()(sqlite3_stmt* statement) const;
    };
    std::unique_ptr<sqlite3_stmt, Finalize> statement_;
    int result_ = 0;
};

} // namespace vorlan::sqlite
