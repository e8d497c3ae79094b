#include "WindowFixture.h"
#include "export/LinkListExport.h"
#include "export/LinkListPage.h"

#include <QDir>

using namespace vorlan;
using namespace vorlan::test;

class LinkListExport : public WindowFixture {
  protected:
    QString savePlace() const { return programFolder() + QStringLiteral("/out"); }
    QByteArray readPage() const { return fileBytes(savePlace() + QStringLiteral("/urlLIST.htm")); }
    void exportTo(const QString& answer, bool openIt = false) {
        platform->inputAnswers.push_back(answer);
        platform->yesNoAnswers.push_back(openIt);
        Label4_Click(*form);
    }
};

// Hostile names and addresses are escaped; a shortcut without an address gives none.
TEST_F(LinkListExport, WritesTheTenLinePageAndOpensItOnYes) {
    QDir().mkpath(savePlace());
    form->currentAddress = QStringLiteral("stale.example");
    load({writeFile("web/One.url", "[InternetShortcut]\r\nURL=http://one.example/\r\n"),
          writeFile("web/Two Words.url", "URL=two.example/a?b=1&c=2\r\n"),
          writeFile("web/no address.url", "[InternetShortcut]\r\n"),
          writeFile("web/a<b>&\"c'.url", "URL=http://e.example/?q='><script>x</script>"),
          QStringLiteral("gone.url"), writeFile("web/.url", "URL=dot.example")});
    platform->inputAnswers.push_back(savePlace() + u'/');
    platform->yesNoAnswers.push_back(true);
    form->SaveScutAsHTML->trigger();
    EXPECT_EQ(readPage(),
              "<HTML>\r\n<HEAD><TITLE>urlList</TITLE></HEAD>\r\n<BODY>\r\n\r\n"
              "<BR><a href='http://one.example/'>One</a>\r\n"
              "<BR><a href='two.example/a?b=1&amp;c=2'>Two Words</a>\r\n"
              "<BR><a href=''>no address</a>\r\n"
              "<BR><a href='http://e.example/?q=&#39;&gt;&lt;script&gt;x&lt;/script&gt;'>"
              "a&lt;b&gt;&amp;&quot;c&#39;</a>\r\n<BR><a href=''>gone</a>\r\n"
              "<BR><a href='dot.example'></a>\r\n<BR>\r\n</BODY>\r\n</HTML>\r\n");
    EXPECT_EQ(platform->inputPrompts, QStringList{"Where do you want to save?"});
    EXPECT_EQ(platform->inputDefaults, QStringList{programFolder()});
    EXPECT_EQ(platform->questions,
              QStringList{"urlLIST.htm is created in your drive at" + savePlace() +
                          "/successfully.\r\nWhould you like to open it now?"});
    EXPECT_EQ(platform->shellOpens, QStringList{savePlace() + "//urlLIST.htm"});
    EXPECT_TRUE(platform->messages.isEmpty());
}

TEST_F(LinkListExport, RefusesOrReportsFailuresAndKeepsTheOldPage) {
    writeFile(QStringLiteral("out/urlLIST.htm"), "old");
    const QString fine = writeFile("web/fine.url", "URL=fine.example");
    const QString broken = writeFile("web/broken.url", "URL=ab.\t");
    const QString missing = programFolder() + "/missing";
    const struct {
        QStringList lines;
        QString answer;
        QString message; // what the one message holds
    } cases[] = {
        {{}, savePlace(), "Please search file first, which you want to."},
        {{fine, QString()}, savePlace(), "Please make sure that list is prepared."},
        {{fine}, QString(), "Please decide where to save first."},
        {{fine, broken}, savePlace(), broken},
        {{fine}, missing, "Cannot write the file " + missing + "/urlLIST.htm: "},
        {{fine}, savePlace() + "/urlLIST.htm", "/urlLIST.htm/urlLIST.htm: Not a directory"},
    };
    for (const auto& c : cases) {
        platform->messages.clear();
        load(c.lines);
        platform->inputAnswers = {c.answer};
        Label4_Click(*form);
        ASSERT_EQ(platform->messages.size(), 1) << c.message.toStdString();
        EXPECT_TRUE(platform->messages[0].contains(c.message))
            << platform->messages[0].toStdString();
    }
    EXPECT_EQ(readPage(), "old");
    EXPECT_TRUE(platform->questions.isEmpty());
}

TEST_F(LinkListExport, HoldsAtMost5000Links) {
    QDir().mkpath(savePlace());
    QStringList lines;
    for (int i = 0; i < kMaxPageLinks; ++i)
        lines.append(QStringLiteral("/nowhere/%1.url").arg(i));
    load(lines);
    exportTo(savePlace());
    const QByteArray page = readPage();
    EXPECT_TRUE(page.endsWith("<BR><a href=''>4999</a>\r\n<BR>\r\n</BODY>\r\n</HTML>\r\n"));
    load(lines + QStringList{QStringLiteral("/nowhere/last.url")});
    exportTo(savePlace());
    EXPECT_EQ(platform->messages, QStringList{"Does not support anymore links."});
    EXPECT_EQ(readPage(), page);
}
