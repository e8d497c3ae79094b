#pragma once

#include "linkcheck/engine/CheckRow.h"

#include <QByteArray>
#include <optional>

namespace vorlan {

enum class ReportFormat { Csv, Tsv, Json };

// The format a name gives ("csv", "tsv", "json", any case); none for another name.
std::optional<ReportFormat> reportFormatNamed(const QString& name);
// The format a file's extension gives (.tsv, .json); CSV for any other.
ReportFormat reportFormatOfFile(const QString& path);

// The bytes of a report of check rows, one piece at a time so that rows can go out as they
// are committed. CSV (RFC 4180 quoting, CR LF) and TSV (tab, CR and LF in a field written as
// \t, \r, \n) start with the header row shortcut,address,status,code,final_address,
// previous_status,failing_since,last_good (the times in ISO 8601 UTC, empty when unknown);
// JSON is one array of objects with those keys and the header text.
// A field of a TSV line: a tab, CR or LF inside it written as \t, \r, \n.
QString tsvField(QString field);

class ReportWriter {
  public:
    explicit ReportWriter(ReportFormat format) : format_(format) {}

    QByteArray begin() const;
    QByteArray row(const CheckRow& row);
    QByteArray end() const;

  private:
    ReportFormat format_;
    bool firstRow_ = true;
};

} // namespace vorlan
