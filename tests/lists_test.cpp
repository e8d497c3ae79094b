#include "ResourcePicture.h"
#include "WindowActions.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

// The lists and the menus over three real shortcut files in List1, their addresses in
// List3; selecting one fills the detail list with its address line.
class Lists : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        activate(form.get());
        for (const char* name : {"one", "two", "three"})
            shortcuts.append(shortcut(QStringLiteral("%1.url").arg(name),
                                      QStringLiteral("%1.example").arg(name)));
        fillList(form->List1, shortcuts);
        fillList(form->List3, {"one.example", "two.example", "three.example"});
    }
    // Selects the second shortcut and its address line.
    void selectTwo() {
        form->List1->setListIndex(1);
        form->List2->setListIndex(0);
    }
    // Opens the Edit menu from the menu bar and closes it again.
    void openAndCloseEditMenu() {
        QMenuBar* bar = form->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(form->Edit->menuAction()).center());
        EXPECT_TRUE(form->Edit->isVisible());
        form->Edit->close();
        activate(form.get());
    }
    void showResults(bool shown) {
        form->List3->setVisible(shown);
        form->List2->setVisible(!shown);
    }

    QStringList shortcuts;
};

TEST_F(Lists, FocusFlagsAndTooltipsFollowTheListsAndOutlastTheMenuBar) {
    clickRow(form->List1, 1);
    EXPECT_TRUE(form->ListFocus[1]);
    EXPECT_EQ(form->List1->toolTip(), shortcuts[1]);
    QTest::keyClick(form->List1, Qt::Key_Tab);
    EXPECT_TRUE(form->ListFocus[2] && !form->ListFocus[1]);
    EXPECT_TRUE(form->List1->toolTip().isEmpty());
    // Alt alone hands the keys to the menu bar; the list keeps its flag and tooltip.
    clickRow(form->List2, 0);
    QTest::keyClick(form->List2, Qt::Key_Alt);
    ASSERT_EQ(QApplication::focusWidget(), form->menuBar());
    EXPECT_TRUE(form->ListFocus[2]);
    QTest::keyClick(form->menuBar(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform->clipboard, QStringList{"URL=two.example"});
    QTest::keyClick(form->menuBar(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), form->List2);
    // A release over an empty list keeps its tooltip.
    form->List2->setToolTip(QStringLiteral("kept"));
    form->List2->clear();
    QTest::mouseClick(form->List2->viewport(), Qt::LeftButton);
    EXPECT_EQ(form->List2->toolTip(), "kept");
}

TEST_F(Lists, RightClickOpensTheEditMenuOnlyWithASelection) {
    for (ListBox* list : {form->List1, form->List2, form->List3}) {
        showResults(list == form->List3);
        clickRow(list, 0, Qt::RightButton);
        EXPECT_FALSE(form->Edit->isVisible()) << list->objectName().toStdString();
        list->setListIndex(0);
        clickRow(list, 0, Qt::RightButton);
        EXPECT_TRUE(form->Edit->isVisible()) << list->objectName().toStdString();
        form->Edit->close();
        activate(form.get());
    }
}

// Copy and Navigate take the focused list's item; Navigate never the detail line but the
// shortcut's address, which a shortcut without one opens as a file.
TEST_F(Lists, CopyAndNavigateTakeTheFocusedListsItem) {
    form->List1->setListIndex(2);
    form->List2->setListIndex(0);
    form->List2->setFocus(Qt::TabFocusReason);
    form->Navi->trigger();
    for (QWidget* focused :
         std::initializer_list<QWidget*>{form->List2, form->List1, form->Command1}) {
        focused->setFocus(Qt::TabFocusReason);
        form->Copy->trigger();
    }
    form->ListFocus[3] = true; // the results list holds the focus
    form->List3->setListIndex(1);
    form->Copy->trigger();
    form->Navi->trigger();
    EXPECT_EQ(platform->clipboard, QStringList({"URL=three.example", shortcuts[2], "two.example"}));
    const QString noAddress = writeFile(QStringLiteral("web/empty.URL"), "[InternetShortcut]\r\n");
    fillList(form->List1, {noAddress});
    form->ListFocus[3] = false;
    doubleClickRow(form->List1, 0);
    form->List1->setCurrentRow(-1);
    form->Navi->trigger(); // nothing selected opens nothing
    EXPECT_EQ(platform->shellOpens, QStringList({"three.example", "two.example", noAddress}));
}

TEST_F(Lists, EditItemsFollowTheFocusedListWhenTheMenuOpens) {
    selectTwo();
    const struct {
        QWidget* focused;
        bool copy;
        bool navigate;
    } cases[] = {
        {form->List1, true, true},
        {form->List2, true, false},
        {form->List3, true, true},
        {form->Text1, false, false},
    };
    for (const auto& c : cases) {
        form->Check1->setChecked(c.focused == form->List3); // shows the results list
        c.focused->setFocus(Qt::TabFocusReason);
        openAndCloseEditMenu();
        EXPECT_EQ(form->Copy->isEnabled(), c.copy) << c.focused->objectName().toStdString();
        EXPECT_EQ(form->Navi->isEnabled(), c.navigate) << c.focused->objectName().toStdString();
    }
}

// Before the Edit menu first opens its items work from any control; once it has opened
// with an item disabled, that item's shortcut does nothing anywhere.
TEST_F(Lists, ShortcutsFollowTheItemsEnablingOnceTheMenuHasOpened) {
    selectTwo();
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens, QStringList{"two.example"});
    form->List2->setFocus();
    openAndCloseEditMenu();
    QTest::keyClick(form->List2, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens.size(), 1);
    form->Text1->setText(QStringLiteral("typed"));
    form->Text1->setFocus();
    openAndCloseEditMenu();
    form->Text1->selectAll();
    QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform->clipboard.isEmpty());
    EXPECT_NE(QApplication::clipboard()->text(), QStringLiteral("typed"));
}

TEST_F(Lists, CtrlXWhileTypingClosesTheWindow) {
    QSignalSpy unloading(form.get(), &Form1::unloading);
    form->Text1->setFocus();
    QTest::keyClicks(form->Text1, QStringLiteral("abc"));
    QTest::keyClick(form->Text1, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Text1->text(), QStringLiteral("abc"));
}

TEST_F(Lists, HelpPageOpensWithTheDesktopWithoutAMessage) {
    QTest::keyClick(form->Text1, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens,
              QStringList{programFolder() + QStringLiteral("/HelpVorlan.htm")});
    EXPECT_TRUE(platform->messages.isEmpty());
}

TEST_F(Lists, HoverHintsSetTooltipsAndHandCursorsOnEnabledLabels) {
    const struct {
        ClickLabel* label;
        bool enabled;
        const char* tooltip;
    } cases[] = {
        {form->Label4, true, "Save the list of shortcuts as HTML"},
        {form->Label5, false, ""},
    };
    for (const auto& c : cases) {
        c.label->setEnabled(c.enabled);
        QTest::mouseMove(c.label, c.label->rect().center());
        QTest::mouseMove(c.label, c.label->rect().center() + QPoint(1, 0));
        EXPECT_EQ(c.label->toolTip(), QString::fromLatin1(c.tooltip));
    }
    EXPECT_EQ(form->Label4->cursor().pixmap().toImage(), resourceCursor(101).pixmap().toImage());
}
