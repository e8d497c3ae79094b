#include "WindowActions.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <functional>

using namespace vorlan;
using namespace vorlan::test;

class Lists : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        activate(form.get());
        // Real shortcut files: selecting one fills the detail list with its address line.
        for (const char* name : {"one", "two", "three"})
            shortcuts.append(writeFile(QStringLiteral("s/%1.url").arg(name),
                                       QByteArray("URL=") + name + ".example\r\n"));
        fillList(form->List1, shortcuts);
        fillList(form->List3, {"one.example", "two.example", "three.example"});
    }
    QStringList shortcuts;
    void showResults() {
        form->List3->show();
        form->List2->hide();
    }
    void closeMenu() {
        form->Edit->close();
        activate(form.get());
    }
};

TEST_F(Lists, FocusFlagsAndTooltipsFollowTheLists) {
    clickRow(form->List1, 1);
    EXPECT_TRUE(form->ListFocus[1]);
    EXPECT_EQ(form->List1->toolTip(), shortcuts[1]);
    QTest::keyClick(form->List1, Qt::Key_Tab);
    EXPECT_FALSE(form->ListFocus[1]);
    EXPECT_TRUE(form->ListFocus[2]);
    EXPECT_TRUE(form->List1->toolTip().isEmpty());
    QTest::keyClick(form->List2, Qt::Key_Backtab);
    EXPECT_TRUE(form->ListFocus[1]);
    EXPECT_TRUE(form->List1->toolTip().isEmpty());

    // A release over an empty list keeps its tooltip; with items but no selection it empties.
    form->List2->setToolTip(QStringLiteral("kept"));
    form->List2->clear();
    QTest::mouseClick(form->List2->viewport(), Qt::LeftButton);
    EXPECT_EQ(form->List2->toolTip(), "kept");
    fillList(form->List2, {"x.y"});
    QTest::mouseClick(form->List2->viewport(), Qt::LeftButton, {}, QPoint(5, 100));
    EXPECT_EQ(form->List2->toolTip(), QString());
}

TEST_F(Lists, TheMenuBarTakingTheKeysLeavesTheFocusFlag) {
    QMenuBar* menuBar = form->menuBar();
    const QPoint editTitle = menuBar->actionGeometry(form->Edit->menuAction()).center();
    const struct {
        const char* way;
        std::function<void()> takeKeys;
    } cases[] = {
        {"Edit left with Escape",
         [&] {
             QTest::mouseClick(menuBar, Qt::LeftButton, {}, editTitle);
             QTest::keyClick(form->Edit, Qt::Key_Escape);
         }},
        {"Alt alone", [this] { QTest::keyClick(form->List2, Qt::Key_Alt); }},
    };
    clickRow(form->List1, 1);
    for (const auto& c : cases) {
        clickRow(form->List2, 0);
        c.takeKeys();
        ASSERT_EQ(QApplication::focusWidget(), menuBar) << c.way;
        EXPECT_TRUE(form->ListFocus[2]) << c.way;
        EXPECT_EQ(form->List2->toolTip(), "URL=two.example") << c.way;
        platform->clipboard.clear();
        QTest::keyClick(menuBar, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(platform->clipboard, QStringList{"URL=two.example"}) << c.way;
        QTest::keyClick(menuBar, Qt::Key_Escape);
        EXPECT_EQ(QApplication::focusWidget(), form->List2) << c.way;
    }
    // The keys going on from the menu bar to another list move the focus.
    QTest::keyClick(form->List2, Qt::Key_Alt);
    clickRow(form->List1, 0);
    EXPECT_FALSE(form->ListFocus[2]);
    EXPECT_TRUE(form->List2->toolTip().isEmpty());
}

TEST_F(Lists, RightClickOpensTheEditMenuOnlyWithASelection) {
    const struct {
        ListBox* list;
        int clickedRow;
    } cases[] = {{form->List1, 1}, {form->List2, 0}};
    for (const auto& c : cases) {
        const std::string name = c.list->objectName().toStdString();
        clickRow(c.list, c.clickedRow, Qt::RightButton);
        EXPECT_FALSE(form->Edit->isVisible()) << name;
        c.list->setListIndex(0);
        clickRow(c.list, c.clickedRow, Qt::RightButton);
        EXPECT_TRUE(form->Edit->isVisible()) << name;
        EXPECT_EQ(c.list->listIndex(), 0) << name;
        closeMenu();
    }
}

TEST_F(Lists, LeftClickOnTheShortcutListMovesTheShownResults) {
    clickRow(form->List1, 2);
    EXPECT_EQ(form->List3->listIndex(), -1) << "results hidden";
    showResults();
    clickRow(form->List1, 1);
    EXPECT_EQ(form->List3->listIndex(), 1);
    clickRow(form->List1, 2, Qt::RightButton);
    EXPECT_EQ(form->List3->listIndex(), 1) << "a right click moves nothing";
    closeMenu();
    delete form->List3->takeItem(2);
    clickRow(form->List1, 2);
    EXPECT_EQ(form->List3->listIndex(), 1) << "lengths differ";
}

TEST_F(Lists, CopyTakesTheFocusedListsItem) {
    form->List3->setListIndex(2); // moves the shortcut list too
    form->List1->setListIndex(0);
    form->List2->setListIndex(0);
    const struct {
        QWidget* focused;
        QStringList clipboard;
    } cases[] = {
        {form->List2, {"URL=one.example"}},
        {form->List1, {shortcuts[0]}},
        {form->Command1, {}},
    };
    for (const auto& c : cases) {
        platform->clipboard.clear();
        c.focused->setFocus(Qt::TabFocusReason);
        form->Copy->trigger();
        EXPECT_EQ(platform->clipboard, c.clipboard) << c.focused->objectName().toStdString();
    }
    form->ListFocus[3] = true; // the results list holds the focus
    form->Copy->trigger();
    EXPECT_EQ(platform->clipboard, QStringList{"three.example"});

    form->ListFocus[3] = false;
    platform->clipboard.clear();
    form->List1->setCurrentRow(-1);
    form->List1->setFocus(Qt::TabFocusReason);
    form->Copy->trigger();
    EXPECT_EQ(platform->clipboard, QStringList{QString()}) << "no selection copies empty text";
}

TEST_F(Lists, NavigationOpensTheShortcutsAddressOrTheCheckedAddressNeverTheDetail) {
    form->List1->setListIndex(2);
    form->List2->setListIndex(0);
    form->List2->setFocus(Qt::TabFocusReason);
    form->Navi->trigger();
    EXPECT_EQ(platform->shellOpens, QStringList{"three.example"});

    form->Label1->setEnabled(true);
    QTest::mouseClick(form->Label1, Qt::LeftButton);
    doubleClickRow(form->List1, 0);
    EXPECT_EQ(platform->shellOpens, (QStringList{"three.example", "three.example", "one.example"}));

    // A shortcut without an address, or one that cannot be read, opens as a file.
    const QStringList noAddress = {
        writeFile(QStringLiteral("s/empty.URL"), "[InternetShortcut]\r\n"),
        writeFile(QStringLiteral("s/big.url"), QByteArray(2 << 20, 'x'))};
    fillList(form->List1, noAddress);
    for (int row : {0, 1})
        doubleClickRow(form->List1, row);
    EXPECT_EQ(platform->shellOpens.mid(3), noAddress);

    form->ListFocus[3] = true; // the results list holds the focus
    form->List3->setListIndex(1);
    form->Navi->trigger();
    EXPECT_EQ(platform->shellOpens.last(), "two.example");

    form->ListFocus[3] = false;
    form->List1->setCurrentRow(-1);
    platform->shellOpens.clear();
    form->Navi->trigger();
    EXPECT_TRUE(platform->shellOpens.isEmpty()) << "nothing selected opens nothing";
}
