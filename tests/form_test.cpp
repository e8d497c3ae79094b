#include "ScopedEnvironment.h"
#include "WindowFixture.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

using StartUp = WindowFixture;

TEST_F(StartUp, OpensWithClosedPanelsIdleCommandsAccessibleNamesAndTabOrder) {
    form->show();
    QApplication::setActiveWindow(form.get());
    EXPECT_EQ(form->windowTitle(), "Vorlan");
    EXPECT_FALSE(form->windowIcon().isNull());
    // Until a list is loaded, the commands that work on it take no click.
    for (ClickLabel* label : {form->Label1, form->Label4, form->Label5})
        QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_TRUE(platform->messages.isEmpty());
    for (QWidget* closed : std::initializer_list<QWidget*>{form->Picture1, form->Frame1,
                                                           form->Frame2, form->List3, form->List4})
        EXPECT_FALSE(closed->isVisible()) << closed->objectName().toStdString();
    for (const auto& [control, name] :
         {std::pair<QWidget*, const char*>{form->Command1, "Search and Create"},
          {form->Label5, "Check Link status"}})
        EXPECT_EQ(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), name);
    for (QWidget* control : std::initializer_list<QWidget*>{form->Text1, form->Text2, form->List1,
                                                            form->List2, form->List3, form->List4})
        EXPECT_FALSE(
            QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), form->Text1);
    EXPECT_EQ(form->Text1->nextInFocusChain(), form->Command1);
    EXPECT_EQ(form->Command2->nextInFocusChain(), form->List1);
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
}

TEST_F(StartUp, SizeRuleRestoresTheLayoutSizeInTheNormalState) {
    form->show();
    const QSize kept = form->size();
    EXPECT_EQ(form->centralWidget()->size(), Form1::clientSize());
    form->resize(kept + QSize(100, 50));
    EXPECT_EQ(form->size(), kept);
    form->resize(200, 100);
    EXPECT_EQ(form->size(), kept);
}

// Beside a writable, not installed program, else in the user's data folder; made when missing.
TEST(WorkingFolder, BesideTheProgramOrInTheUserDataFolder) {
    QTemporaryDir temp;
    const ShortcutSet files(temp.path());
    const QString readOnly = temp.filePath(QStringLiteral("read-only"));
    QDir().mkpath(readOnly);
    QFile(readOnly).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    for (const char* writable : {"writable", "installed/bin"})
        QDir().mkpath(temp.filePath(QString::fromLatin1(writable)));
    files.file(QStringLiteral("kept/VOR/url.txt"), "x\r\n");
    files.file(QStringLiteral("plain/VOR"), {});
    const QString plainFile = files.file(QStringLiteral("file"), {});
    files.file(QStringLiteral("installed/libexec/vorlan/listing"), {});
    const QString userData = temp.filePath(QStringLiteral("data"));
    const struct {
        const char* programFolder;
        QString dataHome;
        QString workingFolder; // empty: it cannot be created, and a message names it
        QByteArray resultFile; // what url.txt holds afterwards
    } cases[] = {
        {"writable", userData, temp.filePath("writable/VOR"), "(missing)"},
        {"kept", userData, temp.filePath("kept/VOR"), "x\r\n"},
        {"plain", userData, temp.filePath("plain/VOR"), "(missing)"},
        {"read-only", userData, userData + "/vorlan/VOR", "(missing)"},
        {"installed/bin", userData, userData + "/vorlan/VOR", "(missing)"},
        {"read-only", plainFile + "/data", QString(), "(missing)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.programFolder);
        const ScopedEnvironment environment{{"XDG_DATA_HOME", c.dataHome.toLocal8Bit()}};
        FakePlatform platform(temp.filePath(QString::fromLatin1(c.programFolder)));
        Form1 form(platform);
        form.Form_Load();
        if (c.workingFolder.isEmpty()) {
            ASSERT_EQ(platform.messages.size(), 1);
            EXPECT_TRUE(platform.messages[0].contains(plainFile + "/data/vorlan"));
            continue;
        }
        EXPECT_EQ(form.workingFolder(), c.workingFolder);
        EXPECT_TRUE(QFileInfo::exists(c.workingFolder));
        EXPECT_EQ(fileBytes(c.workingFolder + "/url.txt"), c.resultFile);
        EXPECT_TRUE(platform.messages.isEmpty());
    }
    EXPECT_TRUE(QFileInfo(temp.filePath("plain/VOR")).isFile());
    EXPECT_FALSE(QFileInfo::exists(readOnly + "/VOR"));
}
