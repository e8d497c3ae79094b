// Feeds arbitrary bytes to the program as its result file url.txt: read through
// CHeckURLtxtstor, which fills List1, then each line used as the export and the
// page download use it (link text, escaping, the page, the saved page's name) and as the
// existence query sees it (its last component looked up, wildcards and all, in a folder of
// a few shortcuts). Besides the sanitizers' checks it compares the lines with a model of the
// line rule and verifies what the page and the names must satisfy.
#include "export/LinkListPage.h"
#include "linkcheck/PageDownload.h"
#include "platform/FileSystem.h"
#include "platform/QtPlatform.h"
#include "search/LoadShortcuts.h"
#include "shortcuts/ResultFile.h"
#include "window/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <unistd.h>

using namespace vorlan;

namespace {

// At most this many lines of one input are taken through the per-line uses.
constexpr int kLinesUsed = 64;
const QString kBefore = QStringLiteral("before");

class ScratchPlatform : public QtPlatform {
  public:
    explicit ScratchPlatform(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }

  private:
    QString folder_;
};

struct Scratch {
    Scratch()
        : folder(QDir::tempPath() + QStringLiteral("/vorlan_resultfile_fuzz_") +
                 QString::number(getpid())),
          platform(folder) {
        QDir().mkpath(shortcuts());
        for (const char* name : {"a.url", "Top [10] list?.url", ".hidden.url", "B*.URL"})
            QFile(shortcuts() + u'/' + QString::fromUtf8(name)).open(QIODevice::WriteOnly);
        QDir().mkpath(shortcuts() + QStringLiteral("/folder.url"));
        form = std::make_unique<Form1>(platform);
        form->Form_Load();
    }
    QString shortcuts() const { return folder + QStringLiteral("/names"); }

    QString folder;
    ScratchPlatform platform;
    std::unique_ptr<Form1> form;
};

Scratch* scratch = nullptr;

void removeScratch() {
    scratch->form.reset();
    QDir(scratch->folder).removeRecursively();
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

// The line rule written another way: CR LF, LF and CR each end a line, and the text after
// the last line end is a line only when it is not empty.
QStringList modelLines(const QByteArray& bytes) {
    const QString text = QString::fromLocal8Bit(bytes);
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList items(const ListBox& list) {
    QStringList texts;
    for (int row = 0; row < list.count(); ++row)
        texts.append(list.item(row)->text());
    return texts;
}

// Nothing in an escaped text can end the attribute or start markup.
void checkEscaped(const QString& escaped) {
    static const QRegularExpression bareAmpersand(QStringLiteral("&(?!amp;|lt;|gt;|quot;|#39;)"));
    check(!escaped.contains(u'<') && !escaped.contains(u'>') && !escaped.contains(u'"') &&
          !escaped.contains(u'\'') && !escaped.contains(bareAmpersand));
}

void useLine(const QString& line) {
    const QString text = linkTextOf(line, kPathSeparator);
    check(!text.startsWith(u' ') && !text.endsWith(u' ') && text.size() <= line.size());
    checkEscaped(htmlEscaped(text));
    checkEscaped(htmlEscaped(line));

    const QString pageName = savedPageName(line, kPathSeparator);
    check(pageName.isEmpty() ||
          (pageName.endsWith(QStringLiteral(".htm")) && !pageName.contains(kPathSeparator) &&
           line.contains(pageName.chopped(3))));

    const QString name = line.mid(line.lastIndexOf(kPathSeparator) + 1);
    const QString path = scratch->shortcuts() + kPathSeparator + name;
    const bool exists = entryExists(path, EntryKind::FilesOnly);
    // An existing plain file is always found; without wildcards nothing else is.
    const QFileInfo info(path);
    if (!name.isEmpty() && info.isFile())
        check(exists);
    if (!name.contains(u'*') && !name.contains(u'?'))
        check(exists == (info.exists() && !info.isDir()));
}

} // namespace

// Fontconfig, which Qt asks for the fonts of the list, keeps its caches for good.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns of every path holding a NUL character; the lines hold plenty.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static int argc = 1;
    static char name[] = "resultfile_fuzz";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
    scratch = new Scratch;
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Form1& form = *scratch->form;
    QFile resultFile(resultFilePath(form.workingFolder()));
    check(resultFile.open(QIODevice::WriteOnly) && resultFile.write(bytes) == bytes.size());
    resultFile.close();
    const QStringList lines = modelLines(bytes);

    form.List1->clear();
    QString lastLine = kBefore;
    const Result<QString> returned = CHeckURLtxtstor(form, lastLine);
    check(returned.ok());
    check(lastLine == (lines.isEmpty() ? kBefore : lines.last()) && returned.value() == lastLine);
    QStringList nonEmpty = lines;
    nonEmpty.removeAll(QString());
    check(items(*form.List1) == nonEmpty);

    QList<PageLink> links;
    for (const QString& line : lines.first(qMin(lines.size(), kLinesUsed))) {
        useLine(line);
        links.append({line, linkTextOf(line, kPathSeparator)});
    }
    const QString page = linkListPage(links);
    check(page.count(QStringLiteral("\r\n")) == links.size() + 6 &&
          page.count(QStringLiteral("<BR>")) == links.size() + 1);
    return 0;
}
