#include "FakePlatform.h"
#include "FileSystem.h"
#include "QtPlatform.h"
#include "ScopedEnvironment.h"
#include "ShortcutSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
    // The real desktop opener, with no program on the PATH to open anything.
    struct RealOpener : FakePlatform {
        using FakePlatform::FakePlatform;
        void shellOpen(const QString& target) override { QtPlatform::shellOpen(target); }
    };
    QTemporaryDir dir;
    const ScopedEnvironment environment{{"PATH", dir.path().toLocal8Bit()}};
    RealOpener platform(dir.path());
    platform.shellOpen(QStringLiteral("https://example.test/"));
    EXPECT_EQ(platform.messages,
              QStringList{"Cannot open https://example.test/: no program is set up to open it."});
}
