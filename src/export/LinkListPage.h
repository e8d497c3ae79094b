#pragma once

#include <QList>
#include <QString>

namespace vorlan {

// The most links one page holds.
inline constexpr int kMaxPageLinks = 5000;

// One link of the page, as found: neither part is escaped yet.
struct PageLink {
    QString address;
    QString text;
};

// The link text of a result-file line: the file name after the last separator (the whole
// line without one), less its last four characters (the ".url" ending, whatever its case),
// trimmed of spaces. A name shorter than four characters gives the empty text.
QString linkTextOf(const QString& shortcutPath, QChar separator);

// The text with &, <, >, " and ' replaced by their character references, so that a name or
// address cannot close the attribute or inject markup.
QString htmlEscaped(const QString& text);

// The page's content without its final line end: the head, an empty line, one "<BR>" line
// per link in the given order, a lone "<BR>" line, then the closing tags; CR LF between
// lines. Link texts and addresses are escaped.
QString linkListPage(const QList<PageLink>& links);

// The page file's path: the save place as typed, the separator, then "urlLIST.htm". The
// separator is added even when the save place already ends with one.
QString linkListPagePath(const QString& savePlace, QChar separator);

} // namespace vorlan
