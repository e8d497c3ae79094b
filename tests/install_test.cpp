#include "WindowFixture.h"
#include "search/LoadShortcuts.h"
#include "search/SearchJob.h"

#include <QDir>
#include <QImage>
#include <QProcess>
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

// Runs a program to its end; its exit code and everything it printed.
std::pair<int, QString> run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {-1, program + QStringLiteral(" did not finish: ") + process.errorString()};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAll())};
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
    EXPECT_TRUE(QFileInfo(installed("share/vorlan/HelpVorlan.htm")).isFile());
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
