#include "export/LinkListPage.h"

namespace vorlan {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");
const QString kPageHead =
    QStringLiteral("<HTML>\r\n<HEAD><TITLE>urlList</TITLE></HEAD>\r\n<BODY>\r\n");
const QString kPageTail = QStringLiteral("\r\n</BODY>\r\n</HTML>");
const QString kLinkLineStart = QStringLiteral("<BR>");

QString trimmedOfSpaces(QStringView text) {
    while (text.startsWith(u' '))
        text = text.sliced(1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text.toString();
}

QString linkEntry(const PageLink& link) {
    return QStringLiteral("<a href='") + htmlEscaped(link.address) + QStringLiteral("'>") +
           htmlEscaped(link.text) + QStringLiteral("</a>");
}

} // namespace

QString linkTextOf(const QString& shortcutPath, QChar separator) {
    const QString fileName = shortcutPath.mid(shortcutPath.lastIndexOf(separator) + 1);
    return trimmedOfSpaces(fileName.left(qMax<qsizetype>(0, fileName.size() - 4)));
}

QString htmlEscaped(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QStringLiteral("&amp;");
            break;
        case u'<':
            escaped += QStringLiteral("&lt;");
            break;
        case u'>':
            escaped += QStringLiteral("&gt;");
            break;
        case u'"':
            escaped += QStringLiteral("&quot;");
            break;
        case u'\'':
            escaped += QStringLiteral("&#39;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString linkListPage(const QList<PageLink>& links) {
    QString page = kPageHead;
    for (const PageLink& link : links)
        page += kLineEnd + kLinkLineStart + linkEntry(link);
    // The line after the last link holds "<BR>" alone.
    page += kLineEnd + kLinkLineStart + kPageTail;
    return page;
}

QString linkListPagePath(const QString& savePlace, QChar separator) {
    return savePlace + separator + QStringLiteral("urlLIST.htm");
}

} // namespace vorlan
