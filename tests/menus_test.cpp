#include "FileSystem.h"
#include "ResourcePicture.h"
#include "WindowActions.h"
#include "WindowFixture.h"

#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

class Menus : public WindowFixture {
  protected:
    void SetUp() override {
        WindowFixture::SetUp();
        activate(form.get());
        // Selecting a real shortcut fills the detail list with its address line.
        fillList(form->List1, {writeFile(QStringLiteral("a/One.url"), "URL=x.y\r\n"),
                               writeFile(QStringLiteral("a/Two.url"), "URL=ab.cd\r\n")});
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
};

TEST_F(Menus, EditItemsFollowTheFocusedListWhenTheMenuOpens) {
    const struct {
        QWidget* focused;
        bool copy;
        bool navigate;
    } cases[] = {
        {form->List1, true, true},
        {form->List2, true, false},
        {form->Text1, false, false},
        {form->Command1, false, false},
    };
    for (const auto& c : cases) {
        c.focused->setFocus(Qt::TabFocusReason);
        openAndCloseEditMenu();
        EXPECT_EQ(form->Copy->isEnabled(), c.copy) << c.focused->objectName().toStdString();
        EXPECT_EQ(form->Navi->isEnabled(), c.navigate) << c.focused->objectName().toStdString();
    }
    form->Check1->setChecked(true); // shows the results list
    form->List3->setFocus(Qt::TabFocusReason);
    openAndCloseEditMenu();
    EXPECT_TRUE(form->Copy->isEnabled());
    EXPECT_TRUE(form->Navi->isEnabled());
}

TEST_F(Menus, ShortcutsWorkFromAnyControlBeforeTheEditMenuOpens) {
    form->Text1->setFocus();
    QTest::keyClick(form->Text1, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens, QStringList{QStringLiteral("ab.cd")});

    form->List2->setFocus();
    QTest::keyClick(form->List2, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform->clipboard, QStringList{QStringLiteral("URL=ab.cd")});
}

TEST_F(Menus, ADisabledItemsShortcutDoesNothingAnywhere) {
    form->List2->setFocus();
    openAndCloseEditMenu();
    QTest::keyClick(form->List2, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(platform->shellOpens.isEmpty());

    form->Text1->setText(QStringLiteral("typed"));
    form->Text1->setFocus();
    openAndCloseEditMenu();
    form->Text1->selectAll();
    QTest::keyClick(form->Text1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(platform->clipboard.isEmpty());
    EXPECT_NE(QApplication::clipboard()->text(), QStringLiteral("typed"));
}

TEST_F(Menus, CtrlXWhileTypingClosesTheWindow) {
    QSignalSpy unloading(form.get(), &Form1::unloading);
    form->Text1->setFocus();
    QTest::keyClicks(form->Text1, QStringLiteral("abc"));
    QTest::keyClick(form->Text1, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(unloading.count(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Text1->text(), QStringLiteral("abc"));
}

TEST_F(Menus, HelpPageOpensWithTheDesktopWithoutAMessage) {
    QTest::keyClick(form->Text1, Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(platform->shellOpens,
              QStringList{programFolder() + QStringLiteral("/HelpVorlan.htm")});
    EXPECT_TRUE(platform->messages.isEmpty());
}

TEST_F(Menus, HoverHintsSetTooltipsAndHandCursors) {
    const struct {
        QWidget* control;
        bool enabled;
        const char* tooltip;
        int cursor;
    } cases[] = {
        {form->Label4, true, "Save the list of shortcuts as HTML", 101},
        {form->Label5, true, "Check all URLs whether links are working or not", 105},
        {form->Label1, true, "Navigate this URL", 104},
        {form->Label2, true, "Exit Vorlan", 102},
        {form->Command4, true, "Click on here to open the drive listbox", 0},
        {form->Text1, true,
         "Please choose the directory from small button or input your self: (E.g. c:\\temp)", 0},
        {form->Label5, false, "", 0},
    };
    for (const auto& c : cases) {
        c.control->setEnabled(c.enabled);
        c.control->setToolTip(c.control == form->Label2 ? c.control->toolTip() : QString());
        QTest::mouseMove(c.control, c.control->rect().center());
        QTest::mouseMove(c.control, c.control->rect().center() + QPoint(1, 0));
        EXPECT_EQ(c.control->toolTip(), QString::fromLatin1(c.tooltip));
        if (c.cursor != 0) {
            EXPECT_EQ(c.control->cursor().pixmap().toImage(),
                      resourceCursor(c.cursor).pixmap().toImage());
        }
    }
}
