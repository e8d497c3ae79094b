#include "platform/DesktopOpener.h"

#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QFile>
#include <QStandardPaths>
#include <QTimer>
#include <chrono>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace vorlan {

namespace {

using namespace std::chrono_literals;

// How long an opener may run before it counts as having opened the item.
constexpr auto kOpenerGrace = 5s;

// Polls one started opener until it exits; it is reaped then, also after the grace time.
class OpenerWatch : public QObject {
  public:
    OpenerWatch(pid_t pid, QObject* context, std::function<void()> onFailure)
        : QObject(context), pid_(pid), onFailure_(std::move(onFailure)), grace_(kOpenerGrace) {
        connect(&poll_, &QTimer::timeout, this, &OpenerWatch::poll);
        poll_.start(50ms);
    }

  private:
    void poll() {
        int status = 0;
        const pid_t exited = waitpid(pid_, &status, WNOHANG);
        if (exited == 0) {
            if (onFailure_ && grace_.hasExpired()) {
                onFailure_ = nullptr;
                poll_.start(1s);
            }
            return;
        }
        const bool failed = exited == pid_ && !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (failed && onFailure_)
            onFailure_();
        poll_.stop();
        deleteLater();
    }

    pid_t pid_;
    std::function<void()> onFailure_; // empty once the opener counts as successful
    QDeadlineTimer grace_;
    QTimer poll_;
};

} // namespace

void openWithDesktop(const QUrl& url, QObject* context, std::function<void()> onFailure) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            onFailure();
        return;
    }
    const QByteArray program = QFile::encodeName(opener);
    const QByteArray argument =
        url.isLocalFile() ? QFile::encodeName(url.toLocalFile()) : url.toEncoded();
    char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(argument.constData()),
                    nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), nullptr, nullptr, argv, environ) != 0) {
        onFailure();
        return;
    }
    new OpenerWatch(pid, context, std::move(onFailure));
}

} // namespace vorlan
