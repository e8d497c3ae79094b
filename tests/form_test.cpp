#include "FileSystem.h"
#include "ScopedEnvironment.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

using StartUp = WindowFixture;

TEST_F(StartUp, ControlsAreInTheirInitialState) {
    EXPECT_EQ(form->windowTitle(), "Vorlan");
    EXPECT_EQ(form->Label2->text(), "Exit");
    for (QWidget* disabled : {form->Label1, form->Label4, form->Label5})
        EXPECT_FALSE(disabled->isEnabled()) << disabled->objectName().toStdString();
    EXPECT_TRUE(form->Label2->isEnabled());
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{form->Picture1, form->Frame1, form->Frame2, form->List3,
                                         form->List4, form->Command5, form->Command6})
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();
    EXPECT_TRUE(form->Option2->isChecked());
    EXPECT_FALSE(form->Option1->isChecked());
    for (ListBox* list : {form->List1, form->List2, form->List3, form->List4}) {
        EXPECT_EQ(list->count(), 0);
        EXPECT_EQ(list->listIndex(), -1);
    }
    EXPECT_TRUE(form->Text1->text().isEmpty());
    EXPECT_TRUE(form->Text2->toPlainText().isEmpty());
    EXPECT_FALSE(form->Check1->isChecked());
    EXPECT_FALSE(form->Check3->isChecked());
    EXPECT_EQ(form->ListFocus, (std::array<bool, 4>{}));
    EXPECT_FALSE(form->Command1->icon().isNull());
    EXPECT_FALSE(form->windowIcon().isNull());
}

TEST_F(StartUp, PictureButtonsAndClickableLabelsHaveAccessibleNames) {
    const struct {
        QWidget* control;
        const char* name;
    } cases[] = {
        {form->Command1, "Search and Create"}, {form->Command2, "Load"},
        {form->Label1, "Navigate URL"},        {form->Label2, "Exit"},
        {form->Label4, "Save list as HTML"},   {form->Label5, "Check Link status"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(c.control)->text(QAccessible::Name),
                  c.name);
}

TEST_F(StartUp, ControlsStandAtTheirPlaces) {
    const struct {
        QWidget* control;
        QRect pixels;
    } cases[] = {
        {form->List1, {8, 40, 449, 124}},   {form->Text1, {8, 16, 169, 18}},
        {form->Command1, {224, 8, 89, 25}}, {form->Picture1, {8, 32, 193, 209}},
        {form->Dir1, {16, 40, 153, 142}},   {form->Label2, {416, 0, 55, 24}},
        {form->List3, {8, 216, 321, 94}},   {form->Check3, {16, 24, 137, 17}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.control->geometry(), c.pixels) << c.control->objectName().toStdString();
}

TEST_F(StartUp, MenusHoldTheirItemsAndShortcuts) {
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "File (&F)");
    EXPECT_EQ(menus[1]->text(), "Edit (&E)");
    EXPECT_EQ(menus[2]->text(), "Help (&H)");
    const struct {
        QAction* item;
        const char* caption;
        const char* shortcut;
    } cases[] = {
        {form->Find, "Find shortcut (&I)", "Ctrl+I"},
        {form->Load, "Load shortcut (&L)", "Ctrl+L"},
        {form->SaveScutAsHTML, "Save list as HTML (&S)", "Ctrl+S"},
        {form->ExApp, "Exit Vorlan (&X)", "Ctrl+X"},
        {form->Copy, "Copy(&C)", "Ctrl+C"},
        {form->Navi, "Navigate this page (&N)", "Ctrl+N"},
        {form->ABOUTVorlan, "About Vorlan... (&A)", "Ctrl+A"},
        {form->HANDLE, "How to handle Vorlan... (&W)", "Ctrl+W"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.item->text(), c.caption);
        EXPECT_EQ(c.item->shortcut(), QKeySequence(QString::fromLatin1(c.shortcut)));
        EXPECT_TRUE(c.item->isEnabled());
    }
    EXPECT_TRUE(form->sp1->isSeparator());
    EXPECT_TRUE(form->sp2->isSeparator());
}

TEST_F(StartUp, PanelTogglesShowAndHideAndKeepTheirValues) {
    form->show();
    QTest::mouseClick(form->Command3, Qt::LeftButton);
    EXPECT_FALSE(form->Frame1->isHidden());
    QTest::mouseClick(form->Option1, Qt::LeftButton);
    QTest::mouseClick(form->Command3, Qt::LeftButton);
    EXPECT_TRUE(form->Frame1->isHidden());
    EXPECT_TRUE(form->Option1->isChecked());
    QTest::mouseClick(form->Command7, Qt::LeftButton);
    EXPECT_FALSE(form->Frame2->isHidden());
    QTest::mouseClick(form->Command7, Qt::LeftButton);
    EXPECT_TRUE(form->Frame2->isHidden());
}

TEST_F(StartUp, TabOrderStartsAtTheTargetDirectory) {
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(QApplication::focusWidget(), form->Text1);
    EXPECT_EQ(form->Text1->nextInFocusChain(), form->Command1);
    EXPECT_EQ(form->Command2->nextInFocusChain(), form->List1);
}

TEST_F(StartUp, SizeRuleRestoresTheLayoutSizeInTheNormalState) {
    form->show();
    const QSize kept = form->size();
    EXPECT_EQ(form->centralWidget()->size(), Form1::clientSize());
    form->resize(kept + QSize(100, 50));
    EXPECT_EQ(form->size(), kept);
    form->resize(200, 100);
    EXPECT_EQ(form->size(), kept);
    EXPECT_EQ(form->List1->geometry(), QRect(8, 40, 449, 124));
}

TEST(WorkingFolder, CreatedWhenMissingAndLeftAloneOtherwise) {
    QTemporaryDir programFolder;
    const QString vor = programFolder.filePath(QStringLiteral("VOR"));
    {
        FakePlatform platform(programFolder.path());
        Form1 form(platform);
        form.Form_Load();
        EXPECT_TRUE(QFileInfo(vor).isDir());
        EXPECT_TRUE(QDir(vor).isEmpty());
        EXPECT_TRUE(platform.messages.isEmpty());
    }
    QFile kept(vor + QStringLiteral("/url.txt"));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("x\r\n");
    kept.close();
    {
        FakePlatform platform(programFolder.path());
        Form1 form(platform);
        form.Form_Load();
        EXPECT_EQ(QDir(vor).entryList(QDir::Files), QStringList{"url.txt"});
        EXPECT_EQ(QFileInfo(kept).size(), 3);
    }
}

TEST(WorkingFolder, APlainFileNamedLikeItIsLeft) {
    QTemporaryDir programFolder;
    QFile plain(programFolder.filePath(QStringLiteral("VOR")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    FakePlatform platform(programFolder.path());
    Form1 form(platform);
    form.Form_Load();
    EXPECT_TRUE(QFileInfo(plain).isFile());
    EXPECT_TRUE(platform.messages.isEmpty());
}

// Beside the program where that folder is writable, else in the user's data folder; a
// working folder that cannot be created is reported with its path.
TEST(WorkingFolder, BesideTheProgramOrInTheUserDataFolder) {
    QTemporaryDir temp;
    const QString writable = temp.filePath(QStringLiteral("writable"));
    const QString readOnly = temp.filePath(QStringLiteral("read-only"));
    const QString plainFile = temp.filePath(QStringLiteral("file"));
    QDir().mkpath(writable);
    QDir().mkpath(readOnly);
    QFile(readOnly).setPermissions(QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                   QFile::ExeOther);
    ASSERT_TRUE(writeTextFile(plainFile, QString()).ok());
    const QString userData = temp.filePath(QStringLiteral("data"));
    const struct {
        QString programFolder;
        QString dataHome;
        QString workingFolder; // empty: it cannot be created, and a message names it
    } cases[] = {
        {writable, userData, writable + "/VOR"},
        {readOnly, userData, userData + "/vorlan/VOR"},
        {temp.filePath(QStringLiteral("missing")), userData, userData + "/vorlan/VOR"},
        {readOnly, plainFile + "/data", QString()},
    };
    for (const auto& c : cases) {
        const ScopedEnvironment environment{{"XDG_DATA_HOME", c.dataHome.toLocal8Bit()}};
        FakePlatform platform(c.programFolder);
        Form1 form(platform);
        form.Form_Load();
        const std::string name = c.programFolder.toStdString();
        if (c.workingFolder.isEmpty()) {
            ASSERT_EQ(platform.messages.size(), 1) << name;
            EXPECT_TRUE(platform.messages[0].contains(plainFile + "/data/vorlan")) << name;
        } else {
            EXPECT_EQ(form.workingFolder(), c.workingFolder) << name;
            EXPECT_TRUE(QFileInfo(c.workingFolder).isDir()) << name;
            EXPECT_TRUE(platform.messages.isEmpty()) << name;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(readOnly + "/VOR"));
}
