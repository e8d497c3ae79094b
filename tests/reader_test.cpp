#include "WindowActions.h"
#include "WindowFixture.h"
#include "search/DetailView.h"
#include "search/LoadShortcuts.h"
#include "shortcuts/ShortcutReader.h"

#include <QFile>

using namespace vorlan;
using namespace vorlan::test;

namespace {

const QString kBefore = QStringLiteral("gh.ij");

// What a reader call left in a current address that held kBefore, and its failure's number.
using Outcome = std::pair<QString, int>;
template <typename Call> Outcome outcomeOf(Call call) {
    QString address = kBefore;
    const Result<void> result = call(address);
    return {address, result.ok() ? 0 : result.failure().number};
}
Outcome stored(const QString& address) {
    return {address, 0};
}
Outcome failed(int number) {
    return {kBefore, number};
}

} // namespace

TEST(GST, FollowsTheExtractionStep) {
    const QString x = QStringLiteral("x");
    const struct {
        QString text;
        Outcome outcome;
    } cases[] = {
        {QStringLiteral("URL=ab.cd/ef"), stored("URL=ab.cd/ef")},
        {QStringLiteral(" ab.cd  "), stored("ab.cd")},
        {QStringLiteral("\tab.cd\t"), stored("\tab.cd")}, // only blanks trimmed
        {QString(), stored(kBefore)},
        {QStringLiteral("a.[InternetShortcut]xb.c"), stored("b.c")},
        {QStringLiteral("ab.\t"), failed(runtime_error::kInvalidArgument)},
        {QStringLiteral("a.b\x05"
                        "c\x01"),
         stored("a.b\x05")}, // a stepped-over character is kept
        {QStringLiteral("ab.cd\u0100A"), stored("ab.cd\u0100A")}, // not in 1252
        {QStringLiteral("ab.cd\x1F"), stored("ab.cd\x1F")},       // 0, 31, 128, 255 are kept
        {QStringLiteral("ab.cd\x01\U0001F600"), stored("ab.cd\x01")},
        {QStringLiteral("a.") + x.repeated(32767), stored("a." + x.repeated(32767))},
        {QStringLiteral("a.") + x.repeated(32768), failed(runtime_error::kOverflow)},
        {x.repeated(32766) + "[InternetShortcut]-a.b", stored("a.b")},
        {x.repeated(32767) + "[InternetShortcut]-a.b", failed(runtime_error::kOverflow)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(outcomeOf([&](QString& address) { return GST(c.text, address); }), c.outcome)
            << c.text.left(40).toStdString();
    }
}

class Reading : public WindowFixture {
  protected:
    QString resultFile() const { return workingFolder() + QStringLiteral("/url.txt"); }
    bool labelsEnabled() const {
        return form->Label1->isEnabled() && form->Label4->isEnabled() && form->Label5->isEnabled();
    }
};

TEST_F(Reading, OandGurlReadsTheAddressAfterTheLastUrl) {
    const struct {
        QByteArray bytes;
        Outcome outcome;
    } cases[] = {
        {"[InternetShortcut]\rURL=ab.cd/ef\rHotKey=0", stored("ab.cd/ef")},
        {"BASEURL=ab.cd\r\nURL=gh.ij.kl\r\n", stored("gh.ij.kl")},
        {"URL=gh.ij.kl\r\nBASEURL=ab.cd\r\n", stored("ab.cd")},
        {"url=ab.cd\r\n", stored(kBefore)},
        {"URL=ab.cd\r\nIconFile=C:\\URLS\\x.ico\r\n", stored("\\x.ico")},
        {QByteArray("\0URL=\0ab.cd\0\r\n", 14), stored(QString(QChar(0)) + "ab.cd" + QChar(0))},
        // Not UTF-8: every byte is a character of the Windows code page.
        {"URL=http://caf\xE9.example/", stored("http://caf\u00E9.example/")},
        {"URL=\x80\x81\x8D\x8F\x90\x9D\x9F.b",
         stored("\u20AC\u0081\u008D\u008F\u0090\u009D\u0178.b")},
        {"URL=caf\xC3\xA9.example/\r\n\xFF", stored("caf\u00C3\u00A9.example/")},
        {"URL=caf\xC3\xA9.example/", stored("caf\u00E9.example/")}, // UTF-8
        // A trailing character: in UTF-8 it takes two bytes and stays; in Windows-1252 its
        // code is in 129-254 and it is cut off (È cuts off the A after it instead).
        {"URL=a.b/caf\xC3\xA9", stored("a.b/caf\u00E9")},
        {"URL=a.b/caf\xE9", stored("a.b/caf")},
        {"URL=a.b/\xC3\xA4", stored("a.b/\u00E4")},
        {"URL=a.b/\xE4", stored("a.b/")},
        {"URL=a.b/\xC2\xA0", stored("a.b/\u00A0")},
        {"URL=a.b/\xA0", stored("a.b/")},
        {"URL=a.b/\xC2\x81", stored("a.b/\u0081")},
        {"URL=a.b/\x81", stored("a.b/")},
        {"URL=a.b/\xC3\x88\x41", stored("a.b/\u00C8A")},
        {"URL=a.b/\xC8\x41", stored("a.b/\u00C8")},
        {"URL=a.b/\xFF", stored("a.b/\u00FF")},
        {"URL=ab.cd\r\nURL=ab.\t\r\n", {"ab.cd", runtime_error::kInvalidArgument}},
        {QByteArray(32762, 'x') + "URL=ab.cd", stored("ab.cd")},
        {QByteArray(32763, 'x') + "URL=ab.cd", failed(runtime_error::kOverflow)},
        {"URL=a.b" + QByteArray(1'000'000, '\t'), failed(runtime_error::kOverflow)},
    };
    const QString path = writeFile(QStringLiteral("a.url"), {});
    for (const auto& c : cases) {
        writeFile(QStringLiteral("a.url"), c.bytes);
        EXPECT_EQ(outcomeOf([&](QString& address) { return OandGurl(path, address); }), c.outcome)
            << c.bytes.left(40).toStdString();
    }
}

TEST_F(Reading, Command2ReportsEveryOutcome) {
    const QString empty = QStringLiteral("This directory does not have shortcut file.");
    const QString searchFirst = QStringLiteral("Please click on 'Search and Create' button first.");
    const QString found = QStringLiteral("Found file entry number: [%1] - Vorlan");
    const struct {
        bool writing;
        QByteArray result; // "-" for none
        bool script;
        QStringList list;
        QString caption;
        QStringList messages;
    } cases[] = {
        {true, "a\r\n", true, {}, "Vorlan", {"A result of file is being created."}},
        {false, "-", true, {}, "Vorlan", {"File is not created yet."}},
        {false, "", false, {}, "Vorlan", {empty, searchFirst}},
        {false, "a\r\nb\r\n\r\n", true, {"a", "b"}, "Vorlan", {empty}},
        {false, "c\r\n\r\na\nb", true, {"c", "a", "b"}, found.arg(3), {}},
        {false, "a\r\n", false, {"a"}, found.arg(1), {searchFirst}},
    };
    for (const auto& c : cases) {
        platform->messages.clear();
        form->setWindowTitle(QStringLiteral("Vorlan"));
        for (ClickLabel* label : {form->Label1, form->Label4, form->Label5})
            label->setEnabled(false);
        form->scriptWriting = c.writing;
        QFile::remove(resultFile());
        QFile::remove(workingFolder() + QStringLiteral("/listB.bat"));
        if (c.result != "-")
            writeFile(QStringLiteral("VOR/url.txt"), c.result);
        if (c.script)
            writeFile(QStringLiteral("VOR/listB.bat"), "@echo off\r\n");
        form->List2->addItem(QStringLiteral("old"));
        form->Check1->setChecked(true);
        form->Command2->click();
        EXPECT_EQ(itemTexts(form->List1), c.list);
        EXPECT_EQ(form->List2->count(), 0);
        EXPECT_EQ(form->Check1->isChecked(), c.writing);
        EXPECT_EQ(form->windowTitle(), c.caption);
        EXPECT_EQ(labelsEnabled(), c.caption != "Vorlan");
        EXPECT_EQ(platform->messages, c.messages);
    }
    // A later empty load keeps the caption and the labels.
    writeFile(QStringLiteral("VOR/url.txt"), "");
    form->Load->trigger();
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_EQ(form->windowTitle(), found.arg(1));
    EXPECT_TRUE(labelsEnabled());
}

TEST_F(Reading, AnUnreadableResultFileIsNamedAndLeavesTheListEmpty) {
    writeFile(QStringLiteral("VOR/listB.bat"), "");
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), resultFile())); // fails to read
    Command2_Click(*form);
    ASSERT_EQ(platform->messages.size(), 1);
    EXPECT_TRUE(platform->messages[0].contains(resultFile()));
    EXPECT_EQ(form->List1->count(), 0);
    EXPECT_FALSE(labelsEnabled());
}

TEST_F(Reading, List1ShowsWhatEachLineYields) {
    const QByteArray shortcut = "[InternetShortcut]\r\nURL=ab.cd/ef\r\nModified=0A1B\r\n";
    const QString url = QStringLiteral("URL=ab.cd/ef");
    const struct {
        QByteArray bytes;
        QString before;
        QStringList entries;
    } cases[] = {
        {shortcut, {}, {url, url}},
        {shortcut, kBefore, {kBefore, url, url}},
        {"[InternetShortcut]\r\nURL=localhost\r\n", kBefore, {kBefore, kBefore}},
        {"a.b\r\nab.\t\r\nc.d\r\n", {}, {"a.b"}}, // the failing line ends it quietly
        {"URL=caf\xE9.example\r\n", {}, {"URL=caf\u00E9.example"}},
        {"URL=a.b/caf\xC3\xA9\r\n", {}, {"URL=a.b/caf\u00E9"}},
    };
    for (const auto& c : cases) {
        fillList(form->List1, {writeFile(QStringLiteral("a.url"), c.bytes)});
        form->currentAddress = c.before;
        form->List1->setListIndex(0);
        EXPECT_EQ(itemTexts(form->List2), c.entries) << c.bytes.left(40).toStdString();
        EXPECT_EQ(form->currentAddress, c.entries.last()); // the address the line yields
    }
    EXPECT_TRUE(platform->messages.isEmpty());
}
