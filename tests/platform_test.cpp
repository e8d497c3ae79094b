#include "FakePlatform.h"
#include "ScopedEnvironment.h"
#include "ShortcutSet.h"
#include "platform/FileSystem.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vorlan;
using namespace vorlan::test;

TEST(TextLines, EveryLineEndEndsALine) {
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitTextLines(QString::fromUtf8(c.text)), c.lines) << c.text;
}

TEST(EntryQuery, FilesDirectoriesAndWildcards) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    ShortcutSet(dir.path()).file(QStringLiteral("Top [10] list?.url"), {});
    const struct {
        const char* name;
        EntryKind kind;
        bool exists;
    } cases[] = {
        {"folder", EntryKind::FilesOnly, false},
        {"fold?r", EntryKind::FilesAndDirectories, true},
        // Only '*' and '?' are wildcards; brackets are plain characters, case does not count.
        {"top [10] *", EntryKind::FilesOnly, true},
        {"Top [1] list*", EntryKind::FilesOnly, false},
        {"Top [10] list?.url?", EntryKind::FilesOnly, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entryExists(dir.filePath(c.name), c.kind), c.exists) << c.name;
    EXPECT_TRUE(entryExists(QString(), EntryKind::FilesAndDirectories)); // the root
}

TEST(ShellOpen, TargetsBecomeOneUrlAndWhatNothingOpensIsReported) {
    const QString file = QDir::currentPath();
    EXPECT_EQ(shellOpenUrl(file), QUrl::fromLocalFile(file));
    EXPECT_EQ(shellOpenUrl(QStringLiteral("mailto:someone@example.test")).scheme(), "mailto");
    // Shell syntax stays text inside the address.
    EXPECT_EQ(shellOpenUrl(QStringLiteral("x.test/;rm -rf ~")).host(), QStringLiteral("x.test"));
    // The real desktop opener: none on the PATH, then one that opens "ok" addresses only.
    struct RealOpener : FakePlatform {
        using FakePlatform::FakePlatform;
        void shellOpen(const QString& target) override { QtPlatform::shellOpen(target); }
    };
    QTemporaryDir dir;
    const ScopedEnvironment environment{{"PATH", dir.path().toLocal8Bit()}};
    RealOpener platform(dir.path());
    platform.shellOpen(QStringLiteral("https://example.test/"));
    const QString fails = QStringLiteral("Cannot open %1: no program is set up to open it.");
    EXPECT_EQ(platform.messages, QStringList{fails.arg("https://example.test/")});
    platform.messages.clear();
    const QString opener = dir.filePath(QStringLiteral("xdg-open"));
    ASSERT_TRUE(
        writeFileAtomically(opener, "#!/bin/sh\ncase $1 in *ok*) exit 0;; esac; exit 3").ok());
    QFile::setPermissions(opener, QFile::ExeOwner | QFile::ReadOwner);
    platform.shellOpen(QStringLiteral("https://ok.test/"));
    platform.shellOpen(QStringLiteral("https://none.test/"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !platform.messages.isEmpty(); }, 10000));
    QTest::qWait(200); // a late report of the first opener would arrive by now
    EXPECT_EQ(platform.messages, QStringList{fails.arg("https://none.test/")});
}

TEST(Dialogs, AQuestionClosesAnsweredNoAndASavedNameGetsTheChosenTypesExtension) {
    QtPlatform platform;
    QTimer::singleShot(0, [&platform] { platform.dismissQuestion(); });
    EXPECT_FALSE(platform.askYesNo(QStringLiteral("Stop checking links?")));

    const struct {
        const char* name;
        const char* type;
        const char* saved;
    } cases[] = {
        {"/r/results", "TSV (*.tsv)", "/r/results.tsv"},
        {"/r.d/results", "JSON (*.json)", "/r.d/results.json"},
        {"/r/results.csv", "TSV (*.tsv)", "/r/results.csv"},
        {"", "TSV (*.tsv)", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(withChosenExtension(c.name, c.type), c.saved) << c.name << c.type;
}
