#include "WindowActions.h"
#include "WindowFixture.h"
#include "platform/ResourcePicture.h"

#include <QApplication>
#include <QClipboard>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

// Three shortcut files in List1, their addresses in List3.
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

    QStringList shortcuts;
};

TEST_F(Lists, FocusFlagsAndTooltipsFollowTheListsAndOutlastTheMenuBar) {
    clickRow(form->List1, 1);
    EXPECT_TRUE(form->ListFocus[1]);
    EXPECT_EQ(form->List1->toolTip(), shortcuts[1]);
    QTest::keyClick(form->List1, Qt::Key_Tab);
    EXPECT_TRUE(form->ListFocus[2] && !form->ListFocus[1]);
    EXPECT_TRUE(form->List1->toolTip().isEmpty());
    // Alt alone hands the keys to the menu bar; the list keeps its flag.
    clickRow(form->List2, 0);
    QTest::keyClick(form->List2, Qt::Key_Alt);
    ASSERT_EQ(QApplication::focusWidget(), form->menuBar());
    EXPECT_TRUE(form->ListFocus[2]);
    QTest::keyClick(form->menuBar(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform->clipboard, QStringList{"URL=two.example"});
    QTest::keyClick(form->menuBar(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), form->List2);
}

TEST_F(Lists, RightClickOpensTheEditMenuOnlyWithASelection) {
    for (ListBox* list : {form->List1, form->List2, form->List3}) {
        SCOPED_TRACE(list->objectName().toStdString());
        form->List3->setVisible(list == form->List3);
        form->List2->setVisible(list != form->List3);
        clickRow(list, 0, Qt::RightButton);
        EXPECT_FALSE(form->Edit->isVisible());
        list->setListIndex(0);
        clickRow(list, 0, Qt::RightButton);
        EXPECT_TRUE(form->Edit->isVisible());
        form->Edit->close();
        activate(form.get());
    }
}

// Navigate opens the shortcut's address, or the file itself when it holds none.
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
    const QPoint centre = form->List1->visualItemRect(form->List1->item(0)).center();
    QTest::mouseClick(form->List1->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(form->List1->viewport(), Qt::LeftButton, {}, centre);
    form->List1->setCurrentRow(-1);
    form->Navi->trigger(); // nothing selected opens nothing
    EXPECT_EQ(platform->shellOpens, QStringList({"three.example", "two.example", noAddress}));
}

// The Edit items follow the focused list when the menu opens; before it first opens they work
// from any control, and once it has opened with an item disabled, that item's key does
// nothing anywhere.
TEST_F(Lists, EditItemsFollowTheFocusedListWhenTheMenuOpens) {
    form->List1->setListIndex(1);
    form->List2->setListIndex(0);
    form->Text1->setText(QStringLiteral("typed"));
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens, QStringList{"two.example"});
    const struct {
        QWidget* focused;
        bool copy;
        bool navigate;
    } cases[] = {
        {form->List1, true, true},
        {form->List3, true, true},
        {form->List2, true, false},
        {form->Text1, false, false},
    };
    for (const auto& c : cases) {
        form->Check1->setChecked(c.focused == form->List3); // shows the results list
        c.focused->setFocus(Qt::TabFocusReason);
        QMenuBar* bar = form->menuBar(); // opens the Edit menu and closes it again
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(form->Edit->menuAction()).center());
        ASSERT_TRUE(form->Edit->isVisible());
        form->Edit->close();
        activate(form.get());
        EXPECT_EQ(form->Copy->isEnabled(), c.copy) << c.focused->objectName().toStdString();
        EXPECT_EQ(form->Navi->isEnabled(), c.navigate) << c.focused->objectName().toStdString();
    }
    form->Text1->selectAll();
    QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(form->Text1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(platform->clipboard.isEmpty());
    EXPECT_NE(QApplication::clipboard()->text(), QStringLiteral("typed"));
    EXPECT_EQ(platform->shellOpens.size(), 1);
}

TEST_F(Lists, CtrlWOpensTheHelpPageAndCtrlXWhileTypingClosesTheWindow) {
    QSignalSpy unloading(form.get(), &Form1::unloading);
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens, QStringList{programFolder() + "/HelpVorlan.htm"});
    QTest::keyClicks(form->Text1, QStringLiteral("abc"));
    QTest::keyClick(form->Text1, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Text1->text(), QStringLiteral("abc"));
    EXPECT_TRUE(platform->messages.isEmpty());
}

TEST_F(Lists, HoverHintsSetTooltipsAndHandCursorsOnEnabledLabels) {
    for (bool enabled : {true, false}) {
        form->Label4->setEnabled(enabled);
        form->Label4->setToolTip({});
        QTest::mouseMove(form->Label4, form->Label4->rect().center());
        QTest::mouseMove(form->Label4, form->Label4->rect().center() + QPoint(1, 0));
        EXPECT_EQ(form->Label4->toolTip(),
                  enabled ? QStringLiteral("Save the list of shortcuts as HTML") : QString());
    }
    EXPECT_EQ(form->Label4->cursor().pixmap().toImage(), resourceCursor(101).pixmap().toImage());
}
