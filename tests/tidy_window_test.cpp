// The tidy window over a real check, its history and real files.
#include "HttpTestServer.h"
#include "WindowActions.h"
#include "WindowFixture.h"
#include "tidy/TidyWindow.h"

#include <QDirIterator>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

namespace {

// Every file below the program folder's shortcuts and their set-aside folder, with its bytes.
QMap<QString, QByteArray> shortcutTree(const QString& folder) {
    QMap<QString, QByteArray> tree;
    QDirIterator files(folder, {QStringLiteral("*.url")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        tree.insert(path.mid(folder.size()), fileBytes(path));
    }
    return tree;
}

// The server outlives the window, whose connections it would otherwise wait for.
class TidyWindowRun : public WindowFixture {
  protected:
    HttpTestServer server{[](httplib::Server& routes) {
        addPageRoutes(routes);
        routes.Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.status = 301;
            res.set_header("Location", "/ok");
        });
    }};
};

} // namespace

TEST_F(TidyWindowRun, AppliesTheTickedProposalsAndUndoesThem) {
    // a moved permanently, b holds the same address, c is fine.
    load({shortcut("a.url", server.url("/old")), shortcut("b.url", server.url("/old#top")),
          shortcut("c.url", server.url("/ok"))});
    form->Text1->setText(programFolder() + QStringLiteral("/web"));
    form->Option1->setChecked(true); // a new search lists by name
    EXPECT_FALSE(form->Tidy->isEnabled());
    runCheck();
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->Tidy->isEnabled(); }, 10000));
    const QMap<QString, QByteArray> checked = shortcutTree(programFolder());
    form->Tidy->trigger();
    auto* window = form->findChild<TidyWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tidy shortcuts - Vorlan"));
    ASSERT_EQ(window->Proposals->rowCount(), 2);
    EXPECT_EQ(window->Proposals->item(0, 5)->text(),
              QStringLiteral("moved permanently (301) to ") + server.url("/ok"));
    EXPECT_EQ(window->Proposals->item(1, 5)->text(),
              QStringLiteral("same address as ") + programFolder() + QStringLiteral("/web/a.url"));

    QTest::mouseClick(window->ApplyTidy, Qt::LeftButton);
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(window->Proposals->item(row, 6)->text(), QStringLiteral("Done"));
    EXPECT_EQ(fileBytes(programFolder() + "/web/a.url"),
              "[InternetShortcut]\r\nURL=" + server.url("/ok").toUtf8() + "\r\n");
    EXPECT_EQ(fileBytes(programFolder() + "/web - set aside/b.url"), checked.value("/web/b.url"));
    EXPECT_EQ(itemTexts(form->List1),
              QStringList({programFolder() + "/web/a.url", programFolder() + "/web/c.url"}));

    QTest::mouseClick(window->UndoTidy, Qt::LeftButton);
    EXPECT_EQ(shortcutTree(programFolder()), checked);
    EXPECT_EQ(form->List1->count(), 3);
    EXPECT_TRUE(platform->messages.isEmpty()) << platform->messages.join(u'\n').toStdString();
}
