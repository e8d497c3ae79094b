#include "WindowFixture.h"
#include "search/SearchJob.h"
#include "search/TargetDirectory.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace vorlan;
using namespace vorlan::test;

class Search : public WindowFixture {
  protected:
    QByteArray scriptBytes() const { return fileBytes(workingFolder() + "/listB.bat"); }
};

TEST_F(Search, WritesTheScriptAndStartsTheListing) {
    const QString target = programFolder() + QStringLiteral("/Web sites");
    QDir().mkpath(target);
    const struct {
        QString typed;
        bool byName;
        QString kept;
        const char* order;
    } cases[] = {
        {target, false, target, "/o:d"},
        {target + QStringLiteral("//"), true, target + u'/', "/o:n"},
        {programFolder() + QStringLiteral("/We?*"), false, programFolder() + "/We?*", "/o:d"},
        {QStringLiteral("/"), false, QString(), "/o:d"}, // the whole tree
    };
    for (const auto& c : cases) {
        platform->listingRuns.clear();
        form->Text1->setText(c.typed);
        if (&c != cases) // the first search keeps the order the window starts with
            (c.byName ? form->Option1 : form->Option2)->setChecked(true);
        Command1_Click(*form);
        EXPECT_EQ(form->Text1->text(), c.kept);
        EXPECT_EQ(scriptBytes(), "@echo off\r\ndir \"" + c.kept.toUtf8() + "/*.url\" /s /b " +
                                     c.order + "  > \"" + workingFolder().toUtf8() +
                                     "/url.txt\"\r\n");
        EXPECT_EQ(platform->listingRuns, QStringList{workingFolder() + "/listB.bat"});
        EXPECT_FALSE(form->scriptWriting);
    }
    EXPECT_TRUE(platform->messages.isEmpty());
}

// Empty or missing targets are refused; a script that cannot be written is reported.
TEST_F(Search, RefusesWhatItCannotSearch) {
    const QString file = writeFile(QStringLiteral("plain.txt"), "x");
    writeFile(QStringLiteral("VOR/listB.bat"), "old");
    const struct {
        QString typed;
        const char* message;
    } cases[] = {
        {QString(), "Please input file name or file name and path"},
        {programFolder() + QStringLiteral("/missing"), "You have chosen directory does not exit."},
    };
    for (const auto& c : cases) {
        platform->messages.clear();
        form->Text1->setText(c.typed);
        Command1_Click(*form);
        EXPECT_EQ(platform->messages, QStringList{c.message});
        EXPECT_EQ(scriptBytes(), "old");
    }
    QDir(workingFolder()).removeRecursively();
    writeFile(QStringLiteral("VOR"), "a plain file in the way");
    platform->messages.clear();
    form->Text1->setText(file);
    Command1_Click(*form);
    ASSERT_EQ(platform->messages.size(), 1);
    EXPECT_TRUE(platform->messages[0].contains(QStringLiteral("/VOR/listB.bat")));
    EXPECT_FALSE(form->scriptWriting);
    EXPECT_TRUE(platform->listingRuns.isEmpty());
}

TEST_F(Search, ChoosersFillTheTargetDirectoryOnlyOneWay) {
    const QString sub = programFolder() + QStringLiteral("/sub");
    QDir().mkpath(sub);
    form->Text1->setText(QStringLiteral("typed"));
    EXPECT_NE(form->Dir1->path(), QStringLiteral("typed"));
    ASSERT_TRUE(form->Dir1->setPath(sub));
    EXPECT_EQ(form->Text1->text(), sub);

    form->Drive1->showDrive(QStringLiteral("/"));
    Drive1_Change(*form);
    EXPECT_EQ(form->Text1->text(), QStringLiteral("/"));

    // A drive that cannot be entered leaves both as they were.
    form->Drive1->showDrive(programFolder() + QStringLiteral("/missing"));
    Drive1_Change(*form);
    EXPECT_EQ(platform->messages.size(), 1);
    EXPECT_EQ(form->Dir1->path(), QStringLiteral("/"));
    EXPECT_EQ(form->Text1->text(), QStringLiteral("/"));
}
