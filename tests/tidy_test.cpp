// Applying and undoing a tidy on real shortcut files in temporary folders, journaled in a
// real history file.
#include "history/Sqlite.h"
#include "history/TidyApply.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlan;

namespace {

// A folder's tree, read with raw names: each entry's path below it, mode, and bytes.
using Tree = std::map<QByteArray, std::pair<mode_t, QByteArray>>;

void snapshot(const QByteArray& folder, const QByteArray& below, Tree& tree) {
    DIR* dir = ::opendir(folder.constData());
    ASSERT_NE(dir, nullptr) << folder.constData();
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat status {};
        ASSERT_EQ(::lstat((folder + '/' + name).constData(), &status), 0);
        QFile file;
        const bool plain = S_ISREG(status.st_mode) &&
                           file.open(::open((folder + '/' + name).constData(), O_RDONLY),
                                     QIODevice::ReadOnly, QFile::AutoCloseHandle);
        tree[below + name] = {status.st_mode, plain ? file.readAll() : QByteArray()};
        if (S_ISDIR(status.st_mode))
            snapshot(folder + '/' + name, below + name + '/', tree);
    }
    ::closedir(dir);
}

Tree treeOf(const QString& folder) {
    Tree tree;
    snapshot(QFile::encodeName(folder), {}, tree);
    return tree;
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Tidy : public ::testing::Test {
  protected:
    TidyProposal rewrite(const QString& name, const QString& now, const QString& proposed) {
        return {TidyReason::Moved, links.filePath(name), now, proposed, {}, true, {}, {}};
    }
    TidyProposal aside(const QString& name, const QString& asideName = {}) {
        return moveTo(links.filePath(name), set.filePath(asideName.isEmpty() ? name : asideName));
    }
    static TidyProposal moveTo(const QString& path, const QString& target) {
        return {TidyReason::Broken, path, path, target, {}, true, {}, {}};
    }
    std::vector<TidyOutcome> apply(const std::vector<TidyProposal>& proposals) {
        return applyTidy(history, proposals);
    }
    // Writes shortcuts with the addresses "http://host/<name>".
    void shortcuts(const QStringList& names) {
        for (const QString& name : names)
            write(links.filePath(name),
                  "[InternetShortcut]\r\nURL=http://host.example/" + name.toUtf8() + "\r\n");
    }
    // Whether every outcome is done.
    static bool allDone(const std::vector<TidyOutcome>& outcomes) {
        return std::all_of(outcomes.begin(), outcomes.end(), [](auto& o) { return o.done; });
    }

    QTemporaryDir root, journalFolder;
    QDir links{root.filePath(QStringLiteral("Links"))};
    QDir set{root.filePath(QStringLiteral("Links - set aside"))};
    QString history = journalFolder.filePath(QStringLiteral("history.sqlite"));
};

struct RewriteCase {
    const char* name;
    QByteArray before;
    QString now, proposed;
    QByteArray after; // empty: refused
    QString refusal = {};
};

TEST_F(Tidy, RewritesChangeOnlyTheAddressAndUndoPutsEveryByteBack) {
    const std::vector<RewriteCase> cases = {
        {"utf8", "[InternetShortcut]\r\nURL=http://caf\xC3\xA9.example/a\r\nIconIndex=0\r\n",
         u"http://café.example/a"_qs, u"https://café.example/ü"_qs,
         "[InternetShortcut]\r\nURL=https://caf\xC3\xA9.example/\xC3\xBC\r\nIconIndex=0\r\n"},
        {"cp1252", "[InternetShortcut]\r\nURL=http://caf\xE9.example/\r\nX=\x80\r\n",
         u"http://café.example/"_qs, u"https://café.example/x"_qs,
         "[InternetShortcut]\r\nURL=https://caf\xE9.example/x\r\nX=\x80\r\n"},
        {"cp1252 lacks", "[InternetShortcut]\r\nURL=http://a.example/\r\nX=\xE9\r\n",
         u"http://a.example/"_qs, u"https://пример.example/ж"_qs,
         "[InternetShortcut]\r\nURL=https://xn--e1afmkfd.example/%D0%B6\r\nX=\xE9\r\n"},
        {"lf, bom", "\xEF\xBB\xBFURL=http://a.example/\nIDList=\n", u"http://a.example/"_qs,
         u"https://b.example/"_qs, "\xEF\xBB\xBFURL=https://b.example/\nIDList=\n"},
        {"baseurl",
         "[DEFAULT]\r\nBASEURL=http://a.example/\r\n[InternetShortcut]\rURL= http://a.example/ "
         "\r\n",
         u"http://a.example/"_qs, u"https://b.example/"_qs,
         "[DEFAULT]\r\nBASEURL=https://b.example/\r\n[InternetShortcut]\rURL= https://b.example/ "
         "\r\n"},
        {"no final end", "[InternetShortcut]\nURL=http://a.example/", u"http://a.example/"_qs,
         u"https://b.example/"_qs, "[InternetShortcut]\nURL=https://b.example/"},
        {"iconfile",
         "[InternetShortcut]\r\nURL=http://a.example/\r\nIconFile=C:\\URLS\\x.ico\r\n",
         u"\\x.ico"_qs,
         u"https://b.example/"_qs,
         {},
         u"its address is not on a URL= line"_qs},
        {"line end in address",
         "URL=http://a.example/\r\n",
         u"http://a.example/"_qs,
         u"https://b.example/\r\nURL=x.y"_qs,
         {},
         u"the new address would not read back as written"_qs},
    };
    for (const RewriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = links.filePath(QString::fromUtf8(c.name) + u".url"_qs);
        write(path, c.before);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const Tree before = treeOf(root.path());
        const std::vector<TidyOutcome> outcomes =
            apply({rewrite(QFileInfo(path).fileName(), c.now, c.proposed)});
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].refusal, c.refusal);
        // The file's bytes as expected, its permissions kept, nothing else changed.
        Tree after = before;
        if (!c.after.isEmpty())
            after["Links/" + QFile::encodeName(QFileInfo(path).fileName())].second = c.after;
        EXPECT_EQ(treeOf(root.path()), after);
        static_cast<void>(undoLastTidy(history));
        EXPECT_EQ(treeOf(root.path()), before);
    }
}

TEST_F(Tidy, RefusalsSayWhyAndTheRestGoesOn) {
    shortcuts({u"readonly.url"_qs, u"changed.url"_qs, u"good.url"_qs});
    QFile::link(links.filePath(u"good.url"_qs), links.filePath(u"link.url"_qs));
    QFile::setPermissions(links.filePath(u"readonly.url"_qs), QFile::ReadOwner);
    TidyProposal changed = aside(u"changed.url"_qs);
    changed.checkedSize = 1;
    const Tree before = treeOf(root.path());
    const std::vector<TidyOutcome> outcomes =
        apply({aside(u"link.url"_qs), aside(u"readonly.url"_qs), changed, aside(u"gone.url"_qs),
               aside(u"good.url"_qs)});
    ASSERT_EQ(outcomes.size(), 5u);
    const QStringList reasons = {u"it is a symbolic link"_qs,
                                 u"it is read-only"_qs,
                                 u"it changed since it was checked"_qs,
                                 u"it is gone"_qs,
                                 {}};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(outcomes[i].refusal, reasons[i]) << i;
    EXPECT_TRUE(outcomes[4].done);
    EXPECT_EQ(bytesOf(set.filePath(u"good.url"_qs)), before.at("Links/good.url").second);
    static_cast<void>(undoLastTidy(history));
    EXPECT_EQ(treeOf(root.path()), before);
}

TEST_F(Tidy, UndoPutsTheWholeTreeBackAndASecondUndoDoesNothing) {
    shortcuts({u"a.url"_qs, u"b.url"_qs, u"sub/c.url"_qs, u"sub/d.url"_qs});
    write(set.filePath(u"sub/c.url"_qs), "someone else's");
    const Tree before = treeOf(root.path());
    const std::vector<TidyOutcome> applied = apply(
        {rewrite(u"a.url"_qs, u"http://host.example/a.url"_qs, u"https://a.example/"_qs),
         aside(u"b.url"_qs), aside(u"sub/c.url"_qs), aside(u"sub/d.url"_qs, u"new/d.url"_qs)});
    ASSERT_TRUE(allDone(applied));
    // A move never overwrites: the taken name gets a number.
    EXPECT_EQ(bytesOf(set.filePath(u"sub/c (2).url"_qs)), before.at("Links/sub/c.url").second);
    EXPECT_EQ(bytesOf(set.filePath(u"sub/c.url"_qs)), "someone else's");
    EXPECT_TRUE(QFile::exists(set.filePath(u"new/d.url"_qs)));
    EXPECT_EQ(undoLastTidy(history).size(), 4u);
    EXPECT_EQ(treeOf(root.path()), before);
    EXPECT_TRUE(undoLastTidy(history).empty());
}

TEST_F(Tidy, UndoAfterAnInterruptedTidyPutsEachFileBack) {
    shortcuts({u"a.url"_qs, u"b.url"_qs, u"c.url"_qs, u"d.url"_qs});
    const Tree before = treeOf(root.path());
    ASSERT_TRUE(allDone(
        apply({rewrite(u"a.url"_qs, u"http://host.example/a.url"_qs, u"https://a.example/"_qs),
               rewrite(u"b.url"_qs, u"http://host.example/b.url"_qs, u"https://b.example/"_qs),
               aside(u"c.url"_qs), aside(u"d.url"_qs)})));
    // Killed after recording each action: a and c before they were done, b and d after.
    write(links.filePath(u"a.url"_qs), before.at("Links/a.url").second);
    QFile::rename(set.filePath(u"c.url"_qs), links.filePath(u"c.url"_qs));
    sqlite::Database db = sqlite::Database::open(history).value();
    ASSERT_TRUE(db.execute("UPDATE tidy_actions SET state = 'recorded'").ok());
    EXPECT_TRUE(allDone(undoLastTidy(history)));
    EXPECT_EQ(treeOf(root.path()), before);
}

TEST_F(Tidy, UndoRefusesAFileEditedAfterTheTidyAndRestoresTheRest) {
    shortcuts({u"a.url"_qs, u"b.url"_qs});
    ASSERT_TRUE(allDone(
        apply({rewrite(u"a.url"_qs, u"http://host.example/a.url"_qs, u"https://a.example/"_qs),
               aside(u"b.url"_qs)})));
    write(links.filePath(u"a.url"_qs), "URL=https://mine.example/\r\n");
    const std::vector<TidyOutcome> undone = undoLastTidy(history);
    ASSERT_EQ(undone.size(), 2u);
    EXPECT_TRUE(undone[0].done); // newest first
    EXPECT_EQ(undone[1].refusal, u"it changed after the tidy"_qs);
    EXPECT_EQ(bytesOf(links.filePath(u"a.url"_qs)), "URL=https://mine.example/\r\n");
    EXPECT_TRUE(QFile::exists(links.filePath(u"b.url"_qs)));
}

TEST_F(Tidy, HostileNamesAreMovedAndPutBack) {
    const QStringList names = {u"say \"hi\" 'there'.url"_qs, u"two\nlines.url"_qs, u"-rf.url"_qs,
                               u"100%1 %2.url"_qs};
    shortcuts(names);
    // A name that is not valid UTF-8 cannot be named in a path: such a file is left alone.
    const QByteArray raw = QFile::encodeName(links.path()) + "/caf\xE9.url";
    const int file = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_TRUE(file >= 0 && ::write(file, "other", 5) == 5 && ::close(file) == 0);
    const Tree before = treeOf(root.path());
    std::vector<TidyProposal> proposals;
    for (const QString& name : names)
        proposals.push_back(aside(name));
    proposals.push_back(moveTo(QFile::decodeName(raw), set.filePath(u"x.url"_qs)));
    const std::vector<TidyOutcome> applied = apply(proposals);
    ASSERT_EQ(applied.size(), 5u);
    EXPECT_TRUE(allDone({applied.begin(), applied.end() - 1}));
    EXPECT_EQ(applied.back().refusal, u"it is gone"_qs);
    EXPECT_EQ(QDir(set).entryList(QDir::Files).size(), 4);
    EXPECT_TRUE(allDone(undoLastTidy(history)));
    EXPECT_EQ(treeOf(root.path()), before);
    ::unlink(raw.constData());
}

TEST_F(Tidy, AMoveAcrossFileSystemsIsCopiedThenRemovedAndPutBack) {
    struct stat shm = {}, temp = {};
    if (::stat("/dev/shm", &shm) != 0 ||
        ::stat(QFile::encodeName(root.path()).constData(), &temp) != 0 || shm.st_dev == temp.st_dev)
        GTEST_SKIP() << "needs /dev/shm on a file system other than the temporary folder's";
    QTemporaryDir other(u"/dev/shm/tidy_test-XXXXXX"_qs);
    shortcuts({u"a.url"_qs});
    const Tree before = treeOf(root.path());
    const QString target = other.filePath(u"aside/a.url"_qs);
    ASSERT_TRUE(allDone(apply({moveTo(links.filePath(u"a.url"_qs), target)})));
    EXPECT_FALSE(QFile::exists(links.filePath(u"a.url"_qs)));
    EXPECT_EQ(treeOf(other.path()).size(), 2u); // the folder and the file, no temporary left
    EXPECT_EQ(bytesOf(target), before.at("Links/a.url").second);
    EXPECT_TRUE(allDone(undoLastTidy(history)));
    EXPECT_EQ(treeOf(root.path()), before);
    EXPECT_TRUE(treeOf(other.path()).empty());
}

} // namespace
