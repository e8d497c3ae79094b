// Hostile shortcut and folder names, and entries named like shortcuts that are no plain
// shortcut file, each taken through the whole program: searched by the real listing runner,
// loaded, read, checked against a local server and exported.
#include "HttpTestServer.h"
#include "WindowActions.h"
#include "WindowFixture.h"
#include "search/LoadShortcuts.h"
#include "search/SearchJob.h"

#include <QFileInfo>
#include <QProcess>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlan;
using namespace vorlan::test;
namespace fs = std::filesystem;

namespace {

enum class Kind { Shortcut, Directory, ZeroLink, PagemapLink, Fifo, Sparse };

// Makes one entry of a kind at a path given as raw bytes, with the folders above it.
void make(const fs::path& path, Kind kind, const QByteArray& content) {
    fs::create_directories(kind == Kind::Directory ? path : path.parent_path());
    if (kind == Kind::Shortcut || kind == Kind::Sparse)
        std::ofstream(path, std::ios::binary) << content.toStdString();
    if (kind == Kind::Sparse)
        fs::resize_file(path, std::uintmax_t(2) << 30);
    if (kind == Kind::ZeroLink)
        fs::create_symlink("/dev/zero", path);
    if (kind == Kind::PagemapLink) // a plain file that reports no size and yields gigabytes
        fs::create_symlink("/proc/self/pagemap", path);
    if (kind == Kind::Fifo) {
        ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
}

class HostileFiles : public WindowFixture {
  protected:
    void TearDown() override {
        WindowFixture::TearDown();
        alarm(0);
        // Names that are not UTF-8 are beyond QTemporaryDir's removal.
        fs::remove_all(QFile::encodeName(target()).toStdString());
    }
    QString target() const { return programFolder() + QStringLiteral("/ -web \"q\" 'a' & <b> "); }

    HttpTestServer server{[](httplib::Server& routes) {
        routes.Get(R"(/p/\d+)", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("page", "text/html");
        });
    }};
};

// A shortcut of any of these names is listed, shows its address when selected, and is checked
// "GOOD" with its page saved under its own name. A name the result file cannot carry is
// skipped by the search with a message. A directory, a link to /dev/zero and a FIFO named
// like a shortcut are not listed; added to the result file by hand, each is checked "35752
// Bad URL" with a page of only the line end and shows nothing, the directory "not found". A
// 2 GiB file and a link to /proc/self/pagemap are listed but never read whole.
TEST_F(HostileFiles, EveryEntryIsSearchedLoadedReadAndCheckedToADefinedOutcome) {
    alarm(30); // a step that blocks ends the program instead of stalling the suite
    const struct {
        QByteArray name; // below the target
        Kind kind;
        bool listed;
    } entries[] = {
        {"'single' & <b>.url", Kind::Shortcut, true},
        {"-rf.url", Kind::Shortcut, true},
        {"x[*.url", Kind::Shortcut, true},
        {"bad\xef\xbf\xbd.url", Kind::Shortcut, true},
        {"bad\xff.url", Kind::Shortcut, false}, // read back as UTF-8 it would name the one above
        {"cr\r.url", Kind::Shortcut, false},
        {"-d \"q\" & <f>/in.url", Kind::Shortcut, true},
        {"\xfe dir/in.url", Kind::Shortcut, false},
        {"dir.url", Kind::Directory, false},
        {"dir.url/inner.url", Kind::Shortcut, true},
        {"zero.url", Kind::ZeroLink, false},
        {"fifo.url", Kind::Fifo, false},
        {"sparse.url", Kind::Sparse, true},
        {"pagemap.url", Kind::PagemapLink, true},
    };
    QMap<QString, int> entryOf; // by path
    QByteArray handWritten;
    int skipped = 0;
    for (int i = 0; i < int(std::size(entries)); ++i) {
        const auto& entry = entries[i];
        make((QFile::encodeName(target()) + '/' + entry.name).toStdString(), entry.kind,
             "URL=" + server.url(QStringLiteral("/p/%1").arg(i)).toUtf8());
        const QString path = target() + u'/' + QString::fromUtf8(entry.name);
        const bool shortcut = entry.kind == Kind::Shortcut;
        skipped += !entry.listed && shortcut;
        if (entry.listed || !shortcut)
            entryOf[path] = i;
        if (!entry.listed && !shortcut) // as if the tree had changed since the search
            handWritten += path.toUtf8() + "\r\n";
    }
    form->Text1->setText(target());
    form->Option1->setChecked(true);
    Command1_Click(*form);
    QProcess runner;
    runner.start(QStringLiteral(LISTING_EXE), {platform->listingRuns.value(0)});
    ASSERT_TRUE(runner.waitForFinished(10000));
    EXPECT_EQ(runner.exitCode(), 0);
    EXPECT_EQ(runner.readAllStandardError().count("skipped: the name"), skipped);
    QFile result(workingFolder() + QStringLiteral("/url.txt"));
    ASSERT_TRUE(result.open(QIODevice::Append));
    result.write(handWritten);
    result.close();
    Command2_Click(*form);
    QStringList loaded = itemTexts(form->List1);
    loaded.sort();
    EXPECT_EQ(loaded, entryOf.keys());

    const QString pages = programFolder() + QStringLiteral("/HTMLs");
    platform->inputAnswers.push_back(pages);
    form->Check3->setChecked(true);
    runCheck();
    const QStringList checked = rows();
    ASSERT_EQ(checked.size(), form->List1->count());
    EXPECT_EQ(platform->messages, QStringList());
    for (int row = 0; row < checked.size(); ++row) {
        const QString path = form->List1->item(row)->text();
        SCOPED_TRACE(path.toStdString());
        const int i = entryOf.value(path);
        const bool shortcut = entries[i].kind == Kind::Shortcut;
        const QString address = shortcut ? server.url(QStringLiteral("/p/%1").arg(i)) : QString();
        EXPECT_EQ(checked[row], address + (shortcut ? " | GOOD" : " | 35752 Bad URL"));
        EXPECT_EQ(fileBytes(pages + u'/' + QFileInfo(path).completeBaseName() + ".htm"),
                  shortcut ? "page\r\n" : "\r\n");
        platform->messages.clear();
        form->currentAddress.clear();
        form->List1->setListIndex(row);
        EXPECT_EQ(itemTexts(form->List2), shortcut ? QStringList{"URL=" + address} : QStringList());
        EXPECT_EQ(platform->messages.size(), entries[i].kind == Kind::Directory);
    }
}

} // namespace
