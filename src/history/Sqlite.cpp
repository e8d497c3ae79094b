#include "history/Sqlite.h"

#include <QFile>
#include <sqlite3.h>

namespace vorlan::sqlite {

void Database::Close::operator()(sqlite3* db) const {
    sqlite3_close_v2(db);
}

Result<Database> Database::open(const QString& path) {
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Database db;
    db.db_.reset(raw);
    if (opened != SQLITE_OK)
        return Failure{opened, raw ? db.errorText() : QString::fromUtf8(sqlite3_errstr(opened))};
    sqlite3_extended_result_codes(raw, 0);
    return db;
}

Result<void> Database::execute(const char* sql) {
    if (sqlite3_exec(db_.get(), sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return {};
    return Failure{errorCode(), errorText()};
}

QString Database::errorText() const {
    return QString::fromUtf8(sqlite3_errmsg(db_.get()));
}

int Database::errorCode() const {
    return sqlite3_errcode(db_.get());
}

bool Database::readOnly() const {
    return sqlite3_db_readonly(db_.get(), "main") == 1;
}

void Statement::Finalize::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

Statement::Statement(Database& db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    result_ = sqlite3_prepare_v3(db.handle(), sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    statement_.reset(raw);
}

Statement& Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement_.get(), index, utf8.constData(), int(utf8.size()),
                      SQLITE_TRANSIENT);
    return *this;
}

Statement& Statement::bind(int index, qint64 number) {
    sqlite3_bind_int64(statement_.get(), index, number);
    return *this;
}

Statement& Statement::bind(int index, std::optional<qint64> number) {
    if (number)
        return bind(index, *number);
    sqlite3_bind_null(statement_.get(), index);
    return *this;
}

Statement& Statement::bind(int index, const std::optional<QString>& text) {
    if (text)
        return bind(index, *text);
    sqlite3_bind_null(statement_.get(), index);
    return *this;
}

Statement& Statement::bindBytes(int index, const QByteArray& bytes) {
    if (bytes.isNull())
        sqlite3_bind_null(statement_.get(), index);
    else
        sqlite3_bind_blob64(statement_.get(), index, bytes.constData(),
                            sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
    return *this;
}

bool Statement::step() {
    result_ = sqlite3_step(statement_.get());
    return result_ == SQLITE_ROW;
}

bool Statement::run() {
    step();
    const bool finished = done();
    reset();
    return finished;
}

void Statement::reset() {
    sqlite3_reset(statement_.get());
    sqlite3_clear_bindings(statement_.get());
}

QString Statement::text(int column) const {
    const auto* bytes = static_cast<const char*>(
        static_cast<const void*>(sqlite3_column_text(statement_.get(), column)));
    return QString::fromUtf8(bytes, sqlite3_column_bytes(statement_.get(), column));
}

qint64 Statement::number(int column) const {
    return sqlite3_column_int64(statement_.get(), column);
}

std::optional<qint64> Statement::optionalNumber(int column) const {
    if (sqlite3_column_type(statement_.get(), column) == SQLITE_NULL)
        return std::nullopt;
    return number(column);
}

QByteArray Statement::bytes(int column) const {
    const void* data = sqlite3_column_blob(statement_.get(), column);
    return QByteArray(static_cast<const char*>(data),
                      sqlite3_column_bytes(statement_.get(), column));
}

} // namespace vorlan::sqlite
