#include "LinkListPage.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(LinkTextOf, CutsTheLastFourCharactersOfTheFileNameAndTrimsSpaces) {
    const struct {
        const char* line;
        QChar separator;
        const char* text;
    } cases[] = {
        {"/home/web/One.url", u'/', "One"},
        {"/home/web/Two Words.url", u'/', "Two Words"},
        {"/home/web/ x .url", u'/', "x"},
        {"C:\\Web\\ x .url", u'\\', "x"},
        {"/home/a\\b.url", u'/', "a\\b"},
        {"/home/web/.url", u'/', ""},
        {"/home/web/NEWS.URL", u'/', "NEWS"},
        {"/home/web/Tab\t.url", u'/', "Tab\t"},
        {"no separator.url", u'/', "no separator"},
        {"/home/web/ab", u'/', ""},
        {"", u'/', ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(linkTextOf(QString::fromUtf8(c.line), c.separator), QString::fromUtf8(c.text))
            << c.line;
}

TEST(LinkListPage, EscapesMarkupInTextsAndAddresses) {
    EXPECT_EQ(htmlEscaped(QStringLiteral("x'><script>alert(\"&\")</script>")),
              QStringLiteral("x&#39;&gt;&lt;script&gt;alert(&quot;&amp;&quot;)&lt;/script&gt;"));
    EXPECT_EQ(linkListPage({{QStringLiteral("http://a.b/?q=1&r='2'"), QStringLiteral("<b>")}}),
              QStringLiteral("<HTML>\r\n<HEAD><TITLE>urlList</TITLE></HEAD>\r\n<BODY>\r\n\r\n"
                             "<BR><a href='http://a.b/?q=1&amp;r=&#39;2&#39;'>&lt;b&gt;</a>\r\n"
                             "<BR>\r\n</BODY>\r\n</HTML>"));
}

TEST(LinkListPage, WithoutLinksHoldsTheLoneBreakOnly) {
    EXPECT_EQ(linkListPage({}), QStringLiteral("<HTML>\r\n<HEAD><TITLE>urlList</TITLE></HEAD>\r\n"
                                               "<BODY>\r\n\r\n<BR>\r\n</BODY>\r\n</HTML>"));
}

TEST(LinkListPagePath, AddsTheSeparatorEvenAfterOne) {
    EXPECT_EQ(linkListPagePath(QStringLiteral("/srv/out"), u'/'),
              QStringLiteral("/srv/out/urlLIST.htm"));
    EXPECT_EQ(linkListPagePath(QStringLiteral("/srv/out/"), u'/'),
              QStringLiteral("/srv/out//urlLIST.htm"));
    EXPECT_EQ(linkListPagePath(QStringLiteral("C:\\"), u'\\'), QStringLiteral("C:\\\\urlLIST.htm"));
}
