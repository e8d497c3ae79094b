#include "WindowFixture.h"
#include "search/LoadShortcuts.h"
#include "search/SearchJob.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace vorlan;
using namespace vorlan::test;

namespace {

// Starts the real listing runner.
class RunnerPlatform : public FakePlatform {
  public:
    using FakePlatform::FakePlatform;
    std::optional<QString> runListingScript(const QString& scriptPath) override {
        return QtPlatform::runListingScript(scriptPath);
    }
};

// Runs a program to its end, in a locale every Debian system has; its exit code and
// everything it printed, or only what it printed on stderr.
enum class Output { All, ErrorsOnly };
std::pair<int, QString> run(const QString& program, const QStringList& arguments,
                            Output output = Output::All) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    if (output == Output::All)
        process.setProcessChannelMode(QProcess::MergedChannels);
    else
        process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, program + QStringLiteral(" did not finish: ") + process.errorString()};
    return {process.exitCode(),
            QString::fromLocal8Bit(output == Output::All ? process.readAll()
                                                         : process.readAllStandardError())};
}

// The build installed into a temporary prefix.
class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        prefix_ = new QTemporaryDir;
        install_ = run(QStringLiteral(CMAKE_COMMAND),
                       {"--install", BUILD_FOLDER, "--prefix", prefix_->path()});
    }
    static void TearDownTestSuite() { delete prefix_; }
    void SetUp() override { ASSERT_EQ(install_.first, 0) << install_.second.toStdString(); }
    static QString installed(const QString& relativePath) {
        return prefix_->path() + u'/' + relativePath;
    }

  private:
    static inline QTemporaryDir* prefix_ = nullptr;
    static inline std::pair<int, QString> install_;
};

TEST_F(Installed, EveryFileIsInItsPlace) {
    for (const char* program : {"bin/Vorlan", "bin/vorlan", "libexec/vorlan/listing"})
        EXPECT_TRUE(QFileInfo(installed(program)).isExecutable()) << program;
    for (const char* file :
         {"share/vorlan/HelpVorlan.htm", "share/man/man1/vorlan.1.gz", "share/man/man1/Vorlan.1.gz",
          "share/metainfo/org.example.vorlan.metainfo.xml",
          "share/bash-completion/completions/vorlan", "share/bash-completion/completions/Vorlan",
          "share/doc/vorlan/copyright", "share/doc/vorlan/changelog.gz"})
        EXPECT_TRUE(QFileInfo(installed(file)).isFile()) << file;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString icon = QStringLiteral("share/icons/hicolor/%1x%1/apps/vorlan.png").arg(size);
        EXPECT_EQ(QImage(installed(icon)).size(), QSize(size, size)) << icon.toStdString();
    }
    // The desktop entry names the installed program and icon, and validates.
    const QString entry = installed("share/applications/org.example.vorlan.desktop");
    const QStringList lines = QString::fromUtf8(fileBytes(entry)).split(u'\n');
    EXPECT_TRUE(lines.contains("Exec=Vorlan"));
    EXPECT_TRUE(lines.contains("Icon=vorlan"));
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (validator.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is absent (Debian package desktop-file-utils)";
    const auto [exitCode, output] = run(validator, {entry});
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(output, QString()) << "no errors, warnings or hints";
}

TEST_F(Installed, MetainfoValidates) {
    const QString validator = QStandardPaths::findExecutable("appstreamcli");
    if (validator.isEmpty())
        GTEST_SKIP() << "appstreamcli is absent (Debian package appstream)";
    const auto [exitCode, output] =
        run(validator, {"validate", "--no-net", "--pedantic",
                        installed("share/metainfo/org.example.vorlan.metainfo.xml")});
    EXPECT_EQ(exitCode, 0) << output.toStdString();
    EXPECT_FALSE(
        output.contains(QRegularExpression("^[EWIP]:", QRegularExpression::MultilineOption)))
        << output.toStdString();
}

TEST_F(Installed, ManualPageRendersWithoutWarnings) {
    const QString man = QStandardPaths::findExecutable("man");
    if (man.isEmpty())
        GTEST_SKIP() << "man is absent (Debian package man-db)";
    const auto [exitCode, errors] =
        run(man, {"--warnings", "-l", installed("share/man/man1/Vorlan.1.gz")}, Output::ErrorsOnly);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(errors, QString());
}

// The manual page describes every option the usage text names, each under a heading of its
// own, and bash completes exactly those options.
TEST_F(Installed, EveryOptionOfTheUsageIsDocumentedAndCompleted) {
    const auto [helpCode, usage] = run(installed("bin/Vorlan"), {"--help"});
    ASSERT_EQ(helpCode, 0) << usage.toStdString();
    QStringList options;
    for (const auto& match : QRegularExpression("--[a-z][a-z-]*").globalMatch(usage))
        options.append(match.captured());
    options.removeDuplicates();
    const auto [gzipCode, manual] = run("gzip", {"-dc", installed("share/man/man1/vorlan.1.gz")});
    ASSERT_EQ(gzipCode, 0) << manual.toStdString();
    for (const QString& option : options) { // an item of its own, with hyphens written as \-
        const QString item = "^\\.TP\n\\.BI? " + QString(option).replace("-", "\\\\-") + "\\b";
        EXPECT_TRUE(manual.contains(QRegularExpression(item, QRegularExpression::MultilineOption)))
            << option.toStdString();
    }
    const QString completion =
        QString::fromUtf8(fileBytes(installed("share/bash-completion/completions/vorlan")));
    QStringList completed = QRegularExpression("'(--[^']*)'")
                                .match(completion)
                                .captured(1)
                                .split(QRegularExpression("[\\s\\\\]+"), Qt::SkipEmptyParts);
    options.sort();
    completed.sort();
    EXPECT_EQ(completed, options);
    // Bash takes the completion for both names of the program.
    const auto [bashCode, registered] =
        run("bash", {"-c", "source \"$1\" && complete -p vorlan Vorlan", "bash",
                     installed("share/bash-completion/completions/Vorlan")});
    EXPECT_EQ(bashCode, 0) << registered.toStdString();
    EXPECT_EQ(registered, "complete -F _vorlan vorlan\ncomplete -F _vorlan Vorlan\n");
}

// A copy of the program without its runner says where it looked for it.
TEST(ListingRunner, AMissingRunnerIsNamed) {
    QTemporaryDir programFolder;
    RunnerPlatform platform(programFolder.path());
    Form1 form(platform);
    form.Form_Load();
    form.Text1->setText(programFolder.path());
    Command1_Click(form);
    const QString parent = QFileInfo(programFolder.path()).path();
    EXPECT_EQ(platform.messages,
              QStringList{"Cannot find the listing runner: looked for " + programFolder.path() +
                          "/listing and " + parent + "/libexec/vorlan/listing."});
}

} // namespace
