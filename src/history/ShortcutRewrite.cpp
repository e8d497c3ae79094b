#include "history/ShortcutRewrite.h"

#include "platform/CharacterCode.h"
#include "shortcuts/ShortcutReader.h"

#include <QUrl>
#include <algorithm>
#include <vector>

namespace vorlan {

namespace {

constexpr QStringView kAddressLine = u"URL=";
constexpr QStringView kBaseAddressLine = u"BASEURL=";
constexpr QStringView kSectionName = u"[InternetShortcut]";

Failure refused(const QString& why) {
    return {0, why};
}

// Where each line's bytes end, before its line end, in the order the reader splits them.
std::vector<qsizetype> lineEnds(const QByteArray& bytes) {
    std::vector<qsizetype> ends;
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        ends.push_back(i);
        if (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        ends.push_back(size);
    return ends;
}

bool isUtf8(const ShortcutText& text) {
    return text.code == utf8Code;
}

// The text's bytes in the file's encoding; a character Windows-1252 lacks gives no bytes.
std::optional<QByteArray> encoded(const QString& text, const ShortcutText& file) {
    if (isUtf8(file))
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const int code = windows1252Code(c);
        if (code < 0)
            return std::nullopt;
        bytes.append(char(code));
    }
    return bytes;
}

// The index in a line where the value the reader stores from it starts: after the key,
// past an "[InternetShortcut]" and the one character the reader skips after it, and past
// leading blanks.
qsizetype valueStart(const QString& line, qsizetype keyEnd) {
    qsizetype start = keyEnd;
    if (const qsizetype section = line.indexOf(kSectionName, keyEnd); section >= 0) {
        start = section + kSectionName.size();
        const bool pair = start + 1 < line.size() && line[start].isHighSurrogate() &&
                          line[start + 1].isLowSurrogate();
        start += pair ? 2 : 1;
    }
    while (start < line.size() && line[start] == u' ')
        ++start;
    return start;
}

// Bytes to put in place of a range of the file's bytes.
struct Replacement {
    qsizetype start = 0;
    qsizetype length = 0;
    QByteArray bytes;
};

// The value `address` at `start` in line `index` becomes `to`. The line's bytes after the
// value are those of its text after it, so the range is counted from the line's end: a
// byte order mark before the first line is left out of the count.
Replacement replaceValue(const ShortcutText& file, qsizetype lineEnd, qsizetype index,
                         qsizetype start, const QString& address, const QByteArray& to) {
    const QString& line = file.lines[index];
    const qsizetype after = encoded(line.sliced(start + address.size()), file)->size();
    const qsizetype length = encoded(address, file)->size();
    return {lineEnd - after - length, length, to};
}

} // namespace

Result<QByteArray> rewriteShortcutAddress(const QByteArray& bytes, const QString& from,
                                          const QString& to) {
    const ShortcutText file = decodeShortcutText(bytes);
    QString address;
    const Result<qsizetype> decided = scanShortcutLines(file, address);
    if (!decided.ok() || decided.value() < 0 || address != from)
        return refused(QStringLiteral("it changed since it was checked"));
    const qsizetype decidingLine = decided.value();
    if (!file.lines[decidingLine].startsWith(kAddressLine))
        return refused(QStringLiteral("its address is not on a URL= line"));

    // A file in Windows-1252 that cannot hold the address gets its ASCII form.
    QString written = to;
    std::optional<QByteArray> toBytes = encoded(to, file);
    if (!toBytes) {
        toBytes = QUrl(to).toEncoded();
        written = QString::fromLatin1(*toBytes);
    }

    const std::vector<qsizetype> ends = lineEnds(bytes);
    std::vector<Replacement> replacements;
    replacements.push_back(replaceValue(file, ends[decidingLine], decidingLine,
                                        valueStart(file.lines[decidingLine], kAddressLine.size()),
                                        address, *toBytes));
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const QString& line = file.lines[i];
        if (i == decidingLine || !line.startsWith(kBaseAddressLine))
            continue;
        QString base;
        if (!GST(line.sliced(kBaseAddressLine.size()), base, file.code).ok() || base != address)
            continue;
        replacements.push_back(replaceValue(
            file, ends[i], i, valueStart(line, kBaseAddressLine.size()), address, *toBytes));
    }
    std::sort(replacements.begin(), replacements.end(),
              [](const Replacement& a, const Replacement& b) { return a.start < b.start; });

    QByteArray rewritten;
    qsizetype kept = 0;
    for (const Replacement& replacement : replacements) {
        rewritten += bytes.sliced(kept, replacement.start - kept) + replacement.bytes;
        kept = replacement.start + replacement.length;
    }
    rewritten += bytes.sliced(kept);

    // The reader must find exactly the new address, whatever it holds (a line end, no dot).
    QString readBack;
    if (!scanShortcutLines(decodeShortcutText(rewritten), readBack).ok() || readBack != written)
        return refused(QStringLiteral("the new address would not read back as written"));
    return rewritten;
}

} // namespace vorlan
