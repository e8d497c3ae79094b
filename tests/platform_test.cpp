#include "FakePlatform.h"
#include "FileSystem.h"
#include "QtPlatform.h"
#include "ScopedEnvironment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vorlan;

TEST(TextLines, EveryLineEndEndsALine) {
    const struct {
        const char* text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitTextLines(QString::fromUtf8(c.text)), c.lines) << c.text;
}

TEST(TextLines, MissingDevicesAndHugeFilesAreErrorsNamingTheFile) {
    QTemporaryDir dir;
    const QString sparse = dir.filePath(QStringLiteral("huge.url"));
    QFile file(sparse);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(qint64(2) * 1024 * 1024 * 1024)); // 2 GiB, sparse
    file.close();
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
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xc3\xa9\xc3\xa9n\r\n"));

    // A folder where the file should be: nothing is destroyed and the reason is named.
    const QString blocked = dir.filePath(QStringLiteral("sub"));
    QDir().mkdir(blocked);
    const Result<void> written = writeTextFile(blocked, QStringLiteral("x"));
    ASSERT_FALSE(written.ok());
    EXPECT_TRUE(written.failure().message.contains(blocked));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    EXPECT_FALSE(
        writeTextFile(dir.filePath(QStringLiteral("missing/x.txt")), QStringLiteral("x")).ok());
}

TEST(EntryQuery, FilesDirectoriesAndWildcards) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    for (const char* name : {"file.url", "Top [10] list?.url"})
        QFile(dir.filePath(QString::fromUtf8(name))).open(QIODevice::WriteOnly);
    const struct {
        QString path;
        EntryKind kind;
        bool exists;
    } cases[] = {
        {dir.filePath("file.url"), EntryKind::FilesOnly, true},
        {dir.filePath("folder"), EntryKind::FilesOnly, false},
        {dir.filePath("folder"), EntryKind::FilesAndDirectories, true},
        {dir.filePath("file.url"), EntryKind::FilesAndDirectories, true},
        {dir.filePath("missing"), EntryKind::FilesAndDirectories, false},
        {dir.filePath("*.url"), EntryKind::FilesOnly, true},
        {dir.filePath("fold?r"), EntryKind::FilesOnly, false},
        {dir.filePath("fold?r"), EntryKind::FilesAndDirectories, true},
        {dir.filePath("*.txt"), EntryKind::FilesAndDirectories, false},
        {QString(), EntryKind::FilesAndDirectories, true},
        // Only '*' and '?' are wildcards; brackets are plain characters.
        {dir.filePath("Top [10] list?.url"), EntryKind::FilesOnly, true},
        {dir.filePath("top [10] *"), EntryKind::FilesOnly, true},
        {dir.filePath("Top [1?] list?.url"), EntryKind::FilesOnly, true},
        {dir.filePath("Top [1] list*"), EntryKind::FilesOnly, false},
        {dir.filePath("Top 1*"), EntryKind::FilesOnly, false},
        {dir.filePath("Top [10] list?.url?"), EntryKind::FilesOnly, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(entryExists(c.path, c.kind), c.exists) << c.path.toStdString();
}

TEST(EntryQuery, MakeDirectoryReportsTheReason) {
    QTemporaryDir dir;
    EXPECT_TRUE(makeDirectory(dir.filePath(QStringLiteral("new"))).ok());
    const Result<void> again = makeDirectory(dir.filePath(QStringLiteral("new")));
    ASSERT_FALSE(again.ok());
    EXPECT_TRUE(again.failure().message.contains(QStringLiteral("File exists")));
}

TEST(ShellOpen, TargetsBecomeOneUrlNeverACommand) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a b.url"));
    QFile(file).open(QIODevice::WriteOnly);
    EXPECT_EQ(shellOpenUrl(file), QUrl::fromLocalFile(file));
    EXPECT_EQ(shellOpenUrl(QStringLiteral("https://example.test/x?a=1")),
              QUrl(QStringLiteral("https://example.test/x?a=1")));
    EXPECT_EQ(shellOpenUrl(QStringLiteral("www.example.test")),
              QUrl(QStringLiteral("http://www.example.test")));
    EXPECT_EQ(shellOpenUrl(QStringLiteral("mailto:someone@example.test")).scheme(), "mailto");
    EXPECT_FALSE(shellOpenUrl(QString()).isValid());
    // Shell syntax stays text inside the address.
    EXPECT_EQ(shellOpenUrl(QStringLiteral("x.test/;rm -rf ~")).host(), QStringLiteral("x.test"));
}

// The real desktop opener, with no program on the PATH to open anything (and none that the
// offscreen platform would start); messages are recorded.
TEST(ShellOpen, AnItemNothingCanOpenIsReported) {
    struct RealOpener : test::FakePlatform {
        using FakePlatform::FakePlatform;
        void shellOpen(const QString& target) override { QtPlatform::shellOpen(target); }
    };
    QTemporaryDir dir;
    const test::ScopedEnvironment environment{{"PATH", dir.path().toLocal8Bit()}};
    RealOpener platform(dir.path());
    const QString page = dir.filePath(QStringLiteral("page.htm"));
    ASSERT_TRUE(writeTextFile(page, QString()).ok());
    for (const QString& target : {page, QStringLiteral("https://example.test/")})
        platform.shellOpen(target);
    EXPECT_EQ(platform.messages,
              QStringList({"Cannot open " + page + ": no program is set up to open it.",
                           "Cannot open https://example.test/: no program is set up to open it."}));
}
