#include "linkcheck/engine/ReportWriter.h"

#include <QFileInfo>
#include <QStringList>

namespace vorlan {

namespace {

const QStringList kColumns = {QStringLiteral("shortcut"),      QStringLiteral("address"),
                              QStringLiteral("status"),        QStringLiteral("code"),
                              QStringLiteral("final_address"), QStringLiteral("previous_status"),
                              QStringLiteral("failing_since"), QStringLiteral("last_good")};

// ISO 8601 in UTC, to the second; empty when unknown.
QString timeField(const std::optional<QDateTime>& time) {
    return time ? time->toUTC().toString(Qt::ISODate) : QString();
}

QStringList fieldsOf(const CheckRow& row) {
    return {row.shortcutPath,
            row.address,
            row.status,
            QString::number(row.statusCode),
            row.finalAddress,
            row.previousStatus,
            timeField(row.failingSince),
            timeField(row.lastGood)};
}

QString csvField(const QString& field) {
    static const QString kNeedQuotes = QStringLiteral(",\"\r\n");
    if (std::none_of(field.begin(), field.end(), [](QChar c) { return kNeedQuotes.contains(c); }))
        return field;
    return u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString jsonString(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            quoted += QStringLiteral("\\\"");
            break;
        case u'\\':
            quoted += QStringLiteral("\\\\");
            break;
        case u'\n':
            quoted += QStringLiteral("\\n");
            break;
        case u'\r':
            quoted += QStringLiteral("\\r");
            break;
        case u'\t':
            quoted += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QChar(u'0'));
            else
                quoted += c;
        }
    }
    return quoted + u'"';
}

QString line(const QStringList& fields, ReportFormat format) {
    QStringList written;
    for (const QString& field : fields)
        written.append(format == ReportFormat::Csv ? csvField(field) : tsvField(field));
    return format == ReportFormat::Csv ? written.join(u',') + QStringLiteral("\r\n")
                                       : written.join(u'\t') + u'\n';
}

} // namespace

QString tsvField(QString field) {
    return field.replace(u'\t', QStringLiteral("\\t"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\n', QStringLiteral("\\n"));
}

std::optional<ReportFormat> reportFormatNamed(const QString& name) {
    const QString lower = name.toLower();
    if (lower == u"csv")
        return ReportFormat::Csv;
    if (lower == u"tsv")
        return ReportFormat::Tsv;
    if (lower == u"json")
        return ReportFormat::Json;
    return std::nullopt;
}

ReportFormat reportFormatOfFile(const QString& path) {
    return reportFormatNamed(QFileInfo(path).suffix()).value_or(ReportFormat::Csv);
}

QByteArray ReportWriter::begin() const {
    return format_ == ReportFormat::Json ? QByteArray("[") : line(kColumns, format_).toUtf8();
}

QByteArray ReportWriter::row(const CheckRow& row) {
    const bool first = std::exchange(firstRow_, false);
    if (format_ != ReportFormat::Json)
        return line(fieldsOf(row), format_).toUtf8();
    const QStringList fields = fieldsOf(row);
    QString object = first ? QStringLiteral("\n  {") : QStringLiteral(",\n  {");
    for (qsizetype i = 0; i < kColumns.size(); ++i) {
        const QString value = i == 3 ? fields[i] : jsonString(fields[i]);
        object += jsonString(kColumns[i]) + QStringLiteral(": ") + value + QStringLiteral(", ");
    }
    return (object + QStringLiteral("\"header\": ") + jsonString(row.header) + u'}').toUtf8();
}

QByteArray ReportWriter::end() const {
    if (format_ != ReportFormat::Json)
        return {};
    return firstRow_ ? QByteArray("]\n") : QByteArray("\n]\n");
}

} // namespace vorlan
