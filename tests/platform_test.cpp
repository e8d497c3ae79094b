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

TEST(TextLines, MissingDevicesAndHugeFilesAreErrorsNamingTheFile) {
    QTemporaryDir dir;
    const QString sparse = ShortcutSet(dir.path()).file(QStringLiteral("huge.url"), {});
    ASSERT_TRUE(QFile::resize(sparse, qint64(2) << 30));
    const QString zeroLink = dir.filePath(QStringLiteral("zero.url"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    for (const QString& path : {QStringLiteral("/nonexistent/url.txt"), sparse, zeroLink}) {
        const Result<QStringList> result = readTextLines(path);
        ASSERT_FALSE(result.ok()) << path.toStdString();
        EXPECT_EQ(result.failure().number, runtime_error::kPathFileAccess);
        EXPECT_TRUE(result.failure().message.contains(path)) << path.toStdString();
    }
}

TEST(FileWrites, TextGetsCrLfAndAFailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.txt"));
    ASSERT_TRUE(writeTextFile(path, QStringLiteral("één")).ok());
    EXPECT_EQ(fileBytes(path), QByteArray("\xc3\xa9\xc3\xa9n\r\n"));
    // A folder where the file should be: nothing is destroyed and the reason is named.
    const Result<void> written = writeTextFile(dir.path(), QStringLiteral("x"));
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.failure().message.contains(dir.path()));
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
    const Result<void> made = makeDirectory(dir.path());
    ASSERT_FALSE(made.ok());
    EXPECT_TRUE(made.failure().message.contains(QStringLiteral("File exists")));
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
